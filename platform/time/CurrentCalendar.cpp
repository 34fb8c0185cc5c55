#include "platform/time/CurrentCalendar.h"

#include <cstdlib>

std::string CurrentCalendar::localeIdFromPosix(const std::string& posixName)
{
    std::string name = posixName;
    std::string keywords;
    if (const auto at = name.find('@'); at != std::string::npos) {
        // "@calendar=hebrew" is ICU's keyword syntax; a POSIX modifier such as "@euro" is not.
        const std::string modifier = name.substr(at + 1);
        if (modifier.find('=') != std::string::npos)
            keywords = "@" + modifier;
        name.erase(at);
    }
    if (const auto dot = name.find('.'); dot != std::string::npos)
        name.erase(dot);
    if (name.empty() || name == "C" || name == "POSIX")
        name = "en_US_POSIX";
    return name + keywords;
}

std::string CurrentCalendar::userLocaleId()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return localeIdFromPosix(value);
    }
    return localeIdFromPosix("C");
}

Calendar CurrentCalendar::calendar()
{
    std::string localeId = userLocaleId();
    auto zone = m_systemZone.current();
    if (!m_prototype || localeId != m_localeId || zone != m_zone) {
        m_prototype.emplace(localeId, zone);
        m_localeId = std::move(localeId);
        m_zone = std::move(zone);
    }
    return *m_prototype;
}
