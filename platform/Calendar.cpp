#include "platform/Calendar.h"

#include <unicode/calendar.h>
#include <unicode/timezone.h>

namespace {

constexpr double kMillisPerSecond = 1000.0;

// Skipped local times resolve to the first valid moment after the gap, and repeated local times
// to their first occurrence, so "midnight" always names the first moment of a local date.
void useFirstMomentRules(icu::Calendar& calendar)
{
    calendar.setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
    calendar.setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    calendar.setLenient(true);
}

std::optional<double> timeOf(icu::Calendar& calendar)
{
    UErrorCode status = U_ZERO_ERROR;
    const UDate millis = calendar.getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return millis / kMillisPerSecond;
}

bool setInstant(icu::Calendar& calendar, double instant)
{
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(instant * kMillisPerSecond, status);
    // Reading a field forces ICU to compute them all, which reports an out-of-range instant.
    calendar.get(UCAL_EXTENDED_YEAR, status);
    return U_SUCCESS(status);
}

} // namespace

Calendar::Calendar(const std::string& localeId, const std::string& zoneId)
{
    std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zoneId)));
    icu::UnicodeString resolvedId;
    icu::UnicodeString unknownId;
    zone->getID(resolvedId);
    icu::TimeZone::getUnknown().getID(unknownId);
    if (resolvedId == unknownId)
        zone.reset(icu::TimeZone::createTimeZone(icu::UnicodeString(u"Etc/UTC")));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(zone.release(), icu::Locale(localeId.c_str()), status));
    if (U_FAILURE(status) || !calendar)
        return;
    useFirstMomentRules(*calendar);
    m_calendar = std::move(calendar);
}

Calendar::Calendar(const Calendar& other)
    : m_calendar(other.m_calendar ? other.m_calendar->clone() : nullptr)
{}

Calendar& Calendar::operator=(const Calendar& other)
{
    if (this != &other)
        m_calendar.reset(other.m_calendar ? other.m_calendar->clone() : nullptr);
    return *this;
}

Calendar::Calendar(Calendar&&) noexcept = default;
Calendar& Calendar::operator=(Calendar&&) noexcept = default;
Calendar::~Calendar() = default;

int Calendar::firstWeekday() const
{
    return m_calendar ? static_cast<int>(m_calendar->getFirstDayOfWeek()) : 1;
}

void Calendar::setFirstWeekday(int weekday)
{
    if (m_calendar && weekday >= 1 && weekday <= 7)
        m_calendar->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(weekday));
}

std::string Calendar::calendarType() const
{
    return m_calendar ? m_calendar->getType() : std::string();
}

std::string Calendar::timeZoneId() const
{
    if (!m_calendar)
        return {};
    icu::UnicodeString id;
    m_calendar->getTimeZone().getID(id);
    std::string utf8;
    id.toUTF8String(utf8);
    return utf8;
}

std::optional<double> Calendar::startOfDay(double instant) const
{
    if (!m_calendar || !setInstant(*m_calendar, instant))
        return std::nullopt;
    m_calendar->set(UCAL_HOUR_OF_DAY, 0);
    m_calendar->set(UCAL_MINUTE, 0);
    m_calendar->set(UCAL_SECOND, 0);
    m_calendar->set(UCAL_MILLISECOND, 0);
    return timeOf(*m_calendar);
}

std::optional<double> Calendar::adding(Unit unit, int value, double instant) const
{
    if (!m_calendar || !setInstant(*m_calendar, instant))
        return std::nullopt;
    UCalendarDateFields field = UCAL_DATE;
    switch (unit) {
    case Unit::Day:
        field = UCAL_DATE;
        break;
    case Unit::Month:
        field = UCAL_MONTH;
        break;
    case Unit::Year:
        // The extended year runs on across eras, where the era year would restart.
        field = UCAL_EXTENDED_YEAR;
        break;
    }
    UErrorCode status = U_ZERO_ERROR;
    m_calendar->add(field, value, status);
    if (U_FAILURE(status))
        return std::nullopt;
    return timeOf(*m_calendar);
}

int Calendar::weekday(double instant) const
{
    if (!m_calendar || !setInstant(*m_calendar, instant))
        return 0;
    UErrorCode status = U_ZERO_ERROR;
    const int day = m_calendar->get(UCAL_DAY_OF_WEEK, status);
    return U_SUCCESS(status) ? day : 0;
}

std::optional<Calendar::YearMonth> Calendar::yearMonth(double instant) const
{
    if (!m_calendar || !setInstant(*m_calendar, instant))
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    YearMonth result;
    result.year = m_calendar->get(UCAL_EXTENDED_YEAR, status);
    result.month = m_calendar->get(UCAL_MONTH, status);
    result.leapMonth = m_calendar->get(UCAL_IS_LEAP_MONTH, status) != 0;
    if (U_FAILURE(status))
        return std::nullopt;
    return result;
}

std::optional<double> Calendar::date(int year, std::optional<YearMonth> month) const
{
    if (!m_calendar)
        return std::nullopt;
    m_calendar->clear();
    m_calendar->set(UCAL_EXTENDED_YEAR, year);
    m_calendar->set(UCAL_MONTH, month ? month->month : 0);
    m_calendar->set(UCAL_IS_LEAP_MONTH, month && month->leapMonth ? 1 : 0);
    m_calendar->set(UCAL_DATE, 1);
    return timeOf(*m_calendar);
}
