// How dark the panel that holds the icon is, from what the desktop says and shows.

#include "platform/tray/PanelShade.h"
#include "support/FakePortal.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

namespace {
QRect nowhere()
{
    return {};
}
} // namespace

TEST(PanelShade, GnomeAndCinnamonBarsAreDarkAndAPalettePanelFollowsThePalette)
{
    for (const char* name : {"ubuntu:GNOME", "X-Cinnamon"}) {
        ScopedEnv desktop("XDG_CURRENT_DESKTOP", name);
        DesktopColorScheme scheme;
        EXPECT_TRUE(PanelShade(&scheme).isDark(nowhere)) << name;
    }
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "Unknown");
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    DesktopColorScheme scheme;
    EXPECT_FALSE(PanelShade(&scheme).isDark(nowhere)) << "the default palette is light";
    EXPECT_FALSE(PanelShade(nullptr).isDark(nowhere)) << "without a style to follow: light";

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

TEST(PanelShade, FollowsTheAppearancePortalWhereThePanelItselfSaysNothing)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isUp()) << "no dbus-daemon";
    FakePortal portal(bus.connect(QStringLiteral("portal")));
    QDBusConnection desktopBus = bus.connect(QStringLiteral("desktop"));

    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "Unknown");
    // The answer comes without a wait, a moment later; the next look takes it at once, not
    // half a minute on.
    portal.colorScheme = 1;
    DesktopColorScheme scheme(desktopBus);
    PanelShade shade(&scheme);
    EXPECT_FALSE(shade.isDark(nowhere)) << "the palette's light until the desktop answers";
    EXPECT_TRUE(QTest::qWaitFor([&] { return shade.isDark(nowhere); }, 5000)) << "1 asks for dark";
    portal.announce(2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shade.isDark(nowhere); }, 5000))
        << "2 asks for light";
}

TEST(PanelShade, AsksWhereTheItemIsOnlyWhenALookIsDueOrTheItemMoved)
{
    // On an XEmbed tray each question is a round trip to the X server: not one a redraw.
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "Unknown");
    DesktopColorScheme scheme{QDBusConnection(QString())};
    PanelShade shade(&scheme);
    int asked = 0;
    QRect place;
    const auto whereIsTheItem = [&asked, &place] {
        ++asked;
        return place;
    };
    for (int second = 0; second < 60; ++second)
        shade.isDark(whereIsTheItem);
    EXPECT_EQ(asked, 1);
    shade.itemMoved();
    shade.isDark(whereIsTheItem);
    shade.isDark(whereIsTheItem);
    EXPECT_EQ(asked, 2) << "a move is looked at once, at the next redraw";

    // Docked, and hidden until the tray had settled: the look came too soon to read the tray,
    // and the desktop's light style must not then stand for a minute over a dark tray.
    place = QRect(1115, 774, 22, 22);
    shade.itemMoved();
    shade.isDark(whereIsTheItem);
    QTest::qWait(5200);
    shade.isDark(whereIsTheItem);
    EXPECT_EQ(asked, 4) << "a tray not yet read is looked at at the next redraw, however late";
}

TEST(PanelShade, ABarsLineShowsItsOwnColourBetweenItsItems)
{
    // MATE's panel in a dark colour of the user's, or its light theme: menus, launchers and a
    // clock on it, each a run of other pixels.
    const auto bar = [](QRgb colour, QRgb ink) {
        QImage line(1280, 1, QImage::Format_RGB32);
        line.fill(colour);
        for (int x = 0; x < 1280; ++x) {
            if (x % 200 < 90)
                line.setPixel(x, 0, x % 3 ? ink : qRgb(90, 140, 200));
        }
        return line;
    };
    EXPECT_EQ(PanelShade::fromBarLine(bar(qRgb(0x2b, 0x2b, 0x2b), qRgb(255, 255, 255))), true);
    EXPECT_EQ(PanelShade::fromBarLine(bar(qRgb(0xed, 0xed, 0xed), qRgb(0, 0, 0))), false);
    EXPECT_EQ(PanelShade::fromBarLine(bar(qRgb(0x55, 0x55, 0x55), qRgb(255, 255, 255))), true);
    // A picture or a gradient has no colour of its own.
    QImage gradient(1280, 1, QImage::Format_RGB32);
    for (int x = 0; x < 1280; ++x)
        gradient.setPixel(x, 0, qRgb(x / 5, x / 5, x / 5));
    EXPECT_EQ(PanelShade::fromBarLine(gradient), std::nullopt);
    EXPECT_EQ(PanelShade::fromBarLine(QImage()), std::nullopt);
}
