#include "platform/store/PreferencesStore.h"
#include "support/Files.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>

namespace {

class PreferencesStoreTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("horalis/horalis.conf")); }

    // Writes the file as another program would, behind the store's back.
    void writeFile(const QByteArray& content)
    {
        ASSERT_TRUE(writeFileText(path(), content));
        // A new size or time stamp is how a change is noticed; make sure the stamp moves.
        QFile(path()).setFileTime(QDateTime::currentDateTime().addSecs(++m_stamp),
                                  QFileDevice::FileModificationTime);
    }
    QByteArray fileContent() const { return fileText(path()); }

    QTemporaryDir m_dir;
    int m_stamp = 0;
};

} // namespace

TEST_F(PreferencesStoreTest, GarbledFileKeepsWhatCanBeRead)
{
    static const char bytes[] = "\xff\xfe\x00\x01[[[=\n\x80\x81 = =\nweekStart=friday\n[Gen";
    const QByteArray garbage(bytes, sizeof bytes - 1);
    writeFile(garbage);
    PreferencesStore store(path());
    EXPECT_EQ(store.string("weekStart"), "friday");
    ASSERT_TRUE(store.set("iconFlipped", true));
    PreferencesStore other(path());
    EXPECT_EQ(other.string("weekStart"), "friday") << "a write must not drop readable keys";
    EXPECT_EQ(other.boolean("iconFlipped"), true);

    writeFile("");
    EXPECT_FALSE(store.string("weekStart"));
    writeFile(QByteArray(4096, '\0'));
    EXPECT_FALSE(store.string("weekStart"));
}

