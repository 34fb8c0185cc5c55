#include "platform/PreferencesStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

namespace {

class PreferencesStoreTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("horalis/horalis.conf")); }

    // Writes the file as another program would, behind the store's back.
    void writeFile(const QByteArray& content)
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("horalis")));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        // A new size or time stamp is how a change is noticed; make sure the stamp moves.
        file.setFileTime(QDateTime::currentDateTime().addSecs(++m_stamp),
                         QFileDevice::FileModificationTime);
    }

    QByteArray fileContent() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    int m_stamp = 0;
};

} // namespace

TEST_F(PreferencesStoreTest, StoresTextsAndBooleansOnDiskAtOnce)
{
    PreferencesStore store(path());
    EXPECT_FALSE(store.object("weekStart"));
    EXPECT_FALSE(store.boolValue("iconFlipped"));
    ASSERT_TRUE(store.set("weekStart", QStringLiteral("sunday")));
    ASSERT_TRUE(store.set("iconFlipped", true));
    EXPECT_EQ(store.string("weekStart"), "sunday");
    EXPECT_EQ(store.boolean("iconFlipped"), true);

    // Another reader of the file, with no shared memory of the writes, sees them.
    const QByteArray content = fileContent();
    EXPECT_TRUE(content.contains("weekStart=sunday")) << content.constData();
    EXPECT_TRUE(content.contains("iconFlipped=true")) << content.constData();

    ASSERT_TRUE(store.remove("weekStart"));
    EXPECT_FALSE(store.object("weekStart"));
    EXPECT_FALSE(fileContent().contains("weekStart"));
}

TEST_F(PreferencesStoreTest, SeesChangesMadeByAnotherProcess)
{
    PreferencesStore store(path());
    ASSERT_TRUE(store.set("showIcon", true));
    writeFile("[General]\nshowIcon=false\niconStyle=circle\n");
    EXPECT_EQ(store.boolean("showIcon"), false);
    EXPECT_EQ(store.string("iconStyle"), "circle");
    writeFile("[General]\niconStyle=percentage\n");
    EXPECT_FALSE(store.object("showIcon"));
    EXPECT_EQ(store.string("iconStyle"), "percentage");
    QFile::remove(path());
    EXPECT_FALSE(store.object("iconStyle"));
}

TEST_F(PreferencesStoreTest, WrongTypesReadAsMissing)
{
    writeFile("[General]\nshowIcon=yes\niconFlipped=1\nweekStart=sunday, monday\n"
              "iconStyle=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x18QGarbage)\nlaunchAtLogin=true\n");
    PreferencesStore store(path());
    EXPECT_FALSE(store.boolean("showIcon"));
    EXPECT_FALSE(store.boolean("iconFlipped"));
    EXPECT_FALSE(store.string("weekStart")) << "a list is no text";
    EXPECT_FALSE(store.string("iconStyle"));
    EXPECT_EQ(store.boolean("launchAtLogin"), true);
    EXPECT_EQ(store.string("launchAtLogin"), "true") << "the file keeps booleans as words";
}

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
    EXPECT_FALSE(store.object("weekStart"));
    writeFile(QByteArray(4096, '\0'));
    EXPECT_FALSE(store.object("weekStart"));
}

TEST_F(PreferencesStoreTest, AWriteThatCannotReachTheDiskIsReportedAndNotRemembered)
{
    // A folder where the file should be.
    QDir().mkpath(path());
    PreferencesStore store(path());
    EXPECT_FALSE(store.object("weekStart"));
    EXPECT_FALSE(store.set("weekStart", QStringLiteral("sunday")));
    EXPECT_FALSE(store.object("weekStart"));

    // A config folder that cannot be created, because a file stands in its way.
    QFile blocker(m_dir.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PreferencesStore blocked(m_dir.filePath(QStringLiteral("blocked/horalis/horalis.conf")));
    EXPECT_FALSE(blocked.set("iconFlipped", true));
    EXPECT_FALSE(blocked.object("iconFlipped"));
}
