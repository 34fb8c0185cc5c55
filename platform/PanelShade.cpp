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

namespace {

// A panel's colour changes with a theme, seldom: a look every half minute is soon enough.
constexpr qint64 kRecheckMs = 30'000;
// Hosts answer within milliseconds; one that does not must not hold the icon up.
constexpr int kCallTimeoutMs = 150;

bool isDarkColour(const QColor& colour)
{
    return colour.lightnessF() < 0.5;
}

std::optional<QVariant> readOverBus(QDBusMessage call)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    // Never start a service just to ask it.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    QVariant value = reply.arguments().constFirst();
    // Variants may come wrapped once or twice.
    while (value.canConvert<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

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
    // A strip just left of the item and one just right of it: the tray's own background.
    const QRect screenArea = screen->geometry();
    double lightness = 0;
    int samples = 0;
    for (const int x : {itemGeometry.left() - 3, itemGeometry.right() + 1}) {
        const QRect strip = QRect(x, itemGeometry.top(), 3, itemGeometry.height()) & screenArea;
        if (strip.isEmpty())
            continue;
        const QImage pixels =
            screen
                ->grabWindow(0, strip.x() - screenArea.x(), strip.y() - screenArea.y(),
                             strip.width(), strip.height())
                .toImage();
        for (int y = 0; y < pixels.height(); ++y) {
            for (int px = 0; px < pixels.width(); ++px, ++samples)
                lightness += QColor(pixels.pixel(px, y)).lightnessF();
        }
    }
    if (samples == 0)
        return std::nullopt;
    return lightness / samples < 0.5;
}

std::optional<bool> PanelShade::fromXfcePanel()
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

std::optional<bool> PanelShade::fromAppearanceSetting()
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
    if (m_checked.isValid() && m_checked.elapsed() < kRecheckMs &&
        itemGeometry == m_checkedGeometry)
        return m_dark;
    m_checked.start();
    m_checkedGeometry = itemGeometry;
    // In order, each asked only where the ones before it could not tell.
    std::optional<bool> answer = fromDesktop();
    if (!answer)
        answer = fromPixelsBeside(itemGeometry);
    if (!answer)
        answer = fromXfcePanel();
    if (!answer)
        answer = fromAppearanceSetting();
    if (answer) {
        m_dark = *answer;
        return m_dark;
    }
    m_dark = isDarkColour(QGuiApplication::palette().color(QPalette::Window));
    return m_dark;
}
