#pragma once

#include "platform/files/FileIdentity.h"
#include "platform/time/ZoneRules.h"

#include <memory>
#include <optional>
#include <string>

// The zone the C library uses for local time: TZ as a zone name, ":name", a path or a POSIX
// rule, and /etc/localtime where TZ is unset; zone names are looked up in TZDIR, by default
// /usr/share/zoneinfo. What the C library reads as UTC (an empty TZ, a name that is neither a
// file nor a rule, a missing /etc/localtime) is UTC here too.
class SystemTimeZone
{
public:
    // The zone now in force. The file behind it is only looked at (stat, not read) while its
    // identity stays the same, so a tzdata upgrade or a new /etc/localtime shows at once.
    std::shared_ptr<const ZoneRules> current();

    // Points the C library, and with it Qt's local time, at a fixed zone that needs no file.
    // glibc opens /etc/localtime again, blocking, whenever it was replaced, so a FIFO put there
    // would hang any thread that asks for local time; Horalis reads zones only through this
    // class. current() goes on following the user's TZ and /etc/localtime. Call before any
    // other thread starts.
    static void pinCLibraryZone();

    // The zone for a TZ value, as the C library reads it; none means TZ is unset.
    static std::shared_ptr<const ZoneRules> load(const std::optional<std::string>& tz);

private:
    static std::string zoneFilePath(const std::optional<std::string>& tz);

    std::shared_ptr<const ZoneRules> m_zone;
    std::optional<std::string> m_tz;
    std::string m_tzDir;
    FileIdentity m_identity;
};
