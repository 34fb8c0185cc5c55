#pragma once

#include <QLatin1StringView>

// The keys of the preferences store, as stored.
namespace PreferenceKeys {
inline constexpr QLatin1StringView weekStart{"weekStart"};
inline constexpr QLatin1StringView iconStyle{"iconStyle"};
inline constexpr QLatin1StringView iconFlipped{"iconFlipped"};
inline constexpr QLatin1StringView iconColor{"iconColor"};
inline constexpr QLatin1StringView launchAtLogin{"launchAtLogin"};
inline constexpr QLatin1StringView showIcon{"showIcon"};
inline constexpr QLatin1StringView hasLaunchedBefore{"hasLaunchedBefore"};
} // namespace PreferenceKeys
