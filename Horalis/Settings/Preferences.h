#pragma once

#include "Horalis/Settings/IconColor.h"
#include "Horalis/Settings/IconStyle.h"
#include "Horalis/Settings/Preference.h"
#include "Horalis/Settings/WeekStart.h"

// Every preference Horalis keeps. Booleans are stored as "true" and "false", the choices as
// their raw texts; a text that is no raw value reads as the default.
namespace Preferences {
inline constexpr Preference<WeekStart> weekStart{QLatin1StringView("weekStart"), WeekStart::monday};
inline constexpr Preference<IconStyle> iconStyle{QLatin1StringView("iconStyle"), IconStyle::pill};
inline constexpr Preference<bool> iconFlipped{QLatin1StringView("iconFlipped"), false};
inline constexpr Preference<IconColor> iconColor{QLatin1StringView("iconColor"),
                                                 IconColor::automatic};
inline constexpr Preference<bool> launchAtLogin{QLatin1StringView("launchAtLogin"), false};
inline constexpr Preference<bool> showIcon{QLatin1StringView("showIcon"), true};
inline constexpr Preference<bool> hasLaunchedBefore{QLatin1StringView("hasLaunchedBefore"), false};
} // namespace Preferences
