#pragma once

#include "Horalis/Settings/StoredEnum.h"

struct IconStyleCases
{
    enum Case
    {
        pill,
        circle,
        percentage
    };
    static constexpr std::array<const char*, 3> rawValues{"pill", "circle", "percentage"};
    static constexpr std::array<const char*, 3> displayNames{"Pill", "Circle", "Percentage"};
};

// The tray icon's style, stored under "iconStyle".
using IconStyle = StoredEnum<IconStyleCases>;
