#pragma once

#include <QHashFunctions>
#include <QString>

#include <array>
#include <optional>

// The first day of the week, stored under "weekStart" as its raw text.
class WeekStart
{
public:
    enum Case
    {
        sunday,
        monday,
        tuesday,
        wednesday,
        thursday,
        friday,
        saturday
    };

    constexpr WeekStart(Case value) : m_case(value) {}

    // Exact, case-sensitive match of a raw text ("sunday" ... "saturday"); none otherwise.
    static std::optional<WeekStart> fromRawValue(const QString& raw);
    static constexpr std::array<WeekStart, 7> allCases()
    {
        return {sunday, monday, tuesday, wednesday, thursday, friday, saturday};
    }

    constexpr Case value() const { return m_case; }
    QString rawValue() const;
    QString displayName() const;

    friend constexpr bool operator==(WeekStart, WeekStart) = default;

private:
    Case m_case;
};

inline size_t qHash(WeekStart day, size_t seed = 0)
{
    return ::qHash(static_cast<int>(day.value()), seed);
}
