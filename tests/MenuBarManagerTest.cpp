#include "Horalis/menubar/MenuBarManager.h"
#include "Horalis/Settings/Settings.h"
#include "Horalis/menubar/StatusIcon.h"
#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/panel/ContentView.h"
#include "platform/desktop/Popover.h"
#include "support/TestTime.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

class RecordingDelegate : public MenuBarManagerDelegate
{
public:
    void openSettingsWindow() override { ++requests; }
    int requests = 0;
};

class MenuBarManagerTest : public ::testing::Test
{
protected:
    MenuBarManagerTest()
    {
        m_manager.setDelegate(&m_delegate);
        m_manager.setupMenuBar();
        QCoreApplication::processEvents(); // the panel and the timer follow the item
    }
    // The file the manager's settings read, as another program writes it.
    PreferencesStore& store() { return m_store; }
    QSize iconSize() const
    {
        return m_manager.statusItem()->image().deviceIndependentSize().toSize();
    }

    ScopedEnv m_zone{"TZ", "Etc/UTC"};
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("horalis.conf"));
    PreferencesStore m_store{m_path};
    Settings m_settings{std::make_unique<PreferencesStore>(m_path)};
    ProgressCalculator m_calculator{[] { return utc(2026, 12, 6, 6); }, m_settings};
    RecordingDelegate m_delegate;
    MenuBarManager m_manager{&m_calculator, m_settings};
};

} // namespace

TEST_F(MenuBarManagerTest, IconFollowsThePreferencesAtEachTick)
{
    EXPECT_EQ(m_manager.statusItem()->image(), makePillIcon(false, 0.25));
    store().set(QStringLiteral("showIcon"), false);
    m_manager.updateIcon();
    EXPECT_TRUE(m_manager.statusItem()->image().isNull());
    store().set(QStringLiteral("showIcon"), true);
    store().set(QStringLiteral("iconStyle"), QStringLiteral("circle"));
    store().set(QStringLiteral("iconFlipped"), true);
    m_manager.updateIcon();
    EXPECT_EQ(m_manager.statusItem()->image(), makeCircleIcon(true, 0.25));

    // The timer picks a change up by itself, within about a second.
    store().set(QStringLiteral("iconStyle"), QStringLiteral("percentage"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return iconSize().width() != 21; }, 2500));
    EXPECT_EQ(m_manager.statusItem()->image(), makePercentageIcon(0.25));
}

TEST_F(MenuBarManagerTest, LeftClickTogglesThePanelAndRightClickOpensTheMenu)
{
    Popover* popover = topLevelWindow<Popover>();
    m_manager.handleClick(StatusItem::Click::Left);
    EXPECT_TRUE(popover->isShown());
    EXPECT_EQ(popover->width(), 300);
    m_manager.handleClick(StatusItem::Click::Left);
    EXPECT_FALSE(popover->isShown());

    m_manager.handleClick(StatusItem::Click::Right);
    QPointer<QMenu> menu = openMenu();
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(popover->isShown());
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "Settings...");
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "Quit Horalis");
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    actions[0]->trigger();
    EXPECT_EQ(m_delegate.requests, 1);
    menu->close();
    EXPECT_EQ(openMenu(), nullptr);

    m_manager.handleClick(StatusItem::Click::Left);
    EXPECT_TRUE(popover->isShown());
    m_manager.handleClick(StatusItem::Click::Right);
    EXPECT_NE(openMenu(), nullptr) << "a fresh menu every time";
    EXPECT_TRUE(menu.isNull()) << "the one before is gone";
}

TEST_F(MenuBarManagerTest, SettingsRequestsNeedALivingDelegate)
{
    m_manager.openSettingsMenu();
    EXPECT_EQ(m_delegate.requests, 1);
    m_manager.setDelegate(std::make_unique<RecordingDelegate>().get()); // gone at once
    EXPECT_EQ(m_manager.delegate(), nullptr);
    m_manager.openSettingsMenu(); // does nothing, and does not crash
    EXPECT_EQ(m_delegate.requests, 1);
}

TEST_F(MenuBarManagerTest, IconColourFollowsThePreferenceAndTheToolTipTheDay)
{
    store().set(QStringLiteral("iconColor"), QStringLiteral("white"));
    m_manager.updateIcon();
    EXPECT_EQ(m_manager.statusItem()->image(), makePillIcon(false, 0.25, 0, IconInk::white));
    store().set(QStringLiteral("iconColor"), QStringLiteral("black"));
    m_manager.updateIcon();
    EXPECT_EQ(m_manager.statusItem()->image(), makePillIcon(false, 0.25));

    EXPECT_EQ(m_manager.statusItem()->toolTipText(), "25% of the day, 18h 0m remaining today");
}

TEST_F(MenuBarManagerTest, AutomaticColourIsWhiteOnABarThatIsAlwaysDark)
{
    // GNOME's top bar is dark in the light style too; "black" still means black.
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "GNOME");
    MenuBarManager onGnome(&m_calculator, m_settings);
    onGnome.setupMenuBar();
    QCoreApplication::processEvents();
    EXPECT_EQ(onGnome.statusItem()->image(), makePillIcon(false, 0.25, 0, IconInk::white));
    store().set(QStringLiteral("iconColor"), QStringLiteral("black"));
    onGnome.updateIcon();
    EXPECT_EQ(onGnome.statusItem()->image(), makePillIcon(false, 0.25));
}

TEST_F(MenuBarManagerTest, ThePanelAnswersItsShortcutsAndEscape)
{
    m_manager.togglePopover();
    Popover* popover = topLevelWindow<Popover>();
    ASSERT_TRUE(QTest::qWaitForWindowActive(popover));
    QTest::keyClick(popover, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(m_delegate.requests, 1) << "Ctrl+, opens Settings";
    QTest::keyClick(popover, Qt::Key_Escape);
    EXPECT_FALSE(popover->isShown());
}

// A host may pass a click on before the event loop has built the panel: it still opens.
TEST(MenuBarManager, AClickBeforeThePanelIsBuiltOpensIt)
{
    ScopedEnv zone("TZ", "Etc/UTC");
    ProgressCalculator calculator([] { return utc(2026, 12, 6, 6); });
    MenuBarManager manager(&calculator);
    manager.setupMenuBar();
    EXPECT_EQ(topLevelWindow<Popover>(), nullptr) << "built once the event loop runs";
    manager.togglePopover();
    ASSERT_NE(topLevelWindow<Popover>(), nullptr);
    EXPECT_TRUE(topLevelWindow<Popover>()->isShown());
    QCoreApplication::processEvents();
    EXPECT_TRUE(topLevelWindow<Popover>()->isShown()) << "built once only";
}

// In the day's last hour the panel counts seconds; the tooltip, which a host fetches the
// whole item for, changes once a minute.
TEST(MenuBarManager, TheToolTipTellsTheLastHourToTheMinute)
{
    ScopedEnv zone("TZ", "Etc/UTC");
    ProgressCalculator calculator([] { return utc(2026, 12, 6, 23, 12, 40); });
    MenuBarManager manager(&calculator);
    manager.setupMenuBar();
    EXPECT_EQ(calculator.timeRemainingText(), "47m 20s remaining today");
    EXPECT_EQ(manager.statusItem()->toolTipText(), "96% of the day, 47m remaining today");
}
