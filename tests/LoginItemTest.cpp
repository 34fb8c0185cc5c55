#include "platform/LoginItem.h"
#include "Horalis/settings_window/LaunchAtLogin.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

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
    run();
    std::fflush(stdout);
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
    ASSERT_TRUE(
        LoginItem::entryPath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))))
        << "tests must never touch the user's own autostart folder";
    const std::string out = captureStdout([] { EXPECT_FALSE(configureLaunchAtLogin(true)); });
    EXPECT_EQ(out, "") << "success prints nothing";
    QFile entry(LoginItem::entryPath());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(
        text.contains(QStringLiteral("Exec=") +
                      LoginItem::quoteExecArgument(QCoreApplication::applicationFilePath())));

    if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {LoginItem::entryPath()});
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
        EXPECT_EQ(validate.readAllStandardOutput(), QByteArray());
    }

    EXPECT_FALSE(configureLaunchAtLogin(false));
    EXPECT_FALSE(QFile::exists(LoginItem::entryPath()));
    EXPECT_FALSE(configureLaunchAtLogin(false)) << "nothing to remove is no failure";
}

TEST(LoginItem, AnUnwritableFolderPrintsExactlyOneLine)
{
    // A file where the autostart folder should be: no one, root included, can write there.
    QDir().rmpath(autostartFolder());
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
