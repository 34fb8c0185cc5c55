#include "platform/session/LoginItem.h"
#include "Horalis/settings_window/LaunchAtLogin.h"
#include "platform/session/StandardOutput.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

QString autostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

// The validator's complaints about a desktop entry; empty where it has none or is missing.
QString validatorComplaints(const QString& path)
{
    if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
        return {};
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {path});
    validate.waitForFinished(10000);
    return validate.exitCode() == 0 ? QString::fromUtf8(validate.readAllStandardOutput())
                                    : QStringLiteral("exit %1: ").arg(validate.exitCode()) +
                                          validate.readAllStandardOutput();
}

} // namespace

TEST(LoginItem, RegisterWritesAValidEntryAndUnregisterRemovesIt)
{
    // Where every freedesktop session looks for it, and what it finds there.
    const QString path =
        QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/autostart/horalis.desktop";
    const std::string out = captureStdout([] { EXPECT_FALSE(configureLaunchAtLogin(true)); });
    EXPECT_EQ(out, "") << "success prints nothing";
    EXPECT_EQ(fileText(path),
              "[Desktop Entry]\nType=Application\nName=Horalis\n"
              "Comment=Day, week, month and year progress\nExec=" +
                  QCoreApplication::applicationFilePath().toUtf8() +
                  "\nIcon=horalis\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");

    EXPECT_EQ(validatorComplaints(path), "");

    EXPECT_FALSE(configureLaunchAtLogin(false));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(configureLaunchAtLogin(false)) << "nothing to remove is no failure";
}

TEST(LoginItem, AnUnwritableFolderPrintsExactlyOneLine)
{
    // A file where the autostart folder should be: no one, root included, can write there.
    QDir(autostartFolder()).removeRecursively();
    QDir().mkpath(QFileInfo(autostartFolder()).absolutePath());
    QFile blocker(autostartFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    std::optional<QString> failure;
    const std::string out = captureStdout([&] { failure = configureLaunchAtLogin(true); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(out, failure->toStdString() + "\n");
    EXPECT_EQ(out.rfind("Failed to configure launch at login: ", 0), 0u);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_GT(out.size(), 39u) << "the error is described";
    QFile::remove(autostartFolder());
}

TEST(LoginItem, TheEntryIsAFileOfItsOwnNeverWrittenThroughALink)
{
    QDir().mkpath(autostartFolder());
    const QString entry = LoginItem::entryPath();
    const QString target = autostartFolder() + QStringLiteral("/../elsewhere.desktop");
    QFile elsewhere(target);
    ASSERT_TRUE(elsewhere.open(QIODevice::WriteOnly));
    elsewhere.write("mine");
    elsewhere.close();

    for (const bool dangling : {false, true}) {
        if (dangling)
            QFile::remove(target);
        QFile::remove(entry);
        ASSERT_TRUE(QFile::link(target, entry));
        EXPECT_FALSE(configureLaunchAtLogin(true));
        EXPECT_FALSE(QFileInfo(entry).isSymLink());
        EXPECT_TRUE(QFileInfo(entry).isFile());
        if (dangling) {
            EXPECT_FALSE(QFile::exists(target)) << "nothing is created where a link points";
        } else {
            ASSERT_TRUE(elsewhere.open(QIODevice::ReadOnly));
            EXPECT_EQ(elsewhere.readAll(), "mine") << "a link's target is never overwritten";
            elsewhere.close();
        }
    }
    // Turning it off removes a dangling link too.
    QFile::remove(entry);
    ASSERT_TRUE(QFile::link(target, entry));
    EXPECT_FALSE(configureLaunchAtLogin(false));
    EXPECT_FALSE(QFileInfo(entry).isSymLink());
}

TEST(LoginItem, APathNoLauncherCouldStartIsRefusedWithTheOneLine)
{
    const QString entry = LoginItem::entryPath();
    QFile::remove(entry);
    for (const QByteArray& path :
         {QByteArray("/opt/new\nline/horalis"), QByteArray("/opt/tab\there/horalis"),
          QByteArray("/opt/K\xf6ln/horalis"), QByteArray()}) {
        QString error;
        EXPECT_FALSE(LoginItem(path).registerItem(&error)) << path.constData();
        EXPECT_FALSE(error.contains(QLatin1Char('\n'))) << "one line: " << error.toStdString();
        EXPECT_FALSE(QFile::exists(entry));
    }
    // Every other path is written so that a launcher starts exactly that file.
    QString error;
    const QByteArray odd = "/opt/My Apps/100% \"sure\" $HOME `x` \\ ünï/horalis";
    ASSERT_TRUE(LoginItem(odd).registerItem(&error)) << error.toStdString();
    EXPECT_TRUE(fileText(entry).contains("Exec=\"/opt/My Apps/100%% \\\\\"sure\\\\\" \\\\$HOME "
                                         "\\\\`x\\\\` \\\\\\\\ ünï/horalis\"\n"));
    EXPECT_EQ(validatorComplaints(entry), "");
}

TEST(StandardOutput, AClosedPipeCostsTheLineNotTheProgram)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]); // the reader has gone
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(ends[1], STDOUT_FILENO);
    ::close(ends[1]);
    const bool written = StandardOutput::writeLine("Failed to configure launch at login: x");
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    EXPECT_FALSE(written);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE)) << "no SIGPIPE left to arrive later";
}
