#include "platform/time/SystemTimeZone.h"

#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The largest zone file in the database is a few kilobytes.
constexpr off_t kMaxZoneFileSize = 1 << 20;

std::optional<std::string> environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// What the process's TZ was before pinCLibraryZone() set its own, and the value it set.
struct PinnedZone
{
    std::optional<std::string> userTz;
    std::string pinned;
};
std::optional<PinnedZone>& pinnedZone()
{
    static std::optional<PinnedZone> pin;
    return pin;
}

// TZ as the user set it, even where the C library has been pinned since.
std::optional<std::string> userTz()
{
    auto tz = environment("TZ");
    if (const auto& pin = pinnedZone(); pin && tz == pin->pinned)
        return pin->userTz;
    return tz;
}

std::string zoneDirectory()
{
    const auto dir = environment("TZDIR");
    return dir && !dir->empty() ? *dir : std::string("/usr/share/zoneinfo");
}

// What TZ names once the C library's reading of ':' and the empty value is done: empty for the
// system default.
std::string zoneSpec(const std::optional<std::string>& tz)
{
    if (!tz)
        return {};
    // An empty TZ, or ":" alone, is UTC to the C library, not the system default.
    if (tz->empty() || *tz == ":")
        return "Universal";
    return tz->front() == ':' ? tz->substr(1) : *tz;
}

// The whole file when `path` is a regular file of a sensible size. Opened without blocking,
// so a FIFO or a device in its place cannot hang the caller.
std::optional<std::string> readZoneFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> contents;
    struct stat info
    {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxZoneFileSize) {
        std::string bytes(static_cast<size_t>(info.st_size), '\0');
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got <= 0)
                break;
            done += static_cast<size_t>(got);
        }
        bytes.resize(done);
        contents = std::move(bytes);
    }
    ::close(fd);
    return contents;
}

// The zone's name as people write it: "Europe/Paris" for /usr/share/zoneinfo/Europe/Paris.
std::string displayName(const std::string& spec, const std::string& path)
{
    char target[4096];
    std::string resolved = path;
    if (const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1); length > 0)
        resolved.assign(target, static_cast<size_t>(length));
    const std::string marker = "zoneinfo/";
    if (const auto at = resolved.rfind(marker); at != std::string::npos)
        return resolved.substr(at + marker.size());
    return spec.empty() ? "localtime" : spec;
}

} // namespace

std::string SystemTimeZone::zoneFilePath(const std::optional<std::string>& tz)
{
    const std::string spec = zoneSpec(tz);
    if (spec.empty())
        return "/etc/localtime";
    return spec.front() == '/' ? spec : zoneDirectory() + "/" + spec;
}

std::shared_ptr<const ZoneRules> SystemTimeZone::load(const std::optional<std::string>& tz)
{
    const std::string spec = zoneSpec(tz);
    const std::string path = zoneFilePath(tz);
    if (const auto bytes = readZoneFile(path)) {
        if (auto zone = ZoneRules::fromTzif(displayName(spec, path), *bytes))
            return zone;
    }
    if (!spec.empty()) {
        if (const auto rule = PosixTimeZoneRule::parse(spec))
            return ZoneRules::fromRule(spec, *rule);
    }
    return ZoneRules::utc(spec.empty() ? "UTC" : spec);
}

std::shared_ptr<const ZoneRules> SystemTimeZone::current()
{
    auto tz = userTz();
    std::string tzDir = zoneDirectory();
    const FileIdentity identity = FileIdentity::of(zoneFilePath(tz));
    if (!m_zone || tz != m_tz || tzDir != m_tzDir || identity != m_identity) {
        m_zone = load(tz);
        m_tz = std::move(tz);
        m_tzDir = std::move(tzDir);
        m_identity = identity;
    }
    return m_zone;
}

void SystemTimeZone::pinCLibraryZone()
{
    // A rule that names no zone file: the C library reads no file for it, and never reads
    // the zone again while TZ keeps this value.
    static const std::string kPinned = "UTC0";
    if (!pinnedZone())
        pinnedZone() = PinnedZone{environment("TZ"), kPinned};
    ::setenv("TZ", kPinned.c_str(), 1);
    ::tzset();
}
