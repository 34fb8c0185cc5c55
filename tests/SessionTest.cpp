// What a login session does to a running Horalis: locks left behind, signals at its end.

#include "platform/QuitSignals.h"
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

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

    // A live one, the real case.
    SingleInstance first;
    ASSERT_TRUE(first.isPrimary());
    EXPECT_FALSE(SingleInstance().isPrimary());
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
