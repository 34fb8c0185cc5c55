#include "Horalis/settings_window/LaunchAtLogin.h"

#include "platform/session/LoginItem.h"
#include "platform/session/StandardOutput.h"

std::optional<QString> configureLaunchAtLogin(bool enabled)
{
    const LoginItem service = LoginItem::mainApp();
    QString error;
    const bool done = enabled ? service.registerItem(&error) : service.unregisterItem(&error);
    if (done)
        return std::nullopt;
    const QString line = QStringLiteral("Failed to configure launch at login: ") + error;
    // Straight to the file descriptor: nothing waits in a buffer, and a closed pipe costs
    // only the line.
    StandardOutput::writeLine(line.toUtf8());
    return line;
}
