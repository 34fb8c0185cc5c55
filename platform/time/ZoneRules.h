#pragma once

#include "platform/time/PosixTimeZoneRule.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The UTC offsets of one time zone over all time, as the system's time zone database has them:
// the transitions of a TZif file and the POSIX rule at its end for the times after the last
// one, or a POSIX rule alone. Immutable, so calendars share one. Instants are seconds since the
// Unix epoch, offsets seconds east of UTC.
class ZoneRules
{
public:
    // None where `bytes` is not a well-formed TZif file (RFC 8536).
    static std::shared_ptr<const ZoneRules> fromTzif(std::string name, std::string_view bytes);
    static std::shared_ptr<const ZoneRules> fromRule(std::string name, PosixTimeZoneRule rule);
    static std::shared_ptr<const ZoneRules> utc(std::string name = "UTC");

    const std::string& name() const { return m_name; }

    int32_t offsetAt(int64_t instant) const;
    // The first instant whose local time is `localSeconds` or later: midnight's instant for a
    // midnight, the first occurrence of a repeated time, the end of a gap for a skipped one.
    int64_t firstMomentOf(int64_t localSeconds) const;

private:
    explicit ZoneRules(std::string name) : m_name(std::move(name)) {}
    std::optional<int64_t> nextChangeAfter(int64_t instant) const;

    std::string m_name;
    std::vector<int64_t> m_transitions;      // ascending
    std::vector<int32_t> m_offsets;          // m_offsets[i] holds from m_transitions[i] on
    int32_t m_offsetBefore = 0;              // before the first transition
    std::optional<PosixTimeZoneRule> m_rule; // after the last transition
};
