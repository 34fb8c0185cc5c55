#include "platform/LoginItem.h"
#include "Horalis/settings_window/LaunchAtLogin.h"
#include "platform/StandardOutput.h"

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

// Standard output of `run`, captured through a pipe.
std::string captureStdout(const std::function<void()>& run)
{
    std::fflush(stdout);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::close(pipeEnds[1]);
    run(); // and no flush after it: the line must be out when the call returns
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    std::string out;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    ::close(pipeEnds[0]);
    return out;
}

} // namespace

TEST(LoginItem, RegisterWritesAValidEntryAndUnregisterRemovesIt)
{
    // Where every freedesktop session looks for it, and what it finds there.
    const QString path =
        QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/autostart/horalis.desktop";
    const std::string out = captureStdout([] { EXPECT_FALSE(configureLaunchAtLogin(true)); });
    EXPECT_EQ(out, "") << "success prints nothing";
    QFile entry(path);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(entry.readAll(),
              "[Desktop Entry]\nType=Application\nName=Horalis\n"
              "Comment=Day, week, month and year progress\nExec=" +
                  QCoreApplication::applicationFilePath().toUtf8() +
                  "\nIcon=horalis\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");

    if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {path});
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
        EXPECT_EQ(validate.readAllStandardOutput(), QByteArray());
    }

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

TEST(LoginItem, ExecArgumentsAreQuotedAsDesktopEntriesRequire)
{
    EXPECT_EQ(LoginItem::quoteExecArgument("/usr/bin/horalis"), "/usr/bin/horalis");
    EXPECT_EQ(LoginItem::quoteExecArgument("/opt/My Apps/horalis"), "\"/opt/My Apps/horalis\"");
    EXPECT_EQ(LoginItem::quoteExecArgument("/a/$b\"c"), "\"/a/\\\\$b\\\\\"c\"");
    EXPECT_EQ(LoginItem::quoteExecArgument("/a/100%"), "/a/100%%");
    EXPECT_EQ(LoginItem::quoteExecArgument("/a\\b"), "\"/a\\\\\\\\b\"");
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
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Exec=\"/opt/My Apps/100%% \\\\\"sure\\\\\" \\\\$HOME "
                                        "\\\\`x\\\\` \\\\\\\\ ünï/horalis\"\n"));
    if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {entry});
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
    }
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
