#include "platform/CurrentCalendar.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include <unicode/timezone.h>

namespace {

std::string zoneFromPath(std::string path)
{
    const std::string marker = "zoneinfo/";
    const auto at = path.rfind(marker);
    if (at == std::string::npos)
        return {};
    path.erase(0, at + marker.size());
    // posix/ and right/ hold the same zones with other leap-second handling.
    for (const char* prefix : {"posix/", "right/"}) {
        if (path.rfind(prefix, 0) == 0)
            path.erase(0, std::char_traits<char>::length(prefix));
    }
    return path;
}

bool isKnownZone(const std::string& id)
{
    if (id.empty())
        return false;
    icu::UnicodeString canonical;
    UBool isSystemId = false;
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone::getCanonicalID(icu::UnicodeString::fromUTF8(id), canonical, isSystemId, status);
    return U_SUCCESS(status) && isSystemId;
}

std::string zoneFromLocaltimeLink()
{
    char target[4096];
    const ssize_t length = ::readlink("/etc/localtime", target, sizeof target - 1);
    if (length <= 0)
        return {};
    return zoneFromPath(std::string(target, static_cast<size_t>(length)));
}

std::string zoneFromTimezoneFile()
{
    std::ifstream file("/etc/timezone");
    std::string line;
    std::getline(file, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}

} // namespace

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

std::string CurrentCalendar::systemTimeZoneId()
{
    if (const char* tz = std::getenv("TZ")) {
        std::string id = tz;
        if (!id.empty() && id.front() == ':')
            id.erase(0, 1);
        if (id.empty())
            return "Etc/UTC"; // an empty TZ means UTC to the C library
        if (id.front() == '/')
            id = zoneFromPath(id);
        if (isKnownZone(id))
            return id;
    }
    if (std::string id = zoneFromLocaltimeLink(); isKnownZone(id))
        return id;
    if (std::string id = zoneFromTimezoneFile(); isKnownZone(id))
        return id;
    // Last resort: ICU's own host detection, which compares zone files and caches its answer.
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString hostId;
    host->getID(hostId);
    std::string utf8;
    hostId.toUTF8String(utf8);
    return isKnownZone(utf8) ? utf8 : "Etc/UTC";
}

Calendar CurrentCalendar::calendar()
{
    std::string localeId = userLocaleId();
    std::string zoneId = systemTimeZoneId();
    if (!m_prototype || localeId != m_localeId || zoneId != m_zoneId) {
        m_prototype.emplace(localeId, zoneId);
        m_localeId = std::move(localeId);
        m_zoneId = std::move(zoneId);
    }
    return *m_prototype;
}
