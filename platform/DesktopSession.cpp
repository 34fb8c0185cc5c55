#include "platform/DesktopSession.h"

#include <QString>
#include <QStringList>

bool DesktopSession::is(const char* name)
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP")
        .split(QLatin1Char(':'), Qt::SkipEmptyParts)
        .contains(QLatin1String(name), Qt::CaseInsensitive);
}
