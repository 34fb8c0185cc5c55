#include "platform/time/PosixTimeZoneRule.h"

#include "platform/time/CivilDays.h"

#include <algorithm>
#include <cctype>

namespace {

using CivilDays::kSecondsPerDay;

bool consume(std::string_view& text, char c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

// Up to `maxDigits` decimal digits, at least one.
bool parseNumber(std::string_view& text, int maxDigits, int& value)
{
    int digits = 0;
    value = 0;
    while (!text.empty() && std::isdigit(static_cast<unsigned char>(text.front())) &&
           digits < maxDigits) {
        value = value * 10 + (text.front() - '0');
        text.remove_prefix(1);
        ++digits;
    }
    return digits > 0;
}

// "EST", or "<+0330>": three or more letters, or in angle brackets also digits and signs.
bool parseName(std::string_view& text)
{
    size_t length = 0;
    if (consume(text, '<')) {
        while (length < text.size() && text[length] != '>') {
            const unsigned char c = static_cast<unsigned char>(text[length]);
            if (!std::isalnum(c) && c != '+' && c != '-')
                return false;
            ++length;
        }
        if (length < 3 || length == text.size())
            return false;
        text.remove_prefix(length + 1);
        return true;
    }
    while (length < text.size() && std::isalpha(static_cast<unsigned char>(text[length])))
        ++length;
    if (length < 3)
        return false;
    text.remove_prefix(length);
    return true;
}

// [+-]hh[:mm[:ss]] in seconds; offsets allow hours up to 24, the times of a change up to 167.
bool parseDuration(std::string_view& text, int maxHours, int32_t& seconds)
{
    int sign = 1;
    if (consume(text, '-'))
        sign = -1;
    else
        consume(text, '+');
    int hours = 0, minutes = 0, secs = 0;
    if (!parseNumber(text, 3, hours) || hours > maxHours)
        return false;
    if (consume(text, ':')) {
        if (!parseNumber(text, 2, minutes) || minutes > 59)
            return false;
        if (consume(text, ':') && (!parseNumber(text, 2, secs) || secs > 59))
            return false;
    }
    seconds = sign * (hours * 3600 + minutes * 60 + secs);
    return true;
}

} // namespace

bool PosixTimeZoneRule::parseChangeDay(std::string_view& text, ChangeDay& change)
{
    using Kind = ChangeDay::Kind;
    if (consume(text, 'M')) {
        change.kind = Kind::MonthWeekDay;
        if (!parseNumber(text, 2, change.month) || change.month < 1 || change.month > 12 ||
            !consume(text, '.') || !parseNumber(text, 1, change.week) || change.week < 1 ||
            change.week > 5 || !consume(text, '.') || !parseNumber(text, 1, change.day) ||
            change.day > 6)
            return false;
    } else if (consume(text, 'J')) {
        change.kind = Kind::JulianNoLeap;
        if (!parseNumber(text, 3, change.day) || change.day < 1 || change.day > 365)
            return false;
    } else {
        change.kind = Kind::ZeroBased;
        if (!parseNumber(text, 3, change.day) || change.day > 365)
            return false;
    }
    change.secondsIntoDay = 7200;
    return !consume(text, '/') || parseDuration(text, 167, change.secondsIntoDay);
}

std::optional<PosixTimeZoneRule> PosixTimeZoneRule::parse(std::string_view text)
{
    PosixTimeZoneRule rule;
    int32_t west = 0;
    if (!parseName(text) || !parseDuration(text, 24, west))
        return std::nullopt;
    rule.m_standardOffset = -west;
    if (text.empty())
        return rule;

    if (!parseName(text))
        return std::nullopt;
    rule.m_hasDaylightTime = true;
    rule.m_daylightOffset = rule.m_standardOffset + 3600;
    if (!text.empty() && text.front() != ',') {
        if (!parseDuration(text, 24, west))
            return std::nullopt;
        rule.m_daylightOffset = -west;
    }
    if (text.empty()) {
        std::string_view usRules = ",M3.2.0,M11.1.0";
        text = usRules;
        rule.m_defaultDates = true;
    }
    if (!consume(text, ',') || !parseChangeDay(text, rule.m_start) || !consume(text, ',') ||
        !parseChangeDay(text, rule.m_end) || !text.empty())
        return std::nullopt;
    return rule;
}

int64_t PosixTimeZoneRule::dayOfChange(const ChangeDay& change, int year)
{
    using namespace CivilDays;
    const int64_t newYear = fromCivil(year, 1, 1);
    switch (change.kind) {
    case ChangeDay::Kind::JulianNoLeap:
        return newYear + change.day - 1 + (isLeapYear(year) && change.day >= 60 ? 1 : 0);
    case ChangeDay::Kind::ZeroBased:
        return newYear + change.day;
    case ChangeDay::Kind::MonthWeekDay:
        break;
    }
    const int64_t first = fromCivil(year, change.month, 1);
    const int firstWanted = 1 + (change.day - weekdayOf(first) + 7) % 7;
    int dayOfMonth = firstWanted + 7 * (change.week - 1);
    while (dayOfMonth > daysInMonth(year, change.month))
        dayOfMonth -= 7;
    return first + dayOfMonth - 1;
}

int64_t PosixTimeZoneRule::changeInstant(const ChangeDay& change, int year,
                                         int32_t offsetBefore) const
{
    // The time of a change is local time as it was just before the change.
    return dayOfChange(change, year) * kSecondsPerDay + change.secondsIntoDay - offsetBefore;
}

namespace {
int utcYearOf(int64_t instant)
{
    return static_cast<int>(CivilDays::yearOf(CivilDays::floorDiv(instant, kSecondsPerDay)));
}

int64_t newYearInstant(int year)
{
    return CivilDays::fromCivil(year, 1, 1) * kSecondsPerDay;
}
} // namespace

int32_t PosixTimeZoneRule::offsetAt(int64_t instant) const
{
    if (!m_hasDaylightTime)
        return m_standardOffset;
    // As the C library reads a rule: both changes are those of the instant's UTC year. Where
    // the end comes before the start, daylight time spans the new year (the southern
    // hemisphere); where they coincide there is none.
    const int year = utcYearOf(instant);
    const int64_t start = changeInstant(m_start, year, m_standardOffset);
    const int64_t end = changeInstant(m_end, year, m_daylightOffset);
    const bool daylight =
        start > end ? instant < end || instant >= start : instant >= start && instant < end;
    return daylight ? m_daylightOffset : m_standardOffset;
}

std::optional<int64_t> PosixTimeZoneRule::nextChangeAfter(int64_t instant) const
{
    if (!m_hasDaylightTime || m_standardOffset == m_daylightOffset)
        return std::nullopt;
    // Within a UTC year the offset can change only at that year's two changes; and since each
    // year is read on its own, it can change at the new year too, where a change falls on
    // the other side of it (a rule that ends daylight time in the first hours of January).
    constexpr int kYearsAhead = 8;
    const int first = utcYearOf(instant);
    for (int year = first; year <= first + kYearsAhead; ++year) {
        const int64_t yearStart = newYearInstant(year);
        const int64_t yearEnd = newYearInstant(year + 1);
        std::optional<int64_t> next;
        for (const int64_t candidate : {changeInstant(m_start, year, m_standardOffset),
                                        changeInstant(m_end, year, m_daylightOffset), yearEnd}) {
            if (candidate > instant && candidate >= yearStart && candidate <= yearEnd &&
                (!next || candidate < *next) && offsetAt(candidate) != offsetAt(candidate - 1))
                next = candidate;
        }
        if (next)
            return next;
    }
    return std::nullopt;
}
