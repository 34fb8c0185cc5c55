// Where the panel opens: next to the item, inside the screen.

#include "platform/desktop/Popover.h"

#include <gtest/gtest.h>

TEST(Popover, OpensBelowTheItemInsideTheScreen)
{
    const QRect screen(0, 0, 1280, 800);
    const QSize size(300, 370);
    EXPECT_EQ(Popover::placement(QRect(600, 0, 22, 24), size, screen), QPoint(460, 24));
    EXPECT_EQ(Popover::placement(QRect(1257, 0, 22, 24), size, screen), QPoint(980, 24));
    EXPECT_EQ(Popover::placement(QRect(2, 0, 22, 24), size, screen), QPoint(0, 24));
    // A tray at the bottom of the screen: above the item.
    EXPECT_EQ(Popover::placement(QRect(1257, 776, 22, 24), size, screen), QPoint(980, 406));
    // A second screen to the right.
    EXPECT_EQ(Popover::placement(QRect(2000, 0, 1, 1), size, QRect(1280, 0, 1920, 1080)),
              QPoint(1850, 1));
}

TEST(Popover, AClickInABarStandsForAnItemAcrossTheBar)
{
    const QRect screen(0, 0, 1280, 800);
    // A bar that keeps its room: Cinnamon's 40 px at the bottom reports the icon's corner at
    // the bar's inner edge, MATE's 24 px at the top a point in its applet's own window.
    const QRect aboveCinnamonsBar(0, 0, 1280, 760);
    EXPECT_EQ(Popover::barStripAt(QPoint(1110, 760), screen, aboveCinnamonsBar),
              QRect(1110, 760, 1, 40));
    EXPECT_EQ(Popover::placement(QRect(1110, 760, 1, 40), QSize(300, 371), aboveCinnamonsBar),
              QPoint(960, 389))
        << "above the bar, touching it";
    const QRect belowMatesBar(0, 24, 1280, 752);
    EXPECT_EQ(Popover::barStripAt(QPoint(1200, 3), screen, belowMatesBar), QRect(1200, 0, 1, 24));
    EXPECT_TRUE(Popover::barStripAt(QPoint(0, 25), screen, belowMatesBar).isEmpty());
    EXPECT_TRUE(Popover::barStripAt(QPoint(1300, 3), screen, belowMatesBar).isEmpty());
    // Bars at the left and right: the panel opens beside them.
    EXPECT_EQ(Popover::barStripAt(QPoint(10, 700), screen, QRect(48, 0, 1232, 800)),
              QRect(0, 700, 48, 1));
    EXPECT_EQ(Popover::placement(QRect(0, 700, 48, 1), QSize(300, 370), QRect(48, 0, 1232, 800)),
              QPoint(48, 430));
    EXPECT_EQ(Popover::barStripAt(QPoint(1270, 100), screen, QRect(0, 0, 1240, 800)),
              QRect(1240, 100, 40, 1));
    EXPECT_EQ(Popover::placement(QRect(1240, 100, 40, 1), QSize(300, 370), QRect(0, 0, 1240, 800)),
              QPoint(940, 0));

    // A bar that keeps no room: a click 15 px below the top stands for an item spanning the
    // 31 px above the panel's top; at the bottom the panel opens above the bar.
    EXPECT_EQ(Popover::barStripAt(QPoint(1254, 15), screen, screen), QRect(1254, 0, 1, 31));
    EXPECT_EQ(Popover::placement(QRect(1254, 0, 1, 31), QSize(300, 370), screen), QPoint(980, 31));
    EXPECT_EQ(Popover::barStripAt(QPoint(640, 785), screen, screen), QRect(640, 771, 1, 29));
    // Away from the edges, on a second screen too: no bar.
    EXPECT_TRUE(Popover::barStripAt(QPoint(640, 400), screen, screen).isEmpty());
    const QRect second(1280, 0, 1920, 1080);
    EXPECT_EQ(Popover::barStripAt(QPoint(1500, 10), second, second), QRect(1500, 0, 1, 21));
}
