#include "Horalis/model/PeriodProgress.h"
#include "support/TestTime.h"

#include <bit>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace {
Calendar utcCalendar(WeekStart weekStart = WeekStart::monday)
{
    return preparedCalendar(Calendar("en_US", "Etc/UTC"), weekStart);
}
} // namespace

TEST(PeriodProgress, DayIsMeasuredAgainstItsRealLength)
{
    const Calendar plain = utcCalendar();
    EXPECT_EQ(calculateDayProgress(utc(2026, 5, 5), plain), 0.0);
    EXPECT_DOUBLE_EQ(calculateDayProgress(utc(2026, 5, 5, 23, 59, 59), plain), 86399.0 / 86400.0);

    // 23 hours on 2026-03-08 in New York (every zone's changes are checked against Python's
    // zoneinfo by the reference test).
    const Calendar newYork("en_US", "America/New_York");
    EXPECT_DOUBLE_EQ(calculateDayProgress(utc(2026, 3, 8, 16), newYork), 11.0 / 23.0);
}

TEST(PeriodProgress, WeekStartsOnTheChosenDay)
{
    // Sunday 2026-12-06, 06:00: each first day of the week puts it a day further on.
    const double sunday6am = utc(2026, 12, 6, 6);
    for (WeekStart day : WeekStart::allCases()) {
        const int daysIn = (7 - static_cast<int>(day.value())) % 7;
        EXPECT_DOUBLE_EQ(calculateWeekProgress(sunday6am, utcCalendar(day)),
                         (daysIn * 24 + 6) / 168.0)
            << day.rawValue().toStdString();
    }

    // The week of New York's spring change has 167 hours.
    const Calendar newYork =
        preparedCalendar(Calendar("en_US", "America/New_York"), WeekStart::sunday);
    EXPECT_DOUBLE_EQ(calculateWeekProgress(utc(2026, 3, 9, 4), newYork), 23.0 / 167.0);
}

TEST(PeriodProgress, MonthAndYearFollowTheCalendar)
{
    const Calendar plain = utcCalendar();
    EXPECT_DOUBLE_EQ(calculateMonthProgress(utc(2024, 2, 15, 12), plain), 14.5 / 29.0);
    EXPECT_DOUBLE_EQ(calculateMonthProgress(utc(2024, 3, 15, 12), plain), 14.5 / 31.0);
    EXPECT_DOUBLE_EQ(calculateYearProgress(utc(2026, 7, 1), plain), 181.0 / 365.0);
    EXPECT_DOUBLE_EQ(calculateYearProgress(utc(2024, 7, 1), plain), 182.0 / 366.0);
    EXPECT_EQ(calculateYearProgress(utc(2026, 1, 1), plain), 0.0);
    EXPECT_EQ(calculateMonthProgress(utc(2026, 1, 1), plain), 0.0);
}

TEST(PeriodProgress, BuddhistCalendarKeepsGregorianMonthsUnderItsOwnYears)
{
    const Calendar thai("th_TH", "Asia/Bangkok"); // UTC+7 all year
    EXPECT_DOUBLE_EQ(calculateMonthProgress(utc(2024, 2, 15, 5), thai), 14.5 / 29.0);
    EXPECT_DOUBLE_EQ(calculateYearProgress(utc(2024, 6, 30, 17), thai), 182.0 / 366.0);
}

TEST(PeriodProgress, PersianYearStartsAtNowruz)
{
    // 1405 begins on 2026-03-21; Farvardin has 31 days and Mehr 30. Tehran keeps +03:30.
    const Calendar persian("fa_IR", "Asia/Tehran");
    const double nowruz = utc(2026, 3, 21) - 3.5 * kHour;
    EXPECT_EQ(calculateYearProgress(nowruz, persian), 0.0);
    EXPECT_EQ(calculateMonthProgress(nowruz, persian), 0.0);
    EXPECT_DOUBLE_EQ(calculateMonthProgress(nowruz + 15.5 * kDay, persian), 15.5 / 31.0);
    const double mehrFirst = utc(2026, 9, 23) - 3.5 * kHour;
    EXPECT_DOUBLE_EQ(calculateMonthProgress(mehrFirst + 10 * kDay, persian), 10.0 / 30.0);
    // 1404 had 365 days: its last day ends where 1405 begins.
    EXPECT_DOUBLE_EQ(calculateYearProgress(nowruz - 0.5 * kDay, persian), 364.5 / 365.0);
}

