#include "platform/session/LoginItem.h"

#include "platform/files/XdgConfigHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <optional>

#include <unistd.h>

namespace {

// The path as one printable line: control characters as \xNN.
QString visible(const QString& text)
{
    QString shown;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

// Why a path cannot stand in an Exec line, or nothing where it can. A desktop entry is UTF-8
// text, one key a line: bytes that are not UTF-8 would be changed on the way, and a control
// character would break the line or be read differently by each launcher.
std::optional<QString> unwritablePath(const QByteArray& path)
{
    if (path.isEmpty())
        return QStringLiteral("The path of the running program is unknown");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(path);
    if (utf8.hasError())
        return QStringLiteral("The path of the running program is not UTF-8: %1")
            .arg(visible(text));
    if (visible(text) != text)
        return QStringLiteral("The path of the running program holds a control character: %1")
            .arg(visible(text));
    return std::nullopt;
}

} // namespace

LoginItem LoginItem::mainApp()
{
    // The kernel's own link keeps the path's bytes, which Qt's decoded string may not.
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && static_cast<size_t>(length) < sizeof target)
        return LoginItem(QByteArray(target, length));
    return LoginItem(QFile::encodeName(QCoreApplication::applicationFilePath()));
}

LoginItem::LoginItem(QByteArray executable) : m_executable(std::move(executable)) {}

QString LoginItem::entryPath()
{
    const QString config = XdgConfigHome::path();
    return config.isEmpty() ? QString() : config + QStringLiteral("/autostart/horalis.desktop");
}

QString LoginItem::quoteExecArgument(const QString& argument)
{
    // Field codes are introduced by '%', so a literal one is doubled.
    QString text = argument;
    text.replace(QLatin1Char('%'), QLatin1String("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool needsQuotes = text.isEmpty() || std::any_of(text.begin(), text.end(), [](QChar c) {
                                 return reserved.contains(c);
                             });
    if (needsQuotes) {
        QString quoted;
        for (QChar c : text) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        text = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    // The value of a key is unescaped once more: each backslash is written twice.
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return text;
}

bool LoginItem::registerItem(QString* error) const
{
    if (const auto reason = unwritablePath(m_executable)) {
        *error = *reason;
        return false;
    }
    const QString path = entryPath();
    if (path.isEmpty()) {
        *error = QStringLiteral("There is no home folder to hold the autostart entry");
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("Cannot create the folder %1").arg(folder);
        return false;
    }
    const QByteArray entry = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=Horalis\n"
                                            "Comment=Day, week, month and year progress\n"
                                            "Exec=%1\n"
                                            "Icon=horalis\n"
                                            "Terminal=false\n"
                                            "X-GNOME-Autostart-enabled=true\n")
                                 .arg(quoteExecArgument(QString::fromUtf8(m_executable)))
                                 .toUtf8();
    // The entry is a file of its own in the autostart folder: a link in its place is replaced,
    // never followed, so nothing is written wherever it points.
    if (QFileInfo(path).isSymLink() && !QFile::remove(path)) {
        *error = QStringLiteral("Cannot replace the link %1").arg(path);
        return false;
    }
    // Written to a temporary file and renamed, so a crash never leaves half an entry.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(entry) != entry.size() || !file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool LoginItem::unregisterItem(QString* error) const
{
    const QString path = entryPath();
    QFile file(path);
    // A dangling link is an entry too: QFile::exists() follows links, QFileInfo need not.
    if (path.isEmpty() || (!file.exists() && !QFileInfo(path).isSymLink()) || file.remove())
        return true;
    *error = QStringLiteral("Cannot remove %1: %2").arg(path, file.errorString());
    return false;
}
