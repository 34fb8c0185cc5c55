#pragma once

#include <QObject>
#include <QString>

#include <memory>

class FileWatch;

// Tells when one stored preference changes, whoever changed it: this window at once, another
// program editing the file as the file's watch tells of it.
class PreferenceWatch : public QObject
{
    Q_OBJECT

public:
    PreferenceWatch(const QString& filePath, QObject* parent = nullptr);
    ~PreferenceWatch() override;

signals:
    void changed();

protected:
    // Reads the stored value again; true where it differs from the one read before.
    virtual bool reread() = 0;
    // Emits changed() where reread() finds a change.
    void poll();

private:
    // Shared by every preference of the file: one watch however many are shown.
    std::shared_ptr<FileWatch> m_file;
};
