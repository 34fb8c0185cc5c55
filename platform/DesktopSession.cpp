#include "platform/DesktopSession.h"

#include <QGuiApplication>
#include <QString>
#include <QStringList>

bool DesktopSession::is(const char* name)
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP")
        .split(QLatin1Char(':'), Qt::SkipEmptyParts)
        .contains(QLatin1String(name), Qt::CaseInsensitive);
}

bool DesktopSession::isWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

bool DesktopSession::isX11Session()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") && !isWaylandSession();
}

QByteArray DesktopSession::preferredPlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return {};
    if (isWaylandSession() && !qEnvironmentVariableIsEmpty("DISPLAY"))
        return QByteArrayLiteral("xcb");
    return {};
}

void DesktopSession::choosePlatform()
{
    const QByteArray platform = preferredPlatform();
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
