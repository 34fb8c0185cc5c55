// What each desktop's tray host does its own way.

#include "platform/tray/TrayHost.h"
#include "platform/desktop/Popover.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

TEST(TrayHost, EachDesktopsHostGetsKeyNamesItReadsAndTheClickItMeans)
{
    const std::pair<const char*, TrayHost::KeyNames> desktops[] = {
        {"KDE", TrayHost::KeyNames::Qt},   {"LXQt", TrayHost::KeyNames::Qt},
        {"XFCE", TrayHost::KeyNames::X11}, {"X-Cinnamon", TrayHost::KeyNames::X11},
        {"MATE", TrayHost::KeyNames::X11}, {"sway", TrayHost::KeyNames::X11},
    };
    for (const auto& [desktop, names] : desktops) {
        ScopedEnv session("XDG_CURRENT_DESKTOP", desktop);
        EXPECT_EQ(TrayHost::keyNames(), names) << desktop;
    }
    for (const char* desktop : {"GNOME", "ubuntu:GNOME"}) {
        ScopedEnv session("XDG_CURRENT_DESKTOP", desktop);
        EXPECT_TRUE(TrayHost::keepsLeftClick() && TrayHost::stretchesToSquare()) << desktop;
    }
    {
        ScopedEnv session("XDG_CURRENT_DESKTOP", "Budgie:GNOME");
        EXPECT_FALSE(TrayHost::keepsLeftClick() || TrayHost::stretchesToSquare() ||
                     TrayHost::barIsDark())
            << "Budgie's panel is its own";
    }
    // Without an X server's pointer to go by, only a point the host places on the screen.
    {
        ScopedEnv session("XDG_CURRENT_DESKTOP", "XFCE");
        EXPECT_EQ(TrayHost::placesOfClick(QPoint(1200, 12)), QList<QPoint>{QPoint(1200, 12)});
        EXPECT_TRUE(TrayHost::placesOfClick(QPoint(0, 0)).isEmpty());
    }
    {
        // GNOME's menu entry sends no point: the item is in the status area at the right end
        // of the top bar (the offscreen screen is 800 × 600).
        ScopedEnv session("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        EXPECT_EQ(TrayHost::placesOfClick(QPoint()), QList<QPoint>{QPoint(799, 0)});
        EXPECT_EQ(TrayHost::placesOfClick(QPoint(700, 12)), QList<QPoint>{QPoint(700, 12)});
    }
    ScopedEnv session("XDG_CURRENT_DESKTOP", "MATE");
    EXPECT_TRUE(TrayHost::placesOfClick(QPoint(0, 25)).isEmpty());

    // The first place that lies in a bar stands for the item (the offscreen screen is 800 ×
    // 600 and keeps no room for bars).
    EXPECT_EQ(Popover::itemAround({QPoint(0, 300), QPoint(100, 5)}), QRect(100, 0, 1, 11));
    EXPECT_EQ(Popover::itemAround({QPoint(50, 300)}), QRect(50, 300, 1, 1));
    EXPECT_TRUE(Popover::itemAround({}).isEmpty());
}
