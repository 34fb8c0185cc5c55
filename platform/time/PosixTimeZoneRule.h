#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A time zone rule as POSIX writes it in TZ and as the footer of a TZif file carries it:
// "JST-9", "<+0330>-3:30", "CET-1CEST,M3.5.0,M10.5.0/3". Offsets here are seconds east of UTC
// (POSIX writes them west), instants are seconds since the Unix epoch.
class PosixTimeZoneRule
{
public:
    // None where the text is not a rule; a rule naming daylight time without saying when it
    // applies gets the US rules, as the C library gives it.
    static std::optional<PosixTimeZoneRule> parse(std::string_view text);

    int32_t offsetAt(int64_t instant) const;
    // The first change of offset strictly after `instant`; none for a rule without one.
    std::optional<int64_t> nextChangeAfter(int64_t instant) const;

    int32_t standardOffset() const { return m_standardOffset; }
    // A rule that names daylight time but not when it applies ("EST5EDT"): the C library then
    // takes the dates from a "posixrules" file, if the system has one.
    bool hasDefaultDates() const { return m_defaultDates; }

private:
    // One of the three ways POSIX names the day of a change.
    struct ChangeDay
    {
        enum class Kind
        {
            JulianNoLeap, // Jn: 1 ... 365, 29 February never counted
            ZeroBased,    // n: 0 ... 365, 29 February counted
            MonthWeekDay  // Mm.w.d: day d (0 = Sunday) of week w (5 = last) of month m
        };
        Kind kind = Kind::MonthWeekDay;
        int day = 0;
        int month = 0;
        int week = 0;
        int32_t secondsIntoDay = 7200; // may be negative or past 24 h
    };

    // When daylight time begins and ends in a year, as instants; the year is that of the
    // instant in UTC, as the C library takes it.
    int64_t changeInstant(const ChangeDay& change, int year, int32_t offsetBefore) const;
    static int64_t dayOfChange(const ChangeDay& change, int year);
    static bool parseChangeDay(std::string_view& text, ChangeDay& change);

    int32_t m_standardOffset = 0;
    int32_t m_daylightOffset = 0;
    bool m_hasDaylightTime = false;
    bool m_defaultDates = false;
    ChangeDay m_start;
    ChangeDay m_end;
};
