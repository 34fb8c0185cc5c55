#include "Horalis/Settings/Settings.h"
#include "Horalis/Settings/IconColor.h"
#include "Horalis/Settings/IconStyle.h"
#include "Horalis/Settings/PreferenceKeys.h"
#include "Horalis/Settings/WeekStart.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("horalis.conf")); }
    std::unique_ptr<Settings> launch()
    {
        return std::make_unique<Settings>(std::make_unique<PreferencesStore>(path()));
    }
    QStringList storedKeys() const
    {
        QSettings file(path(), QSettings::IniFormat);
        return file.allKeys();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsTest, FirstLaunchWritesExactlyTwoKeys)
{
    const auto settings = launch();
    QStringList keys = storedKeys();
    keys.sort();
    EXPECT_EQ(keys, QStringList({"hasLaunchedBefore", "showIcon"}));
    EXPECT_TRUE(settings->showIcon());
    EXPECT_EQ(settings->defaults().boolean(Settings::hasLaunchedKey), true);
}

TEST_F(SettingsTest, LaterLaunchesWriteNothing)
{
    launch()->defaults().set(PreferenceKeys::showIcon, false);
    const auto again = launch();
    EXPECT_FALSE(again->showIcon());

    // Deleting the first-launch flag restores the icon at the next start.
    again->defaults().remove(PreferenceKeys::hasLaunchedBefore);
    EXPECT_TRUE(launch()->showIcon());
}

TEST_F(SettingsTest, ShowIconIsTrueWhenMissingOrNoBoolean)
{
    const auto settings = launch();
    settings->defaults().remove(PreferenceKeys::showIcon);
    EXPECT_TRUE(settings->showIcon());
    settings->defaults().set(PreferenceKeys::showIcon, QStringLiteral("no"));
    EXPECT_TRUE(settings->showIcon());
    settings->defaults().set(PreferenceKeys::showIcon, false);
    EXPECT_FALSE(settings->showIcon());
}

TEST(Enumerations, RawValuesMatchExactly)
{
    EXPECT_EQ(WeekStart::fromRawValue("sunday"), WeekStart::sunday);
    EXPECT_EQ(WeekStart::fromRawValue("saturday"), WeekStart::saturday);
    for (const char* text : {"Monday", "", "monday ", "MONDAY"})
        EXPECT_FALSE(WeekStart::fromRawValue(text)) << text;
    EXPECT_EQ(WeekStart::allCases().front(), WeekStart::sunday);
    EXPECT_EQ(WeekStart(WeekStart::wednesday).displayName(), "Wednesday");
    EXPECT_EQ(WeekStart(WeekStart::friday).rawValue(), "friday");

    EXPECT_EQ(IconStyle::fromRawValue("percentage"), IconStyle::percentage);
    EXPECT_FALSE(IconStyle::fromRawValue("Pill"));
    const auto styles = IconStyle::allCases();
    EXPECT_EQ(styles[0], IconStyle::pill);
    EXPECT_EQ(styles[1], IconStyle::circle);
    EXPECT_EQ(styles[2], IconStyle::percentage);
    EXPECT_EQ(QSet<IconStyle>({IconStyle::pill, IconStyle::pill}).size(), 1);

    // The stored forms of "iconColor", as the README gives them.
    const std::pair<const char*, IconColor> colors[] = {
        {"auto", IconColor::automatic}, {"black", IconColor::black}, {"white", IconColor::white}};
    for (const auto& [raw, color] : colors) {
        EXPECT_EQ(IconColor::fromRawValue(raw), color) << raw;
        EXPECT_EQ(color.rawValue(), raw);
    }
    for (const char* text : {"Auto", "automatic", "", "dark"})
        EXPECT_FALSE(IconColor::fromRawValue(text)) << text;
}
