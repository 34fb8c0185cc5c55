#include "platform/store/PreferencesStore.h"

#include "platform/files/FileIdentity.h"
#include "platform/files/XdgConfigHome.h"
#include "platform/store/IniFileEditor.h"

#include <QAbstractEventDispatcher>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPointer>
#include <QSaveFile>
#include <QSettings>
#include <QThread>

namespace {

// Exists and is something other than a regular file (a link to one counts as one).
bool isOddFile(const QString& path)
{
    const FileIdentity file = FileIdentity::of(path);
    return file.exists && !file.regular;
}

// A lock file is written whole the moment it is made, so one still empty after a while was
// left by a writer killed in that moment. QLockFile cannot tell whose it is and would refuse
// every write until its 30 seconds of staleness are up.
void clearLockLeftEmpty(const QString& lockPath)
{
    constexpr long long kLeftAfterNs = 1'000'000'000;
    const FileIdentity lock = FileIdentity::of(lockPath);
    if (!lock.exists || !lock.regular || lock.size != 0)
        return;
    if (QDateTime::currentMSecsSinceEpoch() * 1'000'000LL - lock.modifiedNs > kLeftAfterNs)
        QFile::remove(lockPath);
}

// Counts the passes of this thread's event loop, and the writes made in it. Within one pass
// (the timers that fall due together, the events of one wake-up) the file is looked at once;
// outside a running event loop every read looks.
thread_local quint64 t_pass = 1;

quint64 currentPass()
{
    if (QThread::currentThread()->loopLevel() == 0)
        return 0;
    thread_local QPointer<QAbstractEventDispatcher> followed;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return 0;
    if (dispatcher != followed) {
        followed = dispatcher;
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] { ++t_pass; });
        ++t_pass;
    }
    return t_pass;
}

} // namespace

PreferencesStore::PreferencesStore() : PreferencesStore(standardFilePath()) {}

PreferencesStore::PreferencesStore(const QString& filePath) : m_filePath(filePath) {}

PreferencesStore::~PreferencesStore() = default;

QString PreferencesStore::standardFilePath()
{
    const QString config = XdgConfigHome::path();
    return config.isEmpty() ? QString() : config + QStringLiteral("/horalis/horalis.conf");
}

QSettings* PreferencesStore::reader() const
{
    const quint64 pass = currentPass();
    if (m_settings && pass != 0 && pass == m_lookedInPass)
        return m_settings.get();
    if (m_filePath.isEmpty())
        return nullptr;
    // Opening a FIFO for reading blocks until a writer comes, so nothing but a regular file
    // (or no file) is handed to QSettings.
    const FileIdentity file = FileIdentity::of(m_filePath);
    if (file.exists && !file.regular) {
        m_settings.reset();
        return nullptr;
    }
    if (!m_settings)
        m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    else if (file != m_readVersion)
        // With nothing pending, sync() reads the file again where another process changed it.
        m_settings->sync();
    m_readVersion = file;
    m_lookedInPass = pass;
    return m_settings.get();
}

std::optional<QVariant> PreferencesStore::object(const QString& key) const
{
    QSettings* settings = reader();
    if (!settings)
        return std::nullopt;
    QVariant value = settings->value(key);
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
    return write(key, value ? QByteArray("true") : QByteArray("false"));
}

bool PreferencesStore::set(const QString& key, const QString& value)
{
    return write(key, value.toUtf8());
}

void PreferencesStore::keepVisibleToReaders(const FileIdentity& before) const
{
    // QSettings, in this process and others, tells a changed file by its size and its time
    // stamp in milliseconds, against the version it read last, which may be any earlier one:
    // three quick writes can bring back the size of the first within its millisecond. So each
    // version is stamped later than the one it replaces, and no two versions look the same.
    constexpr long long kNsPerMs = 1'000'000;
    const FileIdentity after = FileIdentity::of(m_filePath);
    if (!before.exists || after.modifiedNs / kNsPerMs > before.modifiedNs / kNsPerMs)
        return;
    QFile file(m_filePath);
    if (file.open(QIODevice::ReadWrite)) {
        const QDateTime later = QDateTime::fromMSecsSinceEpoch(before.modifiedNs / kNsPerMs + 1);
        file.setFileTime(later, QFileDevice::FileModificationTime);
    }
}

bool PreferencesStore::canWrite() const
{
    if (m_filePath.isEmpty())
        return false;
    const QFileInfo file(m_filePath);
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;
    if (!QFileInfo(folder).isWritable())
        return false;
    // A file that exists but cannot be read is left alone: writing it would replace every key
    // in it by this one.
    return !file.exists() || (file.isFile() && file.isReadable() && file.isWritable());
}

bool PreferencesStore::write(const QString& key, const QByteArray& value)
{
    if (!canWrite())
        return false;
    // The lock QSettings itself takes for this file, so no other writer is midway. It is taken
    // at once or not at all: a lock held elsewhere, a folder or garbage in its place refuses
    // the write instead of waiting on it.
    const QString lockPath = m_filePath + QStringLiteral(".lock");
    if (isOddFile(lockPath))
        return false;
    clearLockLeftEmpty(lockPath);
    QLockFile lock(lockPath);
    if (!lock.tryLock(0))
        return false;

    const FileIdentity before = FileIdentity::of(m_filePath);
    QByteArray content;
    if (QFile file(m_filePath); file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return false;
        content = file.readAll();
    }
    const std::optional<QByteArray> updated =
        IniFileEditor::withValue(content, key.toUtf8(), value);
    if (!updated)
        return false;
    if (*updated == content)
        return true;
    // Written to a temporary file and renamed, so a crash never leaves half a file.
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(*updated) != updated->size() ||
        !file.commit())
        return false;
    keepVisibleToReaders(before);
    m_settings.reset();
    // Every store of this thread reads the new version at its next read.
    ++t_pass;
    return true;
}
