#include "Horalis/Settings/Settings.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

// The preferences file as a user or another program sees it.
class SettingsTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("horalis.conf")); }
    std::unique_ptr<Settings> launch()
    {
        return std::make_unique<Settings>(std::make_unique<PreferencesStore>(path()));
    }
    QByteArray file() const { return fileText(path()); }
    void writeFile(const QByteArray& content) const { ASSERT_TRUE(writeFileText(path(), content)); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsTest, FirstLaunchWritesExactlyTheTwoFlags)
{
    const auto settings = launch();
    EXPECT_EQ(file(), "[General]\nshowIcon=true\nhasLaunchedBefore=true\n");
    EXPECT_TRUE(settings->showIcon());
    EXPECT_EQ(settings->value(Preferences::weekStart), WeekStart::monday);
    EXPECT_EQ(settings->value(Preferences::iconStyle), IconStyle::pill);
    EXPECT_EQ(settings->value(Preferences::iconColor), IconColor::automatic);
    EXPECT_FALSE(settings->value(Preferences::iconFlipped));
    EXPECT_FALSE(settings->value(Preferences::launchAtLogin));

    // Later launches write nothing; a deleted first-launch flag brings the icon back.
    writeFile("[General]\nshowIcon=false\nhasLaunchedBefore=true\n");
    EXPECT_FALSE(launch()->showIcon());
    EXPECT_EQ(file(), "[General]\nshowIcon=false\nhasLaunchedBefore=true\n");
    writeFile("[General]\nshowIcon=false\n");
    EXPECT_TRUE(launch()->showIcon());
}

TEST_F(SettingsTest, EveryChoiceIsStoredAsItsTextAndReadBack)
{
    const auto settings = launch();
    const auto roundTrips = [&](const auto& preference, auto choice, const char* line) {
        ASSERT_TRUE(settings->set(preference, choice));
        EXPECT_TRUE(file().contains(QByteArray(line) + '\n')) << line << "\n" << file().data();
        EXPECT_EQ(settings->value(preference), choice) << line;
    };
    const char* const days[] = {"weekStart=sunday",    "weekStart=monday",   "weekStart=tuesday",
                                "weekStart=wednesday", "weekStart=thursday", "weekStart=friday",
                                "weekStart=saturday"};
    ASSERT_EQ(WeekStart::allCases().size(), 7u);
    for (WeekStart day : WeekStart::allCases())
        roundTrips(Preferences::weekStart, day, days[day.value()]);
    EXPECT_EQ(WeekStart::allCases().front(), WeekStart::sunday);

    const char* const styles[] = {"iconStyle=pill", "iconStyle=circle", "iconStyle=percentage"};
    ASSERT_EQ(IconStyle::allCases().size(), 3u);
    for (IconStyle style : IconStyle::allCases())
        roundTrips(Preferences::iconStyle, style, styles[style.value()]);

    const char* const colors[] = {"iconColor=auto", "iconColor=black", "iconColor=white"};
    for (IconColor color : IconColor::allCases())
        roundTrips(Preferences::iconColor, color, colors[color.value()]);

    // Rewrites of the same size in quick succession, each seen at once.
    for (int i = 0; i < 40; ++i)
        roundTrips(Preferences::iconColor, IconColor(i % 2 ? IconColor::white : IconColor::black),
                   i % 2 ? "iconColor=white" : "iconColor=black");

    roundTrips(Preferences::iconFlipped, true, "iconFlipped=true");
    roundTrips(Preferences::iconFlipped, false, "iconFlipped=false");
    roundTrips(Preferences::launchAtLogin, true, "launchAtLogin=true");
    roundTrips(Preferences::launchAtLogin, false, "launchAtLogin=false");
}

TEST_F(SettingsTest, TextsThatAreNoStoredFormReadAsTheDefault)
{
    const auto settings = launch();
    // A list, a typed value QSettings wrote, words that are no boolean.
    writeFile("[General]\nhasLaunchedBefore=true\nweekStart=sunday, monday\niconStyle=Circle\n"
              "iconColor=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x18QGarbage)\niconFlipped=yes\n"
              "showIcon=no\nlaunchAtLogin=1\n");
    EXPECT_EQ(settings->value(Preferences::weekStart), WeekStart::monday);
    EXPECT_EQ(settings->value(Preferences::iconStyle), IconStyle::pill);
    EXPECT_EQ(settings->value(Preferences::iconColor), IconColor::automatic);
    EXPECT_FALSE(settings->value(Preferences::iconFlipped));
    EXPECT_TRUE(settings->showIcon());
    EXPECT_FALSE(settings->value(Preferences::launchAtLogin));
    for (const char* text : {"Monday", "", "monday ", "MONDAY", "lundi"})
        EXPECT_FALSE(WeekStart::fromRawValue(QString::fromLatin1(text))) << text;
    EXPECT_EQ(QString::fromLatin1(WeekStart(WeekStart::wednesday).displayName()), "Wednesday");
}
