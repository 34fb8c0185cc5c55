#include "platform/session/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace {

// The runtime folder ($XDG_RUNTIME_DIR), which belongs to one user's login session. A relative
// value names no such folder and is ignored, as the XDG rules say: it would put the lock under
// whichever folder Horalis was started in. Then, as for an unset one, Qt's fallback in the
// temporary folder, made private; empty where that is not the user's own.
QString runtimeFolder()
{
    const QString variable = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (variable.isEmpty() || QDir::isAbsolutePath(variable))
        return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const passwd* user = ::getpwuid(::geteuid());
    QString folder = QDir::tempPath() + QStringLiteral("/runtime-") +
                     (user ? QFile::decodeName(user->pw_name) : QString::number(::geteuid()));
    QDir().mkpath(folder);
    const QFileInfo info(folder);
    if (!info.isDir() || info.isSymLink() || info.ownerId() != ::geteuid())
        return {};
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

} // namespace

SingleInstance::SingleInstance()
{
    const QString folder = runtimeFolder();
    if (folder.isEmpty()) {
        // A folder that cannot hold the lock must not keep Horalis from running at all.
        m_primary = true;
        return;
    }
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
