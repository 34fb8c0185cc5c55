// A POSIX TZ rule is either refused or gives the offsets the C library gives for it.

#include "CLibraryOffset.h"
#include "platform/time/CivilDays.h"
#include "platform/time/PosixTimeZoneRule.h"
#include "platform/time/ZoneRules.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // No zone file may stand in for a rule's name ("EST5EDT"), nor a "posixrules" file for a
    // rule's missing dates: the C library then reads the rule alone, as Horalis does.
    char folder[] = "/tmp/horalis-fuzz-rules-XXXXXX";
    ::setenv("TZDIR", ::mkdtemp(folder), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string rule(reinterpret_cast<const char*>(data), size);
    if (rule.size() > 80 || rule.find('\0') != std::string::npos || rule.empty() ||
        rule.front() == ':' || rule.front() == '/')
        return 0;
    const auto parsed = PosixTimeZoneRule::parse(rule);
    if (!parsed)
        return 0;
    const auto zone = ZoneRules::fromRule(rule, *parsed);
    ::setenv("TZ", rule.c_str(), 1);
    ::tzset();
    // The C library counts no change before 1971 (it takes every earlier year's changes as
    // 1970's), so the years from then on: every change, each new year, and between them.
    for (int year : {1971, 1999, 2000, 2024, 2025, 2037, 2038, 2099}) {
        const int64_t newYear = CivilDays::fromCivil(year, 1, 1) * CivilDays::kSecondsPerDay;
        for (int64_t t = newYear - 86400 * 3; t < newYear + 86400 * 369; t += 86400 * 5 + 3607)
            expectCLibraryOffset(*zone, rule.c_str(), t);
        for (int64_t t = newYear - 86400 * 3; t < newYear + 86400 * 369;) {
            const auto next = parsed->nextChangeAfter(t);
            if (!next || *next >= newYear + 86400 * 369)
                break;
            expectCLibraryOffset(*zone, rule.c_str(), *next - 1);
            expectCLibraryOffset(*zone, rule.c_str(), *next);
            if (zone->offsetAt(*next) == zone->offsetAt(*next - 1)) {
                std::fprintf(stderr, "%s: no change at %lld\n", rule.c_str(),
                             static_cast<long long>(*next));
                std::abort();
            }
            t = *next;
        }
    }
    return 0;
}
