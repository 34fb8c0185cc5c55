#include "Horalis/settings_window/LaunchAtLogin.h"

#include "platform/LoginItem.h"

#include <cstdio>

std::optional<QString> configureLaunchAtLogin(bool enabled)
{
    const LoginItem service = LoginItem::mainApp();
    QString error;
    const bool done = enabled ? service.registerItem(&error) : service.unregisterItem(&error);
    if (done)
        return std::nullopt;
    const QString line = QStringLiteral("Failed to configure launch at login: ") + error;
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
    return line;
}
