#include "platform/session/SecondTimer.h"

#include <gtest/gtest.h>

TEST(SecondTimer, TicksJustAfterEachWallClockSecond)
{
    EXPECT_EQ(SecondTimer::delayUntilNextTick(9'950, 5), 55);
    EXPECT_EQ(SecondTimer::delayUntilNextTick(10'005, 5), 1000);
    EXPECT_EQ(SecondTimer::delayUntilNextTick(10'400, 5), 605);
    // Fired a hair early: the next tick is the following second's, never the same one twice.
    EXPECT_EQ(SecondTimer::delayUntilNextTick(10'003, 5), 1002);
    EXPECT_EQ(SecondTimer::delayUntilNextTick(10'000, 5), 1005);
    EXPECT_EQ(SecondTimer::delayUntilNextTick(-1'000, 5), 1005);
}
