#include "platform/PanelShade.h"

#include "platform/DesktopSession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

namespace {

// A panel's colour changes with a theme, seldom: a look every half minute is soon enough.
constexpr qint64 kRecheckMs = 30'000;
constexpr qint64 kSettleMs = 5'000;
constexpr qint64 kSettlingRecheckMs = 900;
constexpr qint64 kUnpaintedMs = 600;
// About half a minute of looks a second for a tray that shows no plain colour.
constexpr int kUntoldLooks = 30;
// Hosts answer within milliseconds; one that does not must not hold the icon up.
constexpr int kCallTimeoutMs = 150;

bool isDarkColour(const QColor& colour)
{
    return colour.lightnessF() < 0.5;
}

} // namespace

PanelShade::PanelShade(QDBusConnection bus) : m_bus(std::move(bus)) {}

std::optional<QVariant> PanelShade::readOverBus(QDBusMessage call) const
{
    if (!m_bus.isConnected())
        return std::nullopt;
    // Never start a service just to ask it.
    call.setAutoStartService(false);
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    QVariant value = reply.arguments().constFirst();
    // Variants may come wrapped once or twice.
    while (value.canConvert<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

std::optional<bool> PanelShade::fromDesktop()
{
    // GNOME's top bar is dark in the light and the dark style alike.
    if (DesktopSession::is("GNOME"))
        return true;
    return std::nullopt;
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

std::optional<bool> PanelShade::fromXfcePanel() const
{
    if (!DesktopSession::is("XFCE"))
        return std::nullopt;
    // XFCE 4.18 draws its panels dark by default: xfce4-panel's /panels/dark-mode.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.xfce.Xfconf"), QStringLiteral("/org/xfce/Xfconf"),
        QStringLiteral("org.xfce.Xfconf"), QStringLiteral("GetProperty"));
    call << QStringLiteral("xfce4-panel") << QStringLiteral("/panels/dark-mode");
    const auto value = readOverBus(call);
    if (!value || !value->canConvert<bool>())
        return std::nullopt;
    return value->toBool();
}

std::optional<bool> PanelShade::fromAppearanceSetting() const
{
    // 1 asks for dark, 2 for light, 0 states no preference.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    call << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    const auto value = readOverBus(call);
    if (!value)
        return std::nullopt;
    const uint scheme = value->toUInt();
    if (scheme == 1 || scheme == 2)
        return scheme == 1;
    return std::nullopt;
}

bool PanelShade::isDark(const QRect& itemGeometry)
{
    if (!m_sinceMoved.isValid() || itemGeometry != m_checkedGeometry) {
        m_checkedGeometry = itemGeometry;
        m_sinceMoved.start();
        m_checked.invalidate();
    }
    // Just after the item is docked or moved, or while the tray around it shows no plain
    // colour (not painted yet, or gone and coming back), look again every second for a while.
    // Where the item has no place on screen (a StatusNotifierItem host) nothing settles.
    const bool settling =
        !itemGeometry.isEmpty() && (m_sinceMoved.elapsed() < kSettleMs ||
                                    (m_looksUntold > 0 && m_looksUntold <= kUntoldLooks));
    const qint64 recheck = settling ? kSettlingRecheckMs : kRecheckMs;
    if (m_checked.isValid() && m_checked.elapsed() < recheck)
        return m_dark;
    m_checked.start();
    // In order, each asked only where the ones before it could not tell.
    std::optional<bool> answer = fromDesktop();
    // The tray paints around a newly docked item a moment later; until then its pixels say
    // nothing.
    const bool pixelsMayTell = m_sinceMoved.elapsed() > kUnpaintedMs && !itemGeometry.isEmpty();
    if (!answer && pixelsMayTell)
        answer = fromPixelsBeside(itemGeometry);
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
    answer = fromXfcePanel();
    if (!answer)
        answer = fromAppearanceSetting();
    m_dark = answer ? *answer : isDarkColour(QGuiApplication::palette().color(QPalette::Window));
    return m_dark;
}
