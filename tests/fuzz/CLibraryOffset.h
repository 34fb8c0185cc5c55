#pragma once

// The offsets the C library gives, to hold the zone readers' up against.

#include "platform/time/ZoneRules.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

// Seconds east of UTC at `instant`, under the TZ the C library last read.
inline long cLibraryOffset(int64_t instant)
{
    const time_t t = static_cast<time_t>(instant);
    struct tm local
    {};
    if (!::localtime_r(&t, &local))
        return 0x7fffffff;
    return local.tm_gmtoff;
}

// Stops the fuzzer, saying where, when the zone and the C library disagree at `instant`.
inline void expectCLibraryOffset(const ZoneRules& zone, const char* what, int64_t instant)
{
    const long theirs = cLibraryOffset(instant);
    if (zone.offsetAt(instant) != theirs) {
        std::fprintf(stderr, "%s at %lld: ours %d, the C library's %ld\n", what,
                     static_cast<long long>(instant), zone.offsetAt(instant), theirs);
        std::abort();
    }
}
