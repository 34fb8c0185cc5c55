#include "Horalis/model/PeriodProgress.h"

#include <cmath>

namespace {

double elapsedShare(double now, std::optional<Period> period)
{
    if (!period)
        return 0.0;
    const double f =
        Calendar::interval(now, period->start) / Calendar::interval(period->end, period->start);
    // A zero-length period from a broken calendar gives no number: count it as not begun.
    if (!std::isfinite(f) || f <= 0.0)
        return 0.0;
    return f > 1.0 ? 1.0 : f;
}

// From the first moment of local date `first` to the first moment of the date `days` later.
// Counting local dates, not 24-hour steps, keeps a period right where a zone skipped or
// repeated a date, and makes each period end where the next one of its kind begins.
std::optional<Period> daysFrom(const Calendar& calendar, int64_t first, int64_t days)
{
    const auto start = calendar.startOfLocalDay(first);
    const auto end = calendar.startOfLocalDay(first + days);
    if (!start || !end)
        return std::nullopt;
    return Period{*start, *end};
}

std::optional<Period> currentSpan(double now, const Calendar& calendar, Calendar::Unit unit)
{
    const auto today = calendar.localDay(now);
    const auto span = today ? calendar.spanOf(unit, *today) : std::nullopt;
    return span ? daysFrom(calendar, span->firstDay, span->days) : std::nullopt;
}

} // namespace

Calendar preparedCalendar(Calendar calendar, WeekStart weekStart)
{
    // The calendar numbers the days from Sunday = 1, as WeekStart orders them.
    calendar.setFirstWeekday(static_cast<int>(weekStart.value()) + 1);
    return calendar;
}

std::optional<Period> currentDay(double now, const Calendar& calendar)
{
    const auto today = calendar.localDay(now);
    return today ? daysFrom(calendar, *today, 1) : std::nullopt;
}

double calculateDayProgress(double now, const Calendar& calendar)
{
    return elapsedShare(now, currentDay(now, calendar));
}

double calculateWeekProgress(double now, const Calendar& calendar)
{
    const int weekday = calendar.weekday(now);
    const auto today = calendar.localDay(now);
    if (weekday == 0 || !today)
        return 0.0;
    const int daysSinceWeekStart = (weekday - calendar.firstWeekday() + 7) % 7;
    return elapsedShare(now, daysFrom(calendar, *today - daysSinceWeekStart, 7));
}

double calculateMonthProgress(double now, const Calendar& calendar)
{
    return elapsedShare(now, currentSpan(now, calendar, Calendar::Unit::Month));
}

double calculateYearProgress(double now, const Calendar& calendar)
{
    return elapsedShare(now, currentSpan(now, calendar, Calendar::Unit::Year));
}
