#pragma once

#include <QLatin1StringView>

// One entry of the preferences file: its key, exactly as stored, and what a missing entry, or
// one that holds no valid `T`, reads as.
template <typename T> struct Preference
{
    QLatin1StringView key;
    T defaultValue;
};
