#include "platform/time/ZoneRules.h"

#include <algorithm>
#include <limits>

namespace {

// No place has ever been more than 26 hours from UTC; a larger value is a broken file.
constexpr int32_t kMaxOffset = 26 * 3600;

class Reader
{
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool has(size_t count) const { return m_bytes.size() >= count; }
    std::string_view take(size_t count)
    {
        const auto part = m_bytes.substr(0, count);
        m_bytes.remove_prefix(std::min(count, m_bytes.size()));
        return part;
    }
    uint64_t unsignedBigEndian(size_t width)
    {
        uint64_t value = 0;
        for (const char byte : take(width))
            value = value << 8 | static_cast<unsigned char>(byte);
        return value;
    }
    int64_t bigEndian(size_t width)
    {
        // Sign-extend from `width` bytes.
        const unsigned shift = static_cast<unsigned>(64 - 8 * width);
        return static_cast<int64_t>(unsignedBigEndian(width) << shift) >> shift;
    }
    std::string_view rest() const { return m_bytes; }

private:
    std::string_view m_bytes;
};

struct Header
{
    char version = 0;
    int64_t utIndicators = 0, standardIndicators = 0, leapSeconds = 0, transitions = 0, types = 0,
            abbreviationBytes = 0;

    size_t dataSize(size_t timeWidth) const
    {
        return static_cast<size_t>(transitions * (static_cast<int64_t>(timeWidth) + 1) + types * 6 +
                                   abbreviationBytes +
                                   leapSeconds * (static_cast<int64_t>(timeWidth) + 4) +
                                   standardIndicators + utIndicators);
    }
};

std::optional<Header> readHeader(Reader& reader)
{
    if (!reader.has(44) || reader.take(4) != "TZif")
        return std::nullopt;
    Header header;
    header.version = reader.take(1)[0];
    reader.take(15);
    for (int64_t* count : {&header.utIndicators, &header.standardIndicators, &header.leapSeconds,
                           &header.transitions, &header.types, &header.abbreviationBytes}) {
        *count = reader.bigEndian(4);
        // Far more than any real zone has, and small enough that no size below overflows.
        if (*count < 0 || *count > 1'000'000)
            return std::nullopt;
    }
    if (header.types < 1 || (header.utIndicators != 0 && header.utIndicators != header.types) ||
        (header.standardIndicators != 0 && header.standardIndicators != header.types))
        return std::nullopt;
    return header;
}

} // namespace

