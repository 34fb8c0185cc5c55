#include "Horalis/model/TimeRemaining.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(TimeRemaining, FormatsTruncatedWholeSeconds)
{
    const std::pair<double, const char*> cases[] = {
        {86400, "24h 0m remaining today"},   {90000, "25h 0m remaining today"},
        {11532, "3h 12m remaining today"},   {3600, "1h 0m remaining today"},
        {3599.9, "59m 59s remaining today"}, {7259, "2h 0m remaining today"},
        {61, "1m 1s remaining today"},       {60, "1m 0s remaining today"},
        {59.99, "59s remaining today"},      {0.4, "0s remaining today"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(formatTimeRemaining(seconds), QString::fromLatin1(text)) << seconds;
}

TEST(TimeRemaining, NonsenseInputGivesZeroSeconds)
{
    for (double bad : {-1.0, -1e300, std::nan(""), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()})
        EXPECT_EQ(formatTimeRemaining(bad), "0s remaining today") << bad;
    // Far beyond any day, still whole hours and minutes.
    EXPECT_EQ(formatTimeRemaining(1e300), "277777777777h 46m remaining today");
}

TEST(TimeRemaining, TheTooltipsFigureChangesOnceAMinuteAtMost)
{
    EXPECT_EQ(toTheMinute(formatTimeRemaining(11'532)), "3h 12m remaining today");
    EXPECT_EQ(toTheMinute(formatTimeRemaining(2'832)), "47m remaining today");
    EXPECT_EQ(toTheMinute(formatTimeRemaining(2'879)), "47m remaining today");
    EXPECT_EQ(toTheMinute(formatTimeRemaining(60)), "1m remaining today");
    EXPECT_EQ(toTheMinute(formatTimeRemaining(59)), "under a minute remaining today");
    EXPECT_EQ(toTheMinute(formatTimeRemaining(0)), "under a minute remaining today");
}

TEST(TimeRemaining, CountsToTheEndOfTheLocalDay)
{
    const Calendar plain("en_US", "Etc/UTC");
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 5, 5, 23), plain), "1h 0m remaining today");
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 5, 5, 23, 0, 1), plain), "59m 59s remaining today");
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 5, 5, 23, 59), plain), "1m 0s remaining today");
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 5, 5, 23, 59, 1), plain), "59s remaining today");
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 5, 5, 23, 59, 59.5), plain), "0s remaining today");

    const Calendar newYork("en_US", "America/New_York");
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 11, 1, 4), newYork), "25h 0m remaining today");
    // Every zone's changes are checked against Python's zoneinfo by the reference test.
}
