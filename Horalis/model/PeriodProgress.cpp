#include "Horalis/model/PeriodProgress.h"

#include "Horalis/Settings/WeekStart.h"

#include <cmath>

namespace {

using Unit = Calendar::Unit;

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

// The first moment of the local date `count` units after `start`. Adding keeps the clock time
// of `start`, which is not midnight where the day began after a skipped midnight.
std::optional<double> firstMomentAfter(const Calendar& calendar, Unit unit, int count, double start)
{
    const auto later = calendar.adding(unit, count, start);
    return later ? calendar.startOfDay(*later) : std::nullopt;
}

std::optional<Period> periodFrom(const Calendar& calendar, Unit unit, int length,
                                 std::optional<double> start)
{
    if (!start)
        return std::nullopt;
    const auto end = firstMomentAfter(calendar, unit, length, *start);
    if (!end)
        return std::nullopt;
    return Period{*start, *end};
}

} // namespace

int firstWeekdayNumber(const QString& weekStartText)
{
    const auto day = WeekStart::fromRawValue(weekStartText);
    return day ? static_cast<int>(day->value()) + 1 : 2;
}

Calendar preparedCalendar(Calendar calendar, const QString& weekStartText)
{
    calendar.setFirstWeekday(firstWeekdayNumber(weekStartText));
    return calendar;
}

std::optional<Period> currentDay(double now, const Calendar& calendar)
{
    return periodFrom(calendar, Unit::Day, 1, calendar.startOfDay(now));
}

double calculateDayProgress(double now, const Calendar& calendar)
{
    return elapsedShare(now, currentDay(now, calendar));
}

double calculateWeekProgress(double now, const Calendar& calendar)
{
    const int weekday = calendar.weekday(now);
    const auto today = calendar.startOfDay(now);
    if (weekday == 0 || !today)
        return 0.0;
    const int daysSinceWeekStart = (weekday - calendar.firstWeekday() + 7) % 7;
    const auto start = firstMomentAfter(calendar, Unit::Day, -daysSinceWeekStart, *today);
    return elapsedShare(now, periodFrom(calendar, Unit::Day, 7, start));
}

double calculateMonthProgress(double now, const Calendar& calendar)
{
    const auto month = calendar.yearMonth(now);
    if (!month)
        return 0.0;
    return elapsedShare(now,
                        periodFrom(calendar, Unit::Month, 1, calendar.date(month->year, month)));
}

double calculateYearProgress(double now, const Calendar& calendar)
{
    const auto month = calendar.yearMonth(now);
    if (!month)
        return 0.0;
    return elapsedShare(now, periodFrom(calendar, Unit::Year, 1, calendar.date(month->year)));
}
