#pragma once

#include <QString>

#include <functional>
#include <optional>

// Makes Horalis start, or stop starting, when the user logs in. A failure prints one line,
// "Failed to configure launch at login: " and the error, to standard output, and returns that
// line so the Settings window can show it too; success returns nothing and prints nothing.
std::optional<QString> configureLaunchAtLogin(bool enabled);

using LaunchAtLoginConfigurer = std::function<std::optional<QString>(bool)>;
