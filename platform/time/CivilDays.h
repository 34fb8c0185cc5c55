#pragma once

#include <cstdint>

// Proleptic Gregorian dates as day numbers: day 0 is 1970-01-01. The arithmetic is exact for
// every date an int64_t can count (Howard Hinnant's days_from_civil and civil_from_days).
namespace CivilDays {

constexpr int64_t kSecondsPerDay = 86400;

constexpr int64_t floorDiv(int64_t value, int64_t divisor)
{
    const int64_t quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

constexpr bool isLeapYear(int64_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

constexpr int daysInMonth(int64_t year, int month)
{
    constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kLengths[month - 1];
}

// `month` 1 ... 12, `day` 1 ... 31.
constexpr int64_t fromCivil(int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int64_t era = floorDiv(year, 400);
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

constexpr int64_t yearOf(int64_t dayNumber)
{
    dayNumber += 719468;
    const int64_t era = floorDiv(dayNumber, 146097);
    const int64_t dayOfEra = dayNumber - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    return yearOfEra + era * 400 + (shiftedMonth >= 10 ? 1 : 0);
}

// 0 = Sunday ... 6 = Saturday.
constexpr int weekdayOf(int64_t dayNumber)
{
    return static_cast<int>(dayNumber - floorDiv(dayNumber + 4, 7) * 7 + 4);
}

} // namespace CivilDays