TEST(PeriodProgress, HebrewLeapYearHasThirteenMonths)
{
    // 5784 ran from 2023-09-16 to 2024-10-02, 383 days, with Adar I (30 days) from 2024-02-10.
    const Calendar hebrew("he_IL@calendar=hebrew", "Etc/UTC");
    const double yearStart = utc(2023, 9, 16);
    const double yearLength = (daysFromCivil(2024, 10, 3) - daysFromCivil(2023, 9, 16)) * kDay;
    ASSERT_EQ(yearLength, 383 * kDay);
    EXPECT_EQ(calculateYearProgress(yearStart, hebrew), 0.0);
    EXPECT_DOUBLE_EQ(calculateYearProgress(utc(2024, 3, 11), hebrew),
                     (utc(2024, 3, 11) - yearStart) / yearLength);
    EXPECT_DOUBLE_EQ(calculateMonthProgress(utc(2024, 2, 25, 12), hebrew), 15.5 / 30.0);
}

TEST(PeriodProgress, IslamicMonthEndsWhereTheNextOneBegins)
{
    // Riyadh keeps +03:00. The month holding 1991-01-16 has 30 days in ICU's astronomical
    // Islamic calendar; counting one month from its first day fell two days short.
    const Calendar islamic("ar_SA@calendar=islamic", "Asia/Riyadh");
    const double now = utc(1991, 1, 16, 9);
    const int64_t today = *islamic.localDay(now);
    const auto month = islamic.spanOf(Calendar::Unit::Month, today);
    ASSERT_TRUE(month);
    EXPECT_EQ(month->days, 30);
    const auto next = islamic.spanOf(Calendar::Unit::Month, month->firstDay + month->days);
    EXPECT_EQ(next->firstDay, month->firstDay + 30);
    const double start = *islamic.startOfLocalDay(month->firstDay);
    EXPECT_DOUBLE_EQ(calculateMonthProgress(now, islamic), (now - start) / (30 * kDay));
}

TEST(PeriodProgress, AtTheEdgeOfTheDatesACalendarNamesADayHoldsTheMomentOrIsNone)
{
    // The last moment that still has a local date, found by halving over the doubles' bits
    // (for positive doubles their order): its day may start there, but the next one does not.
    for (const char* zone : {"Etc/UTC", "Pacific/Kiritimati", "America/New_York"}) {
        const Calendar calendar("en_US", zone);
        uint64_t named = 0;
        uint64_t unnamed = std::bit_cast<uint64_t>(std::numeric_limits<double>::max());
        while (unnamed - named > 1) {
            const uint64_t middle = named + (unnamed - named) / 2;
            (calendar.localDay(std::bit_cast<double>(middle)) ? named : unnamed) = middle;
        }
        const double last = std::bit_cast<double>(named);
        ASSERT_TRUE(calendar.localDay(last)) << zone;
        for (const double now : {last, -last}) {
            if (const auto day = currentDay(now, calendar)) {
                EXPECT_TRUE(day->start <= now && now < day->end) << zone << " " << now;
            }
            for (const auto progress : {calculateDayProgress, calculateWeekProgress,
                                        calculateMonthProgress, calculateYearProgress}) {
                const double share = progress(now, calendar);
                EXPECT_TRUE(share >= 0.0 && share <= 1.0) << zone << " " << now;
            }
        }
    }
}
