#include "platform/tray/PanelShade.h"

#include "platform/desktop/DesktopColorScheme.h"
#include "platform/desktop/DesktopSession.h"
#include "platform/tray/TrayHost.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

namespace {

// A panel's colour changes with a theme, seldom, and a change the desktop tells of is looked
// at at once: a look every minute is soon enough for the rest, and costs the X server little.
constexpr qint64 kRecheckMs = 60'000;
constexpr qint64 kSettleMs = 5'000;
constexpr qint64 kSettlingRecheckMs = 900;
constexpr qint64 kUnpaintedMs = 600;
// About half a minute of looks a second for a tray that shows no plain colour.
constexpr int kUntoldLooks = 30;

} // namespace

PanelShade::PanelShade(DesktopColorScheme* scheme) : m_scheme(scheme)
{
    // A style the desktop tells late, or changes, is looked at again at once.
    if (scheme)
        m_schemeChanged = QObject::connect(scheme, &DesktopColorScheme::darkChanged, scheme,
                                           [this] { m_checked.invalidate(); });
}

PanelShade::~PanelShade()
{
    QObject::disconnect(m_schemeChanged);
}

std::optional<bool> PanelShade::fromPixelsBeside(const QRect& itemGeometry)
{
    if (itemGeometry.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    QScreen* screen = QGuiApplication::screenAt(itemGeometry.center());
    if (!screen)
        return std::nullopt;
    // The item's top rows where it is taller than the icon drawn in it (an XEmbed item shows
    // the tray through its transparent parts), else strips just left and right of it.
    const QRect screenArea = screen->geometry();
    QList<QRect> strips;
    if (itemGeometry.height() >= 22)
        strips = {QRect(itemGeometry.left(), itemGeometry.top(), itemGeometry.width(), 2)};
    else
        strips = {QRect(itemGeometry.left() - 3, itemGeometry.top(), 3, itemGeometry.height()),
                  QRect(itemGeometry.right() + 1, itemGeometry.top(), 3, itemGeometry.height())};
    QList<QImage> pictures;
    for (const QRect& wanted : strips) {
        const QRect strip = wanted & screenArea;
        if (!strip.isEmpty())
            pictures.append(screen
                                ->grabWindow(0, strip.x() - screenArea.x(),
                                             strip.y() - screenArea.y(), strip.width(),
                                             strip.height())
                                .toImage());
    }
    return fromPixels(pictures);
}

std::optional<bool> PanelShade::fromPixels(const QList<QImage>& strips)
{
    double lightness = 0, darkest = 1, lightest = 0;
    int samples = 0;
    for (const QImage& pixels : strips) {
        for (int y = 0; y < pixels.height(); ++y) {
            for (int px = 0; px < pixels.width(); ++px, ++samples) {
                const double pixel = QColor(pixels.pixel(px, y)).lightnessF();
                lightness += pixel;
                darkest = std::min(darkest, pixel);
                lightest = std::max(lightest, pixel);
            }
        }
    }
    // A panel is one plain colour behind its items; black and white side by side is a tray
    // not painted yet (the X server's default stipple shows through), which tells nothing.
    if (samples == 0 || lightest - darkest > 0.6)
        return std::nullopt;
    return lightness / samples < 0.5;
}

std::optional<bool> PanelShade::fromBarLine(const QImage& line)
{
    QHash<QRgb, int> counts;
    int samples = 0;
    for (int y = 0; y < line.height(); ++y) {
        for (int x = 0; x < line.width(); ++x, ++samples)
            ++counts[line.pixel(x, y) | 0xff000000];
    }
    QRgb common = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            common = it.key();
        }
    }
    // A bar's own colour shows between its items: most of a line along it, and at least a
    // good part where it is crowded; a picture or a gradient shows none.
    if (samples == 0 || most * 3 < samples)
        return std::nullopt;
    return QColor(common).lightnessF() < 0.5;
}

std::optional<bool> PanelShade::fromBarOnScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !DesktopSession::isX11Session())
        return std::nullopt;
    // The bars keep the rest of the screen free of windows: what the free area leaves out at
    // an edge is a bar; a line along its middle shows its colour. The top one where there are
    // several: where GNOME, XFCE and MATE keep the tray.
    const QRect all = screen->geometry();
    const QRect free = screen->availableGeometry();
    QRect line;
    if (free.top() > all.top())
        line = QRect(all.left(), (all.top() + free.top()) / 2, all.width(), 1);
    else if (free.bottom() < all.bottom())
        line = QRect(all.left(), (free.bottom() + 1 + all.bottom()) / 2, all.width(), 1);
    else if (free.left() > all.left())
        line = QRect((all.left() + free.left()) / 2, all.top(), 1, all.height());
    else if (free.right() < all.right())
        line = QRect((free.right() + 1 + all.right()) / 2, all.top(), 1, all.height());
    else
        return std::nullopt;
    return fromBarLine(
        screen->grabWindow(0, line.x() - all.x(), line.y() - all.y(), line.width(), line.height())
            .toImage());
}

bool PanelShade::isDark(const std::function<QRect()>& itemGeometry)
{
    // Just after the item is docked, moved or handed to a host (whose bar paints a moment
    // later), or while the tray around it has not shown a plain colour (not looked at yet, not
    // painted yet, or gone and coming back), look again every second for a while. A tray not
    // yet looked at is looked at whenever the next redraw comes: the icon may have been hidden
    // all the while it settled, and the desktop's style may be the tray's opposite.
    const bool settling = (m_sinceMoved.isValid() && m_sinceMoved.elapsed() < kSettleMs) ||
                          (!m_checkedGeometry.isEmpty() && (m_looksUntold > 0 || !m_panelTold) &&
                           m_looksUntold <= kUntoldLooks);
    const qint64 recheck = settling ? kSettlingRecheckMs : kRecheckMs;
    if (!m_movedSinceLook && m_checked.isValid() && m_checked.elapsed() < recheck)
        return m_dark;
    const bool moved = m_movedSinceLook;
    m_movedSinceLook = false;
    const QRect geometry = itemGeometry();
    if (moved || !m_sinceMoved.isValid() || geometry != m_checkedGeometry) {
        m_checkedGeometry = geometry;
        m_sinceMoved.start();
    }
    m_checked.start();
    // In order, each asked only where the ones before it could not tell.
    std::optional<bool> answer = TrayHost::barIsDark();
    // The tray paints around a newly docked item a moment later; until then its pixels say
    // nothing.
    const bool pixelsMayTell = m_sinceMoved.elapsed() > kUnpaintedMs && !geometry.isEmpty();
    if (!answer && pixelsMayTell)
        answer = fromPixelsBeside(geometry);
    // A host's item has no place on the screen of its own; the bar it sits in may show.
    if (!answer && geometry.isEmpty())
        answer = fromBarOnScreen();
    if (answer) {
        m_panelTold = true;
        m_looksUntold = 0;
        m_dark = *answer;
        return m_dark;
    }
    if (pixelsMayTell)
        ++m_looksUntold;
    // What the panel itself said last stands while it cannot be seen.
    if (m_panelTold)
        return m_dark;
    m_dark = m_scheme && m_scheme->isDark();
    return m_dark;
}