std::shared_ptr<const ZoneRules> ZoneRules::fromTzif(std::string name, std::string_view bytes)
{
    Reader reader(bytes);
    auto header = readHeader(reader);
    if (!header)
        return nullptr;
    size_t timeWidth = 4;
    if (header->version != '\0') {
        // Version 2 and later repeat the data with 64-bit times after the 32-bit block; the
        // C library takes any version but the first's that way.
        if (!reader.has(header->dataSize(4)))
            return nullptr;
        reader.take(header->dataSize(4));
        header = readHeader(reader);
        if (!header)
            return nullptr;
        timeWidth = 8;
    }
    if (!reader.has(header->dataSize(timeWidth)))
        return nullptr;

    std::shared_ptr<ZoneRules> zone(new ZoneRules(std::move(name)));
    const auto count = static_cast<size_t>(header->transitions);
    zone->m_transitions.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        zone->m_transitions.push_back(reader.bigEndian(timeWidth));
        if (i > 0 && zone->m_transitions[i] <= zone->m_transitions[i - 1])
            return nullptr;
    }
    std::vector<size_t> typeOfTransition(count);
    for (size_t i = 0; i < count; ++i) {
        // An index of up to 255: a zone may have more than 128 local time types.
        typeOfTransition[i] = static_cast<size_t>(reader.unsignedBigEndian(1));
        if (typeOfTransition[i] >= static_cast<size_t>(header->types))
            return nullptr;
    }
    std::vector<int32_t> typeOffsets;
    std::optional<int32_t> firstStandardOffset;
    for (int64_t i = 0; i < header->types; ++i) {
        const int64_t offset = reader.bigEndian(4);
        const uint64_t daylightFlag = reader.unsignedBigEndian(1);
        const uint64_t abbreviation = reader.unsignedBigEndian(1);
        // A flag other than 0 or 1, or a name past the names' end, is a broken file (the C
        // library refuses it too).
        if (offset < -kMaxOffset || offset > kMaxOffset || daylightFlag > 1 ||
            abbreviation >= static_cast<uint64_t>(header->abbreviationBytes))
            return nullptr;
        const bool daylight = daylightFlag == 1;
        typeOffsets.push_back(static_cast<int32_t>(offset));
        if (!daylight && !firstStandardOffset)
            firstStandardOffset = static_cast<int32_t>(offset);
    }
    for (const size_t type : typeOfTransition)
        zone->m_offsets.push_back(typeOffsets[type]);
    // Before the first transition the first standard-time type holds, as the C library and
    // Python's zoneinfo take it.
    zone->m_offsetBefore = firstStandardOffset.value_or(typeOffsets.front());
    // Leap seconds (only the "right/" zones carry them) are not counted: the system clock
    // does not count them either.
    reader.take(static_cast<size_t>(header->abbreviationBytes +
                                    header->leapSeconds * (static_cast<int64_t>(timeWidth) + 4) +
                                    header->standardIndicators + header->utIndicators));

    if (timeWidth == 8) {
        // "\n<rule>\n" ends the file: the rule for the times after the last transition, or
        // nothing. A footer that is neither is a broken file; one that does not start with a
        // newline is none.
        std::string_view footer = reader.rest();
        if (footer.size() < 2)
            return nullptr;
        if (footer.front() == '\n') {
            footer.remove_prefix(1);
            if (footer.find('\n') != footer.size() - 1)
                return nullptr;
            footer.remove_suffix(1);
            if (!footer.empty() && !(zone->m_rule = PosixTimeZoneRule::parse(footer)))
                return nullptr;
            // A footer must say when daylight time applies: the C library would look for its
            // dates in another file, and loses the zone it has read while it does.
            if (zone->m_rule && zone->m_rule->hasDefaultDates())
                return nullptr;
        }
    }
    // Without a transition the C library never reaches the footer: the first standard type
    // holds for all time, and every other program on the system shows that.
    if (zone->m_transitions.empty())
        zone->m_rule.reset();
    return zone;
}

std::shared_ptr<const ZoneRules> ZoneRules::fromRule(std::string name, PosixTimeZoneRule rule)
{
    std::shared_ptr<ZoneRules> zone(new ZoneRules(std::move(name)));
    zone->m_offsetBefore = rule.standardOffset();
    zone->m_rule = rule;
    return zone;
}

std::shared_ptr<const ZoneRules> ZoneRules::utc(std::string name)
{
    return std::shared_ptr<const ZoneRules>(new ZoneRules(std::move(name)));
}

int32_t ZoneRules::offsetAt(int64_t instant) const
{
    const auto after = std::upper_bound(m_transitions.begin(), m_transitions.end(), instant);
    if (after == m_transitions.end() && m_rule)
        return m_rule->offsetAt(instant);
    if (after == m_transitions.begin())
        return m_offsetBefore;
    return m_offsets[static_cast<size_t>(after - m_transitions.begin() - 1)];
}

std::optional<int64_t> ZoneRules::nextChangeAfter(int64_t instant) const
{
    const auto after = std::upper_bound(m_transitions.begin(), m_transitions.end(), instant);
    if (after != m_transitions.end())
        return *after;
    return m_rule ? m_rule->nextChangeAfter(instant) : std::nullopt;
}

int64_t ZoneRules::firstMomentOf(int64_t localSeconds) const
{
    // Offsets stay within ±26 h, so no instant earlier than this one can reach `localSeconds`.
    // From there, walk the spans of one offset in time order: the first span whose local
    // times reach `localSeconds` holds the answer.
    int64_t from = localSeconds - kMaxOffset;
    for (int span = 0; span < 16; ++span) {
        const int64_t candidate = std::max(from, localSeconds - offsetAt(from));
        const auto next = nextChangeAfter(from);
        if (!next || candidate < *next)
            return candidate;
        from = *next;
    }
    return localSeconds - offsetAt(localSeconds);
}
