// How dark the panel that holds the icon is, from what the desktop says and shows.

#include "platform/PanelShade.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusVariant>
#include <QImage>
#include <QProcess>
#include <QThread>

#include <atomic>

TEST(PanelShade, GnomesTopBarIsDarkAndAPalettePanelFollowsThePalette)
{
    {
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        EXPECT_TRUE(PanelShade().isDark(QRect()));
    }
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "Unknown");
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    EXPECT_FALSE(PanelShade().isDark(QRect())) << "the default palette is light";

    // Pixels beside an item: a plain dark or light panel tells; the X server's black-and-white
    // stipple, where a tray has not painted yet, does not.
    const auto strip = [](auto paint) {
        QImage image(22, 2, QImage::Format_RGB32);
        for (int x = 0; x < 22; ++x)
            for (int y = 0; y < 2; ++y)
                image.setPixel(x, y, paint(x, y));
        return image;
    };
    EXPECT_EQ(PanelShade::fromPixels({strip([](int, int) { return 0xff202020u; })}), true);
    EXPECT_EQ(PanelShade::fromPixels({strip([](int, int) { return 0xffe8e8e8u; })}), false);
    EXPECT_EQ(PanelShade::fromPixels(
                  {strip([](int x, int y) { return (x + y) % 2 ? 0xffffffffu : 0xff000000u; })}),
              std::nullopt);
    EXPECT_EQ(PanelShade::fromPixels({}), std::nullopt);
}

namespace {

// The freedesktop appearance portal, as xdg-desktop-portal answers Read.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    std::atomic<uint> colorScheme = 0;

public slots:
    QDBusVariant Read(const QString& group, const QString& key)
    {
        if (group != QLatin1String("org.freedesktop.appearance") ||
            key != QLatin1String("color-scheme"))
            return {};
        // A variant in a variant, as the portal sends it.
        return QDBusVariant(QVariant::fromValue(QDBusVariant(uint(colorScheme))));
    }
};

} // namespace

TEST(PanelShade, FollowsTheAppearancePortalWhereThePanelItselfSaysNothing)
{
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1")});
    ASSERT_TRUE(daemon.waitForReadyRead(5000)) << "no dbus-daemon";
    const QString address = QString::fromLatin1(daemon.readLine()).trimmed();
    QDBusConnection portalBus = QDBusConnection::connectToBus(address, QStringLiteral("portal"));
    QDBusConnection desktopBus = QDBusConnection::connectToBus(address, QStringLiteral("desktop"));
    ASSERT_TRUE(portalBus.isConnected() && desktopBus.isConnected());

    // Answering on a thread of its own, as a portal answers from another process.
    QThread thread;
    FakePortal portal;
    portal.moveToThread(&thread);
    thread.start();
    ASSERT_TRUE(portalBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                         QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "Unknown");
    portal.colorScheme = 1;
    EXPECT_TRUE(PanelShade(desktopBus).isDark(QRect())) << "1 asks for dark";
    portal.colorScheme = 2;
    EXPECT_FALSE(PanelShade(desktopBus).isDark(QRect())) << "2 asks for light";
    portal.colorScheme = 0;
    EXPECT_FALSE(PanelShade(desktopBus).isDark(QRect())) << "no preference: the light palette";

    portalBus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
    thread.quit();
    thread.wait();
    QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
    QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
    daemon.terminate();
    daemon.waitForFinished();
}

#include "PanelShadeTest.moc"
