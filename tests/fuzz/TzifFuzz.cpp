// A TZif file is either refused or gives the offsets the C library reads from it.

#include "CLibraryOffset.h"
#include "platform/time/ZoneRules.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// glibc reads the zone again only when TZ changed, and then only when the file's inode or time
// stamp (in seconds) did: each input goes to the other of two files, under a new time stamp.
std::string zoneFile()
{
    static const std::string folder = [] {
        char name[] = "/tmp/horalis-fuzz-tzif-XXXXXX";
        return std::string(::mkdtemp(name));
    }();
    static int turn = 0;
    return folder + (++turn % 2 ? "/a" : "/b");
}

bool writeZone(const std::string& path, const uint8_t* data, size_t size)
{
    static time_t stamp = 0;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    const timespec times[2] = {{++stamp, 0}, {stamp, 0}};
    return written && ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // No "posixrules" file may stand in for a footer rule's missing dates.
    char folder[] = "/tmp/horalis-fuzz-tzif-rules-XXXXXX";
    ::setenv("TZDIR", ::mkdtemp(folder), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto zone =
        ZoneRules::fromTzif("fuzz", std::string_view(reinterpret_cast<const char*>(data), size));
    if (!zone)
        return 0;
    const std::string path = zoneFile();
    if (!writeZone(path, data, size))
        return 0;
    const std::string tz = ":" + path;
    ::setenv("TZ", tz.c_str(), 1);
    ::tzset();

    // Across the years the file and the rule in its footer cover, and exactly at each change
    // found between two of those instants.
    const auto check = [&zone](int64_t instant) { expectCLibraryOffset(*zone, "zone", instant); };
    // From 1971 on: the C library takes every change a footer rule makes in an earlier year as
    // one in 1970.
    constexpr int64_t kFirst = 31'536'000LL;
    constexpr int64_t kLast = 4'102'444'800LL; // 2100
    int64_t previous = kFirst;
    check(previous);
    for (int64_t instant = kFirst + 86400 * 23 + 3607; instant < kLast;
         instant += 86400 * 23 + 3607) {
        check(instant);
        int64_t low = previous, high = instant;
        while (zone->offsetAt(low) != zone->offsetAt(high) && high - low > 1) {
            const int64_t middle = low + (high - low) / 2;
            (zone->offsetAt(middle) == zone->offsetAt(low) ? low : high) = middle;
        }
        if (high - low == 1) {
            check(low);
            check(high);
        }
        previous = instant;
    }
    return 0;
}
