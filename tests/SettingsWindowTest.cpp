#include "Horalis/Settings/Settings.h"
#include "Horalis/settings_window/GeneralSettings.h"
#include "Horalis/settings_window/MenuBarSettings.h"
#include "Horalis/settings_window/SettingsView.h"
#include "platform/PreferencesStore.h"
#include "support/Files.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

class SettingsWindowTest : public ::testing::Test
{
protected:
    std::unique_ptr<SettingsView> open()
    {
        auto view = std::make_unique<SettingsView>(m_settings, [this](bool enabled) {
            m_calls.push_back(enabled);
            return m_failure;
        });
        view->show();
        return view;
    }
    QByteArray file() const { return fileText(m_path); }

    QTemporaryDir m_dir;
    // The file as another program sees it, and the settings the window works on.
    QString m_path = m_dir.filePath(QStringLiteral("horalis.conf"));
    PreferencesStore m_store{m_path};
    Settings m_settings{std::make_unique<PreferencesStore>(m_path)};
    std::vector<bool> m_calls;
    std::optional<QString> m_failure;
};

} // namespace

// The pictures pin each tab's texts, layout and the defaults an empty file shows.
TEST_F(SettingsWindowTest, TabsAndDefaultsOnAnEmptyStoreLookAsTheirPictures)
{
    const QByteArray before = file();
    const auto view = open();
    EXPECT_EQ(view->size(), QSize(480, 280));
    ASSERT_EQ(view->tabs()->count(), 2);
    EXPECT_EQ(view->tabs()->currentIndex(), 0);
    expectLooksLikeGolden(view->grab().toImage(), QStringLiteral("settings-general.png"));
    view->tabs()->setCurrentIndex(1);
    expectLooksLikeGolden(view->grab().toImage(), QStringLiteral("settings-menubar.png"));
    EXPECT_EQ(view->menuBar()->flipToggle()->toolTip(),
              "Show progress from full to empty instead of empty to full");
    EXPECT_EQ(view->general()->weekStartPicker()->count(), 7);
    EXPECT_EQ(file(), before) << "opening writes nothing";
    EXPECT_TRUE(m_calls.empty()) << "opening registers nothing";
}

TEST_F(SettingsWindowTest, UnknownStoredTextsShowDefaultsWithoutBeingWritten)
{
    m_store.set(QStringLiteral("iconStyle"), QStringLiteral("Circle"));
    m_store.set(QStringLiteral("weekStart"), QStringLiteral("Sunday"));
    const auto view = open();
    EXPECT_TRUE(view->menuBar()->styleGroup()->buttons()[0]->isChecked());
    EXPECT_EQ(view->general()->weekStartPicker()->currentText(), "Monday");
    EXPECT_EQ(m_store.string(QStringLiteral("iconStyle")), "Circle");
    EXPECT_EQ(m_store.string(QStringLiteral("weekStart")), "Sunday");
}

TEST_F(SettingsWindowTest, FlipToggleIsHiddenOnlyForPercentage)
{
    m_store.set(QStringLiteral("iconFlipped"), true);
    const auto view = open();
    view->tabs()->setCurrentIndex(1);
    MenuBarSettings* menuBar = view->menuBar();
    QCheckBox* flip = menuBar->flipToggle();
    EXPECT_TRUE(flip->isVisible());
    EXPECT_TRUE(flip->isChecked());
    menuBar->styleGroup()->buttons()[2]->click();
    EXPECT_EQ(m_store.string(QStringLiteral("iconStyle")), "percentage");
    EXPECT_FALSE(flip->isVisible());
    menuBar->styleGroup()->buttons()[1]->click();
    EXPECT_EQ(m_store.string(QStringLiteral("iconStyle")), "circle");
    EXPECT_TRUE(flip->isVisible());
    EXPECT_TRUE(flip->isChecked());
    EXPECT_EQ(m_store.boolean(QStringLiteral("iconFlipped")), true) << "hiding changes nothing";
    flip->click();
    EXPECT_EQ(m_store.boolean(QStringLiteral("iconFlipped")), false);
}

TEST_F(SettingsWindowTest, ChoosingTheShownDayWritesNothing)
{
    const auto view = open();
    QComboBox* picker = view->general()->weekStartPicker();
    emit picker->activated(1); // Monday, already shown
    EXPECT_FALSE(m_store.string(QStringLiteral("weekStart")));
    picker->setCurrentIndex(0);
    emit picker->activated(0);
    EXPECT_EQ(m_store.string(QStringLiteral("weekStart")), "sunday");
}

TEST_F(SettingsWindowTest, StoreChangesFromElsewhereShowWithinASecond)
{
    const auto view = open();
    PreferencesStore other(m_path); // as another program would
    other.set(QStringLiteral("weekStart"), QStringLiteral("friday"));
    other.set(QStringLiteral("iconStyle"), QStringLiteral("percentage"));
    other.set(QStringLiteral("launchAtLogin"), true);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return view->general()->weekStartPicker()->currentText() == "Friday" &&
                   view->menuBar()->styleGroup()->buttons()[2]->isChecked() &&
                   view->general()->launchAtLoginToggle()->isChecked();
        },
        1500));
    EXPECT_TRUE(m_calls.empty()) << "a stored change is no request to register";
}

TEST_F(SettingsWindowTest, ToggleRegistersOnlyOnUserChangesAndShowsFailures)
{
    m_store.set(QStringLiteral("launchAtLogin"), true);
    const auto view = open();
    EXPECT_TRUE(m_calls.empty()) << "opening with the toggle on makes no call";
    QCheckBox* toggle = view->general()->launchAtLoginToggle();
    QLabel* failure = view->general()->failureLine();
    toggle->click();
    toggle->click();
    EXPECT_EQ(m_calls, (std::vector<bool>{false, true}));

    m_failure = QStringLiteral("Failed to configure launch at login: no room");
    toggle->click();
    EXPECT_FALSE(toggle->isChecked()) << "the user's choice stays";
    EXPECT_EQ(m_store.boolean(QStringLiteral("launchAtLogin")), false);
    EXPECT_TRUE(failure->isVisible());
    EXPECT_EQ(failure->text(), *m_failure);
    m_failure.reset();
    toggle->click();
    EXPECT_FALSE(failure->isVisible()) << "until the next change";
    EXPECT_EQ(m_calls.size(), 4u);
}
