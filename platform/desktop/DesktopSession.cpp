#include "platform/desktop/DesktopSession.h"

#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <cstdio>

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
    if (!isWaylandSession() || qEnvironmentVariableIsEmpty("DISPLAY"))
        return {};
    // Qt reads a list of platforms, each with its options after a colon, and takes the first
    // that loads.
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM");
    const QString first = chosen.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0);
    if (chosen.isEmpty() || first.startsWith(QLatin1String("wayland")))
        return QByteArrayLiteral("xcb");
    return {};
}

void DesktopSession::choosePlatform()
{
    const QByteArray platform = preferredPlatform();
    if (platform.isEmpty())
        return;
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        std::fprintf(stderr,
                     "horalis: runs on Xwayland, where its panel can open next to the tray "
                     "icon, not on QT_QPA_PLATFORM=%s\n",
                     qgetenv("QT_QPA_PLATFORM").constData());
    qputenv("QT_QPA_PLATFORM", platform);
}
