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
    EXPECT_FALSE(formatTimeRemaining(1e300).isEmpty());
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
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 11, 1, 4, 30), newYork), "24h 30m remaining today");
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 3, 8, 5), newYork), "23h 0m remaining today");
    // Half an hour before Sao Paulo's midnight on its 23-hour day, half an hour is left.
    const Calendar saoPaulo("pt_BR", "America/Sao_Paulo");
    EXPECT_EQ(calculateTimeRemaining(utc(2018, 11, 5, 1, 30), saoPaulo), "30m 0s remaining today");
    const Calendar lordHowe("en_AU", "Australia/Lord_Howe");
    EXPECT_EQ(calculateTimeRemaining(utc(2026, 10, 3, 13, 30), lordHowe),
              "23h 30m remaining today");
}
