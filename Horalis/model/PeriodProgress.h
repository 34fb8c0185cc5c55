#pragma once

#include "Horalis/Settings/WeekStart.h"
#include "platform/time/Calendar.h"

// Elapsed shares of the local day, week, month and year that contain an instant, each in
// 0.0 ... 1.0; 0.0 where the calendar cannot form a period's bounds. Periods are measured as
// they are: a 23-hour day, a 29-day month and a 13-month year count their real length.

// A copy of `calendar` whose weeks start on `weekStart`.
Calendar preparedCalendar(Calendar calendar, WeekStart weekStart);

// The first moment of the local day that contains `now` and the first moment of the next one,
// so a day that began after a skipped midnight counts its real 23 hours, and a date a zone
// lived twice its real 48.
struct Period
{
    double start = 0;
    double end = 0;
};
std::optional<Period> currentDay(double now, const Calendar& calendar);

double calculateDayProgress(double now, const Calendar& calendar);
double calculateWeekProgress(double now, const Calendar& calendar);
double calculateMonthProgress(double now, const Calendar& calendar);
double calculateYearProgress(double now, const Calendar& calendar);
