#pragma once

#include "platform/files/FileIdentity.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class QSettings;

// The per-user preferences store: texts and booleans under keys, in an INI file under the
// XDG config folder. Every read first picks up changes other processes made to the file (the
// reads of one pass of the event loop share one look at it), and every write is on disk
// before it returns. Only a regular file is read or written: a FIFO,
// a device or a folder in its place reads as an empty store and is never waited on.
class PreferencesStore
{
public:
    // The user's own store: $XDG_CONFIG_HOME/horalis/horalis.conf (~/.config by default), or
    // none where the user has no usable home: then every read gives nothing and every write
    // fails.
    PreferencesStore();
    explicit PreferencesStore(const QString& filePath);
    ~PreferencesStore();
    PreferencesStore(const PreferencesStore&) = delete;
    PreferencesStore& operator=(const PreferencesStore&) = delete;

    // Empty where the user has no usable home.
    static QString standardFilePath();
    // The file this store reads and writes; empty for none.
    const QString& filePath() const { return m_filePath; }

    // The text under the key; none when the key is missing or holds something else.
    std::optional<QString> string(const QString& key) const;
    // The boolean under the key; none when the key is missing or holds no boolean.
    std::optional<bool> boolean(const QString& key) const;

    // True once the value is on disk; false (and the file left as it was) when it could not be.
    bool set(const QString& key, bool value);
    bool set(const QString& key, const QString& value);

private:
    // Whatever is stored under the key, if anything.
    std::optional<QVariant> object(const QString& key) const;
    bool canWrite() const;
    bool write(const QString& key, const QByteArray& value);
    void keepVisibleToReaders(const FileIdentity& before) const;
    // The reader, up to date with the file; none while there is no regular file to read.
    QSettings* reader() const;

    QString m_filePath;
    // The file as last read, and the pass of the event loop that looked at it.
    mutable FileIdentity m_readVersion;
    mutable quint64 m_lookedInPass = 0;
    // Made on first use, as QSettings reads the file as soon as it exists.
    mutable std::unique_ptr<QSettings> m_settings;
};
