#pragma once

#include "Horalis/Settings/StoredEnum.h"

struct IconColorCases
{
    enum Case
    {
        automatic,
        black,
        white
    };
    static constexpr std::array<const char*, 3> rawValues{"auto", "black", "white"};
    static constexpr std::array<const char*, 3> displayNames{"Automatic", "Black", "White"};
};

// The tray icon's colours, stored under "iconColor": chosen to suit the panel behind the icon,
// or always black, or always white.
using IconColor = StoredEnum<IconColorCases>;
