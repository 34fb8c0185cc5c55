#include "platform/time/Calendar.h"

#include "platform/time/CivilDays.h"
#include "platform/time/SystemTimeZone.h"

#include <cmath>

#include <unicode/calendar.h>
#include <unicode/simpletz.h>

namespace {

using CivilDays::kSecondsPerDay;

// About ±300,000 years: far beyond any clock, and every day number in it fits ICU's range.
constexpr double kMaxInstant = 1e13;
constexpr int64_t kMaxDay = static_cast<int64_t>(kMaxInstant) / kSecondsPerDay;

} // namespace

Calendar::Calendar(const std::string& localeId, std::shared_ptr<const ZoneRules> zone)
    : m_zone(zone ? std::move(zone) : ZoneRules::utc())
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(new icu::SimpleTimeZone(0, icu::UnicodeString(u"UTC")),
                                      icu::Locale(localeId.c_str()), status));
    if (U_FAILURE(status) || !calendar)
        return;
    calendar->setLenient(true);
    m_firstWeekday = static_cast<int>(calendar->getFirstDayOfWeek());
    m_calendar = std::move(calendar);
}

Calendar::Calendar(const std::string& localeId, const std::string& tz)
    : Calendar(localeId, SystemTimeZone::load(tz))
{}

Calendar::Calendar(const Calendar& other)
    : m_zone(other.m_zone), m_calendar(other.m_calendar ? other.m_calendar->clone() : nullptr),
      m_firstWeekday(other.m_firstWeekday)
{}

Calendar& Calendar::operator=(const Calendar& other)
{
    if (this != &other) {
        m_zone = other.m_zone;
        m_calendar.reset(other.m_calendar ? other.m_calendar->clone() : nullptr);
        m_firstWeekday = other.m_firstWeekday;
    }
    return *this;
}

Calendar::Calendar(Calendar&&) noexcept = default;
Calendar& Calendar::operator=(Calendar&&) noexcept = default;
Calendar::~Calendar() = default;

void Calendar::setFirstWeekday(int weekday)
{
    if (weekday >= 1 && weekday <= 7)
        m_firstWeekday = weekday;
}

std::optional<int64_t> Calendar::localDay(double instant) const
{
    if (!std::isfinite(instant) || std::fabs(instant) > kMaxInstant)
        return std::nullopt;
    const auto second = static_cast<int64_t>(std::floor(instant));
    return CivilDays::floorDiv(second + m_zone->offsetAt(second), kSecondsPerDay);
}

std::optional<double> Calendar::startOfLocalDay(int64_t day) const
{
    if (day < -kMaxDay || day > kMaxDay)
        return std::nullopt;
    return static_cast<double>(m_zone->firstMomentOf(day * kSecondsPerDay));
}

int Calendar::weekday(double instant) const
{
    const auto day = localDay(instant);
    return day ? CivilDays::weekdayOf(*day) + 1 : 0;
}

std::optional<Calendar::DaySpan> Calendar::spanOf(Unit unit, int64_t day) const
{
    if (!m_calendar || day < -kMaxDay || day > kMaxDay)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    // In UTC, the local date's midnight as an instant names that same date.
    m_calendar->setTime(static_cast<UDate>(day * kSecondsPerDay) * 1000.0, status);
    const UCalendarDateFields field = unit == Unit::Month ? UCAL_DAY_OF_MONTH : UCAL_DAY_OF_YEAR;
    const int index = m_calendar->get(field, status);
    const int days = m_calendar->getActualMaximum(field, status);
    if (U_FAILURE(status) || index < 1 || days < index)
        return std::nullopt;
    return DaySpan{day - (index - 1), days};
}
