#include "Horalis/model/PeriodProgress.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

namespace {
Calendar utcCalendar(const QString& weekStart = QStringLiteral("monday"))
{
    return preparedCalendar(Calendar("en_US", "Etc/UTC"), weekStart);
}
} // namespace

TEST(PeriodProgress, DayIsMeasuredAgainstItsRealLength)
{
    const Calendar plain = utcCalendar();
    EXPECT_EQ(calculateDayProgress(utc(2026, 5, 5), plain), 0.0);
    EXPECT_DOUBLE_EQ(calculateDayProgress(utc(2026, 5, 5, 23, 59, 59), plain), 86399.0 / 86400.0);

    // 23 hours on 2026-03-08 and 25 on 2026-11-01 in New York.
    const Calendar newYork("en_US", "America/New_York");
    EXPECT_DOUBLE_EQ(calculateDayProgress(utc(2026, 3, 8, 16), newYork), 11.0 / 23.0);
    EXPECT_DOUBLE_EQ(calculateDayProgress(utc(2026, 11, 1, 17), newYork), 13.0 / 25.0);

    // Sao Paulo's 2018-11-04 began at 01:00 local time and lasted 23 hours.
    const Calendar saoPaulo("pt_BR", "America/Sao_Paulo");
    EXPECT_EQ(calculateDayProgress(utc(2018, 11, 4, 3), saoPaulo), 0.0);
    EXPECT_DOUBLE_EQ(calculateDayProgress(utc(2018, 11, 4, 14, 30), saoPaulo), 11.5 / 23.0);
    EXPECT_EQ(currentDay(utc(2018, 11, 4, 14), saoPaulo)->end, utc(2018, 11, 5, 2));

    // Lord Howe moves its clocks by half an hour: 2026-10-04 lasts 23.5 hours.
    const Calendar lordHowe("en_AU", "Australia/Lord_Howe");
    EXPECT_DOUBLE_EQ(calculateDayProgress(utc(2026, 10, 4, 1), lordHowe), 11.5 / 23.5);
}

TEST(PeriodProgress, WeekStartsOnTheStoredDay)
{
    const double sunday6am = utc(2026, 12, 6, 6);
    EXPECT_DOUBLE_EQ(calculateWeekProgress(sunday6am, utcCalendar("sunday")), 6.0 / 168.0);
    EXPECT_DOUBLE_EQ(calculateWeekProgress(sunday6am, utcCalendar("monday")), 150.0 / 168.0);
    EXPECT_DOUBLE_EQ(calculateWeekProgress(utc(2026, 12, 5, 12), utcCalendar("saturday")),
                     12.0 / 168.0);
    EXPECT_DOUBLE_EQ(calculateWeekProgress(utc(2026, 12, 11, 12), utcCalendar("saturday")),
                     (6 * 24 + 12) / 168.0);
    for (const char* notARawValue : {"Sunday", "", "lundi", "sunday "}) {
        EXPECT_EQ(firstWeekdayNumber(QString::fromLatin1(notARawValue)), 2) << notARawValue;
        EXPECT_DOUBLE_EQ(calculateWeekProgress(sunday6am, utcCalendar(notARawValue)),
                         150.0 / 168.0);
    }
    EXPECT_EQ(firstWeekdayNumber("saturday"), 7);

    // The week of New York's spring change has 167 hours.
    const Calendar newYork = preparedCalendar(Calendar("en_US", "America/New_York"), "sunday");
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
    ASSERT_EQ(thai.calendarType(), "buddhist");
    EXPECT_DOUBLE_EQ(calculateMonthProgress(utc(2024, 2, 15, 5), thai), 14.5 / 29.0);
    EXPECT_DOUBLE_EQ(calculateYearProgress(utc(2024, 6, 30, 17), thai), 182.0 / 366.0);
}

TEST(PeriodProgress, PersianYearStartsAtNowruz)
{
    // 1405 begins on 2026-03-21; Farvardin has 31 days and Mehr 30. Tehran keeps +03:30.
    const Calendar persian("fa_IR", "Asia/Tehran");
    ASSERT_EQ(persian.calendarType(), "persian");
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
    ASSERT_EQ(hebrew.calendarType(), "hebrew");
    const double yearStart = utc(2023, 9, 16);
    const double yearLength = (daysFromCivil(2024, 10, 3) - daysFromCivil(2023, 9, 16)) * kDay;
    ASSERT_EQ(yearLength, 383 * kDay);
    EXPECT_EQ(calculateYearProgress(yearStart, hebrew), 0.0);
    EXPECT_DOUBLE_EQ(calculateYearProgress(utc(2024, 3, 11), hebrew),
                     (utc(2024, 3, 11) - yearStart) / yearLength);
    EXPECT_DOUBLE_EQ(calculateMonthProgress(utc(2024, 2, 25, 12), hebrew), 15.5 / 30.0);

    int months = 0;
    const int64_t yearEnd = *hebrew.localDay(yearStart) + 383;
    for (int64_t day = *hebrew.localDay(yearStart); day < yearEnd; ++months)
        day += hebrew.spanOf(Calendar::Unit::Month, day)->days;
    EXPECT_EQ(months, 13);
}

TEST(PeriodProgress, IslamicMonthEndsWhereTheNextOneBegins)
{
    // Riyadh keeps +03:00. The month holding 1991-01-16 has 30 days in ICU's astronomical
    // Islamic calendar; counting one month from its first day fell two days short.
    const Calendar islamic("ar_SA@calendar=islamic", "Asia/Riyadh");
    ASSERT_EQ(islamic.calendarType(), "islamic");
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

TEST(PeriodProgress, ZonesFollowTheSystemDatabase)
{
    // Each changed its rules after the calendar library's own copy of them was made: Mexico
    // City dropped daylight time in 2022, Cairo took it up again in 2023, Almaty moved to
    // +05 in 2024. At 12:00:04 local time the day is half gone.
    const struct
    {
        const char* zone;
        double noon;
    } places[] = {{"America/Mexico_City", utc(2026, 7, 1, 18)},
                  {"Africa/Cairo", utc(2026, 7, 1, 9)},
                  {"Asia/Almaty", utc(2026, 7, 1, 7)}};
    for (const auto& place : places) {
        const Calendar calendar("en_US", place.zone);
        EXPECT_DOUBLE_EQ(calculateDayProgress(place.noon + 4, calendar), 0.5 + 4.0 / kDay)
            << place.zone;
    }
}

TEST(PeriodProgress, DatesTheDateLineSkippedOrDoubledCountAsTheyWere)
{
    // Apia went from 2011-12-29 straight to 2011-12-31: the week from Monday the 26th has six
    // dates, 144 hours.
    const Calendar apia = preparedCalendar(Calendar("en_US", "Pacific/Apia"), "monday");
    const double saturday = utc(2011, 12, 30, 12); // 2011-12-31 02:00 local
    EXPECT_DOUBLE_EQ(calculateWeekProgress(saturday, apia),
                     (saturday - utc(2011, 12, 26, 10)) / (144 * kHour));

    // Rarotonga lived 1899-12-25 twice when it moved across the date line: one 48-hour day,
    // more than half gone in its second run.
    const Calendar rarotonga("en_US", "Pacific/Rarotonga");
    const auto day = currentDay(utc(1899, 12, 25, 12), rarotonga);
    ASSERT_TRUE(day);
    EXPECT_EQ(day->end - day->start, 48 * kHour);
    EXPECT_GT(calculateDayProgress(utc(1899, 12, 25, 12), rarotonga), 0.5);
}
