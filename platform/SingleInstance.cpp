#include "platform/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

SingleInstance::SingleInstance()
{
    // The runtime folder ($XDG_RUNTIME_DIR) belongs to one user's login session.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QDir().mkpath(folder);
    m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/horalis.lock"));
    m_lock->setStaleLockTime(0); // stale only when its owner is gone, however old
    m_primary = m_lock->tryLock(0);
    // A folder that cannot hold the lock must not keep Horalis from running at all.
    if (!m_primary && m_lock->error() != QLockFile::LockFailedError)
        m_primary = true;
}
