#pragma once

#include "platform/time/ZoneRules.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

// A calendar value: calendar system, time zone, locale and first weekday, as the user has them.
// Instants are seconds since the Unix epoch, as doubles; local dates are day numbers, day 0
// being 1970-01-01. The zone turns instants into local dates and back; ICU only names the
// dates, in the calendar system (which month and year a day is in, and how long they are).
// Copies are independent.
class Calendar
{
public:
    enum class Unit
    {
        Month,
        Year
    };

    // The days of one month or year: the first day's number and how many days it has.
    struct DaySpan
    {
        int64_t firstDay = 0;
        int days = 0;
    };

    // `localeId` is an ICU locale id (for example "fa_IR" or "he_IL@calendar=hebrew").
    Calendar(const std::string& localeId, std::shared_ptr<const ZoneRules> zone);
    // `tz` is read as the TZ variable would be ("Europe/Paris", a path or a POSIX rule).
    Calendar(const std::string& localeId, const std::string& tz);
    Calendar(const Calendar& other);
    Calendar& operator=(const Calendar& other);
    Calendar(Calendar&&) noexcept;
    Calendar& operator=(Calendar&&) noexcept;
    ~Calendar();

    // 1 = Sunday ... 7 = Saturday.
    int firstWeekday() const { return m_firstWeekday; }
    void setFirstWeekday(int weekday);

    // The local date of an instant; none for an instant no calendar can name.
    std::optional<int64_t> localDay(double instant) const;
    // The first moment of a local date: its midnight, or the end of a gap that swallowed it.
    // For a date the zone skipped altogether, the first moment of the date after it.
    std::optional<double> startOfLocalDay(int64_t day) const;
    // 1 = Sunday ... 7 = Saturday, of the instant's local date; 0 where it cannot be told.
    int weekday(double instant) const;
    // The month or year, in the calendar's system, that holds the local date.
    std::optional<DaySpan> spanOf(Unit unit, int64_t day) const;

    static double interval(double later, double earlier) { return later - earlier; }

private:
    std::shared_ptr<const ZoneRules> m_zone;
    std::unique_ptr<icu::Calendar> m_calendar; // kept in UTC: it only ever sees local dates
    int m_firstWeekday = 1;
};
