#include "Horalis/app/AppDelegate.h"
#include "Horalis/Settings/Settings.h"
#include "Horalis/app/SettingsWindow.h"
#include "Horalis/menubar/MenuBarManager.h"
#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/settings_window/SettingsView.h"
#include "platform/desktop/Popover.h"
#include "support/Files.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTabWidget>

namespace {
void deliverDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

TEST(AppDelegate, FirstLaunchKeysExistBeforeTheTrayItem)
{
    // Whichever test comes first makes the shared settings; the flags stay in the file.
    AppDelegate delegate;
    EXPECT_EQ(fileText(PreferencesStore::standardFilePath()),
              "[General]\nshowIcon=true\nhasLaunchedBefore=true\n");
    EXPECT_EQ(delegate.menuBarManager(), nullptr);
    EXPECT_FALSE(delegate.calculator()->timeRemainingText().isEmpty());

    delegate.applicationDidFinishLaunching();
    ASSERT_NE(delegate.menuBarManager(), nullptr);
    EXPECT_FALSE(delegate.menuBarManager()->statusItem()->image().isNull());
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::none_of(windows.begin(), windows.end(), [](QWidget* w) {
        return w->isVisible();
    })) << "no window at start";
}

TEST(AppDelegate, OneSettingsWindowAtMostAndAFreshOneAfterClosing)
{
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    QCoreApplication::processEvents();
    Popover* popover = topLevelWindow<Popover>();
    delegate.menuBarManager()->togglePopover();
    ASSERT_TRUE(popover->isShown());

    delegate.menuBarManager()->openSettingsMenu();
    EXPECT_FALSE(popover->isShown()) << "the panel closes first";
    QPointer<QWidget> first = delegate.settingsWindow();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), "Settings");
    EXPECT_EQ(first->size(), QSize(480, 280));
    EXPECT_EQ(first->minimumSize(), first->maximumSize()) << "not resizable";
    EXPECT_FALSE(first->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(first->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((first->geometry().center() - screen.center()).manhattanLength(), 4);

    // A second request brings the same window forward, where it is, on the tab it shows.
    first->findChild<QTabWidget*>()->setCurrentIndex(1);
    first->move(10, 10);
    first->setWindowState(Qt::WindowMinimized);
    delegate.openSettingsWindow();
    EXPECT_EQ(delegate.settingsWindow(), first.data());
    EXPECT_FALSE(first->windowState() & Qt::WindowMinimized) << "a minimised window comes back";
    EXPECT_EQ(first->pos(), QPoint(10, 10));
    EXPECT_EQ(first->findChild<QTabWidget*>()->currentIndex(), 1);

    first->close();
    deliverDeferredDeletes();
    EXPECT_TRUE(first.isNull()) << "closing releases the window";
    EXPECT_EQ(delegate.settingsWindow(), nullptr);
    EXPECT_NE(delegate.menuBarManager(), nullptr) << "closing never quits";

    delegate.openSettingsWindow();
    ASSERT_TRUE(delegate.settingsWindow());
    EXPECT_EQ(delegate.settingsWindow()->findChild<QTabWidget*>()->currentIndex(), 0);
    EXPECT_LE((delegate.settingsWindow()->geometry().center() - screen.center()).manhattanLength(),
              4);
}
