#pragma once

#include "Horalis/Settings/StoredEnum.h"

struct WeekStartCases
{
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
    static constexpr std::array<const char*, 7> rawValues{
        "sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};
    // The days as the week-start picker shows them.
    static constexpr std::array<const char*, 7> displayNames{
        "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

// The first day of the week, stored under "weekStart".
using WeekStart = StoredEnum<WeekStartCases>;
