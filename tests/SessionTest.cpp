// What a login session does to a running Horalis: locks left behind, signals at its end.

#include "platform/session/QuitSignals.h"
#include "platform/session/SingleInstance.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <csignal>

namespace {
QString lockPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
           QStringLiteral("/horalis.lock");
}
} // namespace

TEST(SingleInstance, OnlyALiveHoralisKeepsAnotherFromRunning)
{
    // Left behind by a crash, a full disk or a careless user: none names a live owner.
    const auto emptyFile = [] {
        QFile file(lockPath());
        file.open(QIODevice::WriteOnly);
    };
    const auto garbage = [] {
        QFile file(lockPath());
        file.open(QIODevice::WriteOnly);
        file.write("\xff\xfe not a lock\n");
    };
    const auto emptyFolder = [] { QDir().mkpath(lockPath()); };
    const auto fullFolder = [] {
        QDir().mkpath(lockPath());
        QFile(lockPath() + QStringLiteral("/keep")).open(QIODevice::WriteOnly);
    };
    for (const auto& leave : {+emptyFile, +garbage, +emptyFolder, +fullFolder}) {
        QDir(lockPath()).removeRecursively();
        QFile::remove(lockPath());
        leave();
        EXPECT_TRUE(SingleInstance().isPrimary());
    }
    QDir(lockPath()).removeRecursively();
    QFile::remove(lockPath());

    // A live one, the real case, however long it has run.
    SingleInstance first;
    ASSERT_TRUE(first.isPrimary());
    EXPECT_FALSE(SingleInstance().isPrimary());
    QFile lock(lockPath());
    ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-60),
                                 QFileDevice::FileModificationTime));
    lock.close();
    EXPECT_FALSE(SingleInstance().isPrimary()) << "a lock a minute old is still held";
}

TEST(SingleInstance, ARelativeRuntimeFolderIsIgnored)
{
    // Started from two folders with the same relative XDG_RUNTIME_DIR, two would run.
    QTemporaryDir first, second;
    const QString home = QDir::currentPath();
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", "run");
    QDir::setCurrent(first.path());
    auto running = std::make_unique<SingleInstance>();
    QDir::setCurrent(second.path());
    const bool secondIsPrimary = SingleInstance().isPrimary();
    QDir::setCurrent(home);
    running.reset();
    qputenv("XDG_RUNTIME_DIR", runtime);
    EXPECT_FALSE(secondIsPrimary);
    EXPECT_FALSE(QFileInfo::exists(first.filePath(QStringLiteral("run/horalis.lock"))));
}

TEST(QuitSignals, EachSessionEndingSignalAsksToQuit)
{
    QuitSignals quitSignals;
    QSignalSpy quit(&quitSignals, &QuitSignals::quitRequested);
    int expected = 0;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_EQ(::raise(signal), 0);
        ++expected;
        EXPECT_TRUE(QTest::qWaitFor([&] { return quit.count() == expected; }, 2000)) << signal;
    }
}
