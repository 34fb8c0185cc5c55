#include "platform/LoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

LoginItem LoginItem::mainApp()
{
    return LoginItem(QCoreApplication::applicationFilePath());
}

LoginItem::LoginItem(QString executable) : m_executable(std::move(executable)) {}

QString LoginItem::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/horalis.desktop");
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
    const QString path = entryPath();
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
                                 .arg(quoteExecArgument(m_executable))
                                 .toUtf8();
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
    if (!file.exists() || file.remove())
        return true;
    *error = QStringLiteral("Cannot remove %1: %2").arg(path, file.errorString());
    return false;
}
