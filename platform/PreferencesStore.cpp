#include "platform/PreferencesStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

PreferencesStore::PreferencesStore() : PreferencesStore(standardFilePath()) {}

PreferencesStore::PreferencesStore(const QString& filePath)
    : m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{}

PreferencesStore::~PreferencesStore() = default;

QString PreferencesStore::standardFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/horalis/horalis.conf");
}

QString PreferencesStore::filePath() const
{
    return m_settings->fileName();
}

void PreferencesStore::refresh() const
{
    // With nothing pending, sync() only compares the file's size and time stamp with what it
    // read last, and reads the file again when another process has changed it.
    m_settings->sync();
}

std::optional<QVariant> PreferencesStore::object(const QString& key) const
{
    refresh();
    QVariant value = m_settings->value(key);
    if (!value.isValid())
        return std::nullopt;
    return value;
}

std::optional<QString> PreferencesStore::string(const QString& key) const
{
    const auto value = object(key);
    // A list ("a, b" in the file) or any other type is no text.
    if (!value || value->metaType().id() != QMetaType::QString)
        return std::nullopt;
    return value->toString();
}

std::optional<bool> PreferencesStore::boolean(const QString& key) const
{
    const auto value = object(key);
    if (!value)
        return std::nullopt;
    if (value->metaType().id() == QMetaType::Bool)
        return value->toBool();
    if (value->metaType().id() == QMetaType::QString) {
        // The file keeps booleans as the words QSettings writes for them.
        const QString text = value->toString();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return std::nullopt;
}

bool PreferencesStore::set(const QString& key, bool value)
{
    return write(key, QVariant(value));
}

bool PreferencesStore::set(const QString& key, const QString& value)
{
    return write(key, QVariant(value));
}

bool PreferencesStore::remove(const QString& key)
{
    return write(key, std::nullopt);
}

bool PreferencesStore::canWrite() const
{
    // Checked first, so that a write that cannot succeed leaves nothing pending in QSettings'
    // in-memory copy, where readers would take it for stored.
    const QFileInfo file(m_settings->fileName());
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;
    if (!QFileInfo(folder).isWritable())
        return false;
    // A file that exists but cannot be read is left alone: writing it would replace every key
    // in it by this one.
    return !file.exists() || (file.isFile() && file.isReadable() && file.isWritable());
}

bool PreferencesStore::write(const QString& key, const std::optional<QVariant>& value)
{
    if (!canWrite())
        return false;
    const std::optional<QVariant> before = object(key);
    // A writer of its own, as QSettings' status keeps the first error it ever met.
    QSettings writer(m_settings->fileName(), QSettings::IniFormat);
    if (value)
        writer.setValue(key, *value);
    else
        writer.remove(key);
    writer.sync();
    // A format error only says that some lines of the old file could not be read.
    if (writer.status() != QSettings::AccessError)
        return true;
    // The file could not be written after all: put the in-memory copy back as the disk has it.
    if (before)
        writer.setValue(key, *before);
    else
        writer.remove(key);
    return false;
}
