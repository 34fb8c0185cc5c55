#include "platform/files/XdgConfigHome.h"

#include <QDir>

namespace {

QString absoluteVariable(const char* name)
{
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

} // namespace

QString XdgConfigHome::path()
{
    if (QString config = absoluteVariable("XDG_CONFIG_HOME"); !config.isEmpty())
        return config;
    const QString home = absoluteVariable("HOME");
    // "/" is no home: its .config would be shared by every account without one.
    if (home.isEmpty() || home == QLatin1String("/"))
        return {};
    return home + QStringLiteral("/.config");
}
