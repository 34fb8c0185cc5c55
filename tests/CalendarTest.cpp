#include "platform/Calendar.h"
#include "platform/CurrentCalendar.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

TEST(CurrentCalendar, LocaleComesFromTheDateLocaleOfTheEnvironment)
{
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("th_TH.UTF-8"), "th_TH");
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("he_IL.UTF-8@calendar=hebrew"),
              "he_IL@calendar=hebrew");
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("de_DE@euro"), "de_DE");
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("C.UTF-8"), "en_US_POSIX");
    EXPECT_EQ(CurrentCalendar::localeIdFromPosix("POSIX"), "en_US_POSIX");

    ScopedEnv lang("LANG", "fa_IR.UTF-8");
    ScopedEnv time("LC_TIME", "th_TH.UTF-8");
    {
        ScopedEnv all("LC_ALL", "");
        EXPECT_EQ(CurrentCalendar::userLocaleId(), "th_TH"); // an empty LC_ALL does not count
    }
    ScopedEnv all("LC_ALL", "he_IL.UTF-8@calendar=hebrew");
    EXPECT_EQ(CurrentCalendar::userLocaleId(), "he_IL@calendar=hebrew");
    EXPECT_EQ(CurrentCalendar().calendar().calendarType(), "hebrew");
}

TEST(CurrentCalendar, ZoneComesFromTzAndFollowsItsChanges)
{
    CurrentCalendar current;
    {
        ScopedEnv tz("TZ", "America/New_York");
        EXPECT_EQ(current.calendar().timeZoneId(), "America/New_York");
    }
    {
        ScopedEnv tz("TZ", ":/usr/share/zoneinfo/Asia/Tokyo");
        EXPECT_EQ(current.calendar().timeZoneId(), "Asia/Tokyo");
    }
    {
        ScopedEnv tz("TZ", "");
        EXPECT_EQ(current.calendar().timeZoneId(), "Etc/UTC");
    }
    {
        // An id ICU does not know falls back to the system's zone, never to a made-up one.
        ScopedEnv tz("TZ", "Not/AZone");
        ::unsetenv("TZ");
        const std::string system = CurrentCalendar::systemTimeZoneId();
        ::setenv("TZ", "Not/AZone", 1);
        EXPECT_EQ(CurrentCalendar::systemTimeZoneId(), system);
    }
}

TEST(Calendar, StartOfDayIsTheFirstMomentOfTheLocalDate)
{
    const Calendar newYork("en_US", "America/New_York");
    // 2026-03-08 starts at 00:00 EST (05:00 UTC) although the day has only 23 hours.
    EXPECT_EQ(newYork.startOfDay(utc(2026, 3, 8, 16)), utc(2026, 3, 8, 5));
    EXPECT_EQ(newYork.adding(Calendar::Unit::Day, 1, utc(2026, 3, 8, 5)), utc(2026, 3, 9, 4));

    // Sao Paulo skipped midnight on 2018-11-04: the day began at 01:00 -02, 03:00 UTC.
    const Calendar saoPaulo("pt_BR", "America/Sao_Paulo");
    EXPECT_EQ(saoPaulo.startOfDay(utc(2018, 11, 4, 15)), utc(2018, 11, 4, 3));
    EXPECT_EQ(saoPaulo.adding(Calendar::Unit::Day, 1, utc(2018, 11, 3, 3)), utc(2018, 11, 4, 3));

    // Havana repeats the first hour of 2026-11-01: the day starts at the first midnight.
    const Calendar havana("es_CU", "America/Havana");
    EXPECT_EQ(havana.startOfDay(utc(2026, 11, 1, 12)), utc(2026, 11, 1, 4));
}

TEST(Calendar, ComponentsRoundTripToTheFirstMomentOfMonthAndYear)
{
    const Calendar tokyo("ja_JP", "Asia/Tokyo");
    const auto month = tokyo.yearMonth(utc(2026, 7, 14, 3));
    ASSERT_TRUE(month);
    EXPECT_EQ(month->year, 2026);
    EXPECT_EQ(month->month, 6); // zero-based
    EXPECT_EQ(tokyo.date(month->year, month), utc(2026, 6, 30, 15));
    EXPECT_EQ(tokyo.date(month->year), utc(2025, 12, 31, 15));
    EXPECT_EQ(tokyo.weekday(utc(2026, 7, 14, 3)), 3); // a Tuesday

    Calendar copy = tokyo;
    copy.setFirstWeekday(7);
    EXPECT_EQ(copy.firstWeekday(), 7);
    EXPECT_NE(tokyo.firstWeekday(), 7) << "a copy must not share its settings";
    copy.setFirstWeekday(9);
    EXPECT_EQ(copy.firstWeekday(), 7) << "out-of-range weekdays are ignored";
}

TEST(Calendar, AddingMonthsPinsTheDayInsteadOfWrapping)
{
    const Calendar utcCalendar("en_US", "Etc/UTC");
    EXPECT_EQ(utcCalendar.adding(Calendar::Unit::Month, 1, utc(2026, 1, 31, 10)),
              utc(2026, 2, 28, 10));
    EXPECT_EQ(utcCalendar.adding(Calendar::Unit::Year, 1, utc(2024, 2, 29)), utc(2025, 2, 28));
    EXPECT_EQ(utcCalendar.adding(Calendar::Unit::Day, -3, utc(2026, 3, 2)), utc(2026, 2, 27));
}
