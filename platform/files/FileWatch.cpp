#include "platform/files/FileWatch.h"

#include <QFileInfo>
#include <QHash>
#include <QTimer>

std::shared_ptr<FileWatch> FileWatch::of(const QString& path)
{
    static QHash<QString, std::weak_ptr<FileWatch>> watches;
    std::shared_ptr<FileWatch> watch = watches.value(path).lock();
    if (!watch) {
        watch = std::make_shared<FileWatch>(path);
        watches.insert(path, watch);
    }
    return watch;
}

FileWatch::FileWatch(const QString& path) : m_path(path)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatch::notice);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatch::notice);
    arm();
}

void FileWatch::arm()
{
    if (m_path.isEmpty())
        return;
    const QFileInfo file(m_path);
    const QString folder = file.absolutePath();
    QStringList wanted;
    if (file.exists())
        wanted << m_path;
    if (QFileInfo(folder).isDir())
        wanted << folder;
    else if (const QString above = QFileInfo(folder).absolutePath(); QFileInfo(above).isDir())
        wanted << above;
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    for (const QString& path : watched) {
        if (!wanted.contains(path))
            m_watcher.removePath(path);
    }
    for (const QString& path : std::as_const(wanted)) {
        if (!watched.contains(path))
            m_watcher.addPath(path);
    }
}

void FileWatch::notice()
{
    if (m_noticePending)
        return;
    m_noticePending = true;
    QTimer::singleShot(0, this, [this] {
        m_noticePending = false;
        arm();
        emit changed();
    });
}
