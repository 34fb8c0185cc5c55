#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

#include <memory>

// Tells when a file may have changed, through the kernel's notifications rather than by
// looking again and again. A file saved by rename is a new file each time, so its folder is
// watched too (and, until the folder exists, the folder above it), and the new file is
// watched as it comes. A burst of notifications makes one signal.
class FileWatch : public QObject
{
    Q_OBJECT

public:
    // The one watch of the file for everyone who asks while any of them keeps it.
    static std::shared_ptr<FileWatch> of(const QString& path);

    explicit FileWatch(const QString& path);

signals:
    void changed();

private:
    // Watches what exists of the file and the folders it needs.
    void arm();
    void notice();

    QString m_path;
    QFileSystemWatcher m_watcher;
    bool m_noticePending = false;
};
