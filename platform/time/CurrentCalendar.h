#pragma once

#include "platform/time/Calendar.h"
#include "platform/time/SystemTimeZone.h"

#include <optional>
#include <string>

// The user's current calendar: the calendar system of the locale set for dates and the system
// time zone, both looked up afresh on every call so that a change shows without a restart.
// Building an ICU calendar is costly, so the last one built is kept and copied while the
// locale and the zone stay the same.
class CurrentCalendar
{
public:
    Calendar calendar();

    // LC_ALL, then LC_TIME, then LANG, as an ICU locale id ("th_TH.UTF-8" gives "th_TH",
    // "he_IL.UTF-8@calendar=hebrew" keeps the keyword, "C" gives "en_US_POSIX").
    static std::string userLocaleId();
    // The ICU locale id for a POSIX locale name.
    static std::string localeIdFromPosix(const std::string& posixName);

private:
    SystemTimeZone m_systemZone;
    std::string m_localeId;
    std::shared_ptr<const ZoneRules> m_zone;
    std::optional<Calendar> m_prototype;
};
