// Where the panel opens: next to the item, inside the screen.

#include "platform/Popover.h"

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

TEST(Popover, AClickOnABarAtAnEdgeStandsForAnItemAcrossTheBar)
{
    const QRect screen(0, 0, 1280, 800);
    // A click 15 px below the top: the item spans the 31 px above the panel's top.
    EXPECT_EQ(Popover::itemAround(QPoint(1254, 15), screen), QRect(1254, 0, 1, 31));
    EXPECT_EQ(
        Popover::placement(Popover::itemAround(QPoint(1254, 15), screen), QSize(300, 370), screen),
        QPoint(980, 31));
    // At the bottom the panel opens above the bar.
    EXPECT_EQ(Popover::itemAround(QPoint(640, 785), screen), QRect(640, 771, 1, 29));
    // Away from the edges, on a second screen too: only the point.
    EXPECT_EQ(Popover::itemAround(QPoint(640, 400), screen), QRect(640, 400, 1, 1));
    EXPECT_EQ(Popover::itemAround(QPoint(1500, 10), QRect(1280, 0, 1920, 1080)),
              QRect(1500, 0, 1, 21));
}
