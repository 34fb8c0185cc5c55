#include "platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

SingleInstance::SingleInstance()
{
    // The runtime folder ($XDG_RUNTIME_DIR) belongs to one user's login session.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/horalis.lock");
    m_lock = std::make_unique<QLockFile>(path);
    m_lock->setStaleLockTime(0); // stale only when its owner is gone, however old
    m_primary = m_lock->tryLock(0);
    if (m_primary || m_lock->error() != QLockFile::LockFailedError) {
        // A folder that cannot hold the lock must not keep Horalis from running at all.
        m_primary = true;
        return;
    }
    // Held, as far as QLockFile can tell. Only a lock naming a live Horalis counts: one whose
    // owner cannot be read (empty, unreadable, a folder) is cleared away, and Horalis runs
    // whether or not it can take the lock after that.
    qint64 pid = 0;
    QString host, application;
    if (m_lock->getLockInfo(&pid, &host, &application))
        return;
    if (QFileInfo(path).isDir())
        QDir().rmdir(path);
    else
        m_lock->removeStaleLockFile();
    m_lock->tryLock(0);
    m_primary = true;
}