TEST_F(PreferencesStoreTest, AWriteThatCannotReachTheDiskIsReportedAndNotRemembered)
{
    // A folder where the file should be.
    QDir().mkpath(path());
    PreferencesStore store(path());
    EXPECT_FALSE(store.string("weekStart"));
    EXPECT_FALSE(store.set("weekStart", QStringLiteral("sunday")));
    EXPECT_FALSE(store.string("weekStart"));

    // A config folder that cannot be created, because a file stands in its way.
    QFile blocker(m_dir.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PreferencesStore blocked(m_dir.filePath(QStringLiteral("blocked/horalis/horalis.conf")));
    EXPECT_FALSE(blocked.set("iconFlipped", true));
    EXPECT_FALSE(blocked.string("iconFlipped"));
}

TEST_F(PreferencesStoreTest, OddFilesInPlaceOfTheFileOrItsLockAreNeverWaitedOn)
{
    // Each of these would block a read or a write for good if it were opened or waited on;
    // the test's own time limit is the check.
    QDir().mkpath(m_dir.filePath(QStringLiteral("horalis")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    PreferencesStore store(path());
    EXPECT_FALSE(store.string("weekStart"));
    EXPECT_FALSE(store.set("weekStart", QStringLiteral("sunday")));
    QFile::remove(path());

    const QString lock = path() + QStringLiteral(".lock");
    writeFile("[General]\nweekStart=friday\n");
    QDir().mkpath(lock); // a folder where QSettings' lock goes
    EXPECT_FALSE(store.set("weekStart", QStringLiteral("sunday")));
    QDir().rmdir(lock);
    QFile garbage(lock); // a lock QLockFile cannot read, just written
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\x01\x02 not a lock");
    garbage.close();
    EXPECT_FALSE(store.set("weekStart", QStringLiteral("sunday")));
    QFile::remove(lock);
    ASSERT_EQ(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
    EXPECT_FALSE(store.set("weekStart", QStringLiteral("sunday")));
    EXPECT_EQ(store.string("weekStart"), "friday") << "a refused write changes nothing";

    QFile::remove(lock);
    EXPECT_TRUE(store.set("weekStart", QStringLiteral("sunday")));
    EXPECT_EQ(store.string("weekStart"), "sunday");
}

TEST_F(PreferencesStoreTest, ARewriteKeepsEveryOtherLineByteForByte)
{
    const QByteArray before = "; my notes: do not touch\n"
                              "[General]\n"
                              "# weekStart=tuesday was too early\n"
                              "weekStart=monday\n"
                              "city=K\xf6ln\n" // Latin-1, not UTF-8
                              "\n"
                              "[Other]\n"
                              "iconStyle=mine\n";
    writeFile(before);
    PreferencesStore store(path());
    ASSERT_TRUE(store.set("weekStart", QStringLiteral("sunday")));
    ASSERT_TRUE(store.set("iconFlipped", true));
    EXPECT_EQ(fileContent(), QByteArray("; my notes: do not touch\n"
                                        "[General]\n"
                                        "# weekStart=tuesday was too early\n"
                                        "weekStart=sunday\n"
                                        "city=K\xf6ln\n"
                                        "iconFlipped=true\n"
                                        "\n"
                                        "[Other]\n"
                                        "iconStyle=mine\n"));
    EXPECT_EQ(store.string("weekStart"), "sunday");
    EXPECT_EQ(store.boolean("iconFlipped"), true);
    EXPECT_FALSE(store.string("iconStyle")) << "another section's key is not ours";

    // A file with no [General] section gets one, at the top, where QSettings reads it.
    writeFile("[Other]\r\nx=1\r\n");
    ASSERT_TRUE(store.set("showIcon", false));
    EXPECT_EQ(fileContent(), QByteArray("[General]\r\nshowIcon=false\r\n\r\n[Other]\r\nx=1\r\n"));
    EXPECT_EQ(store.boolean("showIcon"), false);
}

// Every key of an INI file as QSettings itself reads it, from a path it has not cached.
static QMap<QString, QVariant> readByQSettings(const QByteArray& content)
{
    static int copies = 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("copy%1.conf").arg(++copies));
    writeFileText(path, content);
    QSettings settings(path, QSettings::IniFormat);
    QMap<QString, QVariant> values;
    for (const QString& key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

TEST_F(PreferencesStoreTest, AWriteReadsBackExactlyAsQSettingsReadsTheFile)
{
    const QByteArray files[] = {
        "[general]\nweekStart=sunday\n",
        "[GENERAL]\nweekStart=sunday\n[Other]\nx=1\n",
        "[ General ]\nweekStart=sunday\n",
        "[General] ; my note\nweekStart=sunday\n",
        "[General]\rweekStart=sunday\riconStyle=pill\r[Other]\ry=2\r",
        "[General]\nnote=\"unbalanced\niconStyle=pill\n", // the quote swallows the rest
        "[General]\nfoo=a\\\niconStyle=pill\n",           // a continuation, likewise
        "\xEF\xBB\xBF[Other]\nweekStart=sunday\n",        // a mark, then another section
        "\xEF\xBB\xBFiconStyle=percentage\n",
        "\xEF\xBB\xBF note=1\n",      // QSettings keeps the space of a first key after a mark
        "[General]\niconColor=white", // no newline at the end
        "[General]\niconStyle=pill ; the first\niconStyle=percentage\nz=9\n",
        "week%53tart=sunday\nicon%53tyle=pill\n[%General]\niconStyle=pill\n",
        "a=\"x;y\" ; c\n[Other]\n[general]\nb=1\r\n",
    };
    for (const QByteArray& before : files) {
        writeFile(before);
        PreferencesStore store(path());
        ASSERT_TRUE(store.set("iconStyle", QStringLiteral("circle"))) << before.constData();
        const QByteArray after = fileContent();
        QMap<QString, QVariant> expected = readByQSettings(before);
        expected.insert(QStringLiteral("iconStyle"), QStringLiteral("circle"));
        EXPECT_EQ(readByQSettings(after), expected) << before.constData() << "\n->\n"
                                                    << after.constData();
        EXPECT_EQ(store.string("iconStyle"), "circle") << before.constData();
        // The same write again changes nothing.
        ASSERT_TRUE(store.set("iconStyle", QStringLiteral("circle")));
        EXPECT_EQ(fileContent(), after) << before.constData();
    }

    // No place leaves every other key as it was: a new [General] at the top would take the
    // spaces off the first key after a mark, and the end is a continuation. The write fails.
    // Likewise with a second mark before the first key, which QSettings keeps there and drops
    // on any other line, and an open quote.
    for (const QByteArray& before : {QByteArray("\xEF\xBB\xBF note=1\nfoo=a\\"),
                                     QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFte=\"open")}) {
        writeFile(before);
        PreferencesStore store(path());
        EXPECT_FALSE(store.set("iconStyle", QStringLiteral("circle"))) << before.constData();
        EXPECT_EQ(fileContent(), before);
    }

    // Where a person would put it: in the section QSettings takes for [General], on the
    // definition it reads, after a last line that had no newline (never glued to it), with the
    // comment after the old value kept.
    const struct
    {
        QByteArray before, after;
    } placed[] = {
        {"[general]\nweekStart=sunday\n", "[general]\nweekStart=sunday\niconStyle=circle\n"},
        {"[ General ] ; mine\nx=1\n", "[ General ] ; mine\nx=1\niconStyle=circle\n"},
        {"[General]\niconStyle=pill ; my choice\n", "[General]\niconStyle=circle ; my choice\n"},
        {"icon%53tyle=pill\n[Other]\n", "iconStyle=circle\n[Other]\n"},
        {"[General]\niconColor=white", "[General]\niconColor=white\niconStyle=circle\n"},
    };
    for (const auto& file : placed) {
        writeFile(file.before);
        ASSERT_TRUE(PreferencesStore(path()).set("iconStyle", QStringLiteral("circle")));
        EXPECT_EQ(fileContent(), file.after) << file.before.constData();
    }

    // A value the file cannot hold as a plain word is refused, not reported stored.
    writeFile("[General]\n");
    EXPECT_FALSE(PreferencesStore(path()).set("weekStart", QStringLiteral("some day")));
    EXPECT_EQ(fileContent(), QByteArray("[General]\n"));
}

TEST_F(PreferencesStoreTest, EachVersionLooksNewToAReaderOfAnyEarlierOne)
{
    // A reader that last read a version with this size and millisecond must not take a later
    // one for it: every write is stamped after the version it replaces, even where the clock
    // says otherwise (as it does within one millisecond).
    writeFile("[General]\niconStyle=pill\n");
    const auto stampMs = [this] { return QFileInfo(path()).lastModified().toMSecsSinceEpoch(); };
    QFile stamp(path());
    ASSERT_TRUE(stamp.open(QIODevice::ReadWrite));
    ASSERT_TRUE(stamp.setFileTime(QDateTime::currentDateTimeUtc().addSecs(3600),
                                  QFileDevice::FileModificationTime));
    stamp.close();
    PreferencesStore reader(path());
    EXPECT_EQ(reader.string("iconStyle"), "pill");
    qint64 previous = stampMs();
    PreferencesStore writer(path());
    for (const char* style : {"circle", "percentage", "pill", "circle"}) {
        ASSERT_TRUE(writer.set("iconStyle", QString::fromLatin1(style)));
        EXPECT_GT(stampMs(), previous) << style;
        previous = stampMs();
    }
    EXPECT_EQ(reader.string("iconStyle"), "circle");
}

TEST_F(PreferencesStoreTest, ThePassesOfTheEventLoopEachLookAtTheFileOnceAndWritesShowAtOnce)
{
    // The reads of one wake-up (the icon's and the calculator's at each second) share one look
    // at the file; what another program writes shows at the next pass, what this one writes
    // through any store at the next read.
    writeFile("[General]\niconStyle=pill\n");
    PreferencesStore reader(path());
    PreferencesStore writer(path());
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        EXPECT_EQ(reader.string("iconStyle"), "pill");
        writeFile("[General]\niconStyle=circle\n");
        EXPECT_EQ(reader.string("iconStyle"), "pill") << "looked at twice in one pass";
        ASSERT_TRUE(writer.set("iconFlipped", true));
        EXPECT_EQ(reader.boolean("iconFlipped"), true) << "this program's write not seen";
        EXPECT_EQ(reader.string("iconStyle"), "circle");
        writeFile("[General]\niconStyle=percentage\n");
        QTimer::singleShot(10, &loop, [&] {
            EXPECT_EQ(reader.string("iconStyle"), "percentage") << "the next pass did not look";
            loop.quit();
        });
    });
    loop.exec();
    // Outside a running event loop every read looks.
    writeFile("[General]\niconStyle=circle\n");
    EXPECT_EQ(reader.string("iconStyle"), "circle");
}

TEST_F(PreferencesStoreTest, AFileReachedThroughALinkIsReadAndWrittenThroughIt)
{
    // As dotfile managers keep it: the file elsewhere, a symbolic link in its place.
    const QString target = m_dir.filePath(QStringLiteral("dotfiles/horalis.conf"));
    ASSERT_TRUE(writeFileText(target, "[General]\nweekStart=friday\n"));
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("horalis"))));
    ASSERT_TRUE(QFile::link(target, path()));
    PreferencesStore store(path());
    EXPECT_EQ(store.string("weekStart"), "friday");
    ASSERT_TRUE(store.set("weekStart", QStringLiteral("sunday")));
    EXPECT_EQ(store.string("weekStart"), "sunday");
    EXPECT_EQ(QFileInfo(path()).symLinkTarget(), target) << "the link is kept";
    EXPECT_EQ(fileText(target), QByteArray("[General]\nweekStart=sunday\n"));
}

