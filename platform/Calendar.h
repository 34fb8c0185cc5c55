#pragma once

#include <memory>
#include <optional>
#include <string>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

// A calendar value: calendar system, time zone, locale and first weekday, as the user has them.
// Instants are seconds since the Unix epoch, as doubles. Copies are independent.
class Calendar
{
public:
    enum class Unit
    {
        Day,
        Month,
        Year
    };

    // The year and month of a local date, in the calendar's own system: the year runs on across
    // eras (ICU's extended year), the month counts from 0, and `leapMonth` marks the inserted
    // months of lunisolar calendars whose month numbers repeat.
    struct YearMonth
    {
        int year = 0;
        int month = 0;
        bool leapMonth = false;
    };

    // `localeId` is an ICU locale id (for example "fa_IR" or "he_IL@calendar=hebrew"),
    // `zoneId` an Olson zone id. An unknown zone falls back to UTC.
    Calendar(const std::string& localeId, const std::string& zoneId);
    Calendar(const Calendar& other);
    Calendar& operator=(const Calendar& other);
    Calendar(Calendar&&) noexcept;
    Calendar& operator=(Calendar&&) noexcept;
    ~Calendar();

    // False where ICU could not build the calendar; every operation then yields no instant.
    bool isValid() const { return m_calendar != nullptr; }

    // 1 = Sunday ... 7 = Saturday.
    int firstWeekday() const;
    void setFirstWeekday(int weekday);

    std::string calendarType() const;
    std::string timeZoneId() const;

    std::optional<double> startOfDay(double instant) const;
    // Whole units later (or earlier for negative values), keeping the local clock time where it
    // exists and carrying into larger units; no instant where the calendar cannot form one.
    std::optional<double> adding(Unit unit, int value, double instant) const;
    // 1 = Sunday ... 7 = Saturday, of the instant's local date; 0 where it cannot be told.
    int weekday(double instant) const;
    std::optional<YearMonth> yearMonth(double instant) const;
    // First instant of day 1 of the given month; without a month, of the year's first month.
    std::optional<double> date(int year, std::optional<YearMonth> month = std::nullopt) const;

    static double interval(double later, double earlier) { return later - earlier; }

private:
    std::unique_ptr<icu::Calendar> m_calendar;
};