TEST_F(PreferencesStoreTest, ALockLeftEmptyByAKilledWriterIsClearedAfterAMoment)
{
    writeFile("[General]\n");
    const QString lock = path() + QStringLiteral(".lock");
    ASSERT_TRUE(writeFileText(lock, ""));
    PreferencesStore store(path());
    // Just made: a writer may be about to fill it in, so it is respected. A few seconds old,
    // it is not (QLockFile alone would refuse every write for 30 seconds).
    EXPECT_FALSE(store.set("weekStart", QStringLiteral("sunday")));
    QFile stamp(lock);
    ASSERT_TRUE(stamp.open(QIODevice::ReadWrite));
    ASSERT_TRUE(stamp.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-5),
                                  QFileDevice::FileModificationTime));
    stamp.close();
    EXPECT_TRUE(store.set("weekStart", QStringLiteral("sunday")));
    EXPECT_EQ(store.string("weekStart"), "sunday");
}

TEST(PreferencesStoreHome, FollowsTheXdgRulesAndWritesNothingWithoutAHome)
{
    const QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    const QString home = QString::fromLocal8Bit(qgetenv("HOME"));
    ScopedEnv restoreConfig("XDG_CONFIG_HOME", config.toStdString());
    ScopedEnv restoreHome("HOME", home.toStdString());
    EXPECT_EQ(PreferencesStore::standardFilePath(), config + "/horalis/horalis.conf");

    ::setenv("XDG_CONFIG_HOME", "relative/config", 1); // ignored, as the rules require
    EXPECT_EQ(PreferencesStore::standardFilePath(), home + "/.config/horalis/horalis.conf");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(PreferencesStore::standardFilePath(), home + "/.config/horalis/horalis.conf");

    for (const char* noHome : {"relative/home", "", "/"}) {
        ::setenv("HOME", noHome, 1);
        EXPECT_EQ(PreferencesStore::standardFilePath(), QString()) << noHome;
    }
    ::unsetenv("HOME");
    EXPECT_EQ(PreferencesStore::standardFilePath(), QString());
    PreferencesStore store;
    EXPECT_FALSE(store.set("weekStart", QStringLiteral("sunday")));
    EXPECT_FALSE(store.string("weekStart"));
}
