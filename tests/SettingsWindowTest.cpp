#include "Horalis/app/SettingsWindow.h"
#include "Horalis/Settings/Settings.h"
#include "Horalis/settings_window/GeneralSettings.h"
#include "Horalis/settings_window/MenuBarSettings.h"
#include "Horalis/settings_window/SettingsView.h"
#include "platform/desktop/AccessibleApplication.h"
#include "platform/desktop/SemanticColors.h"
#include "platform/session/LoginItem.h"
#include "platform/store/PreferencesStore.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTabBar>
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
    ASSERT_EQ(view->findChild<QTabWidget*>()->count(), 2);
    EXPECT_EQ(view->findChild<QTabWidget*>()->currentIndex(), 0);
    expectLooksLikeGolden(view->grab().toImage(), QStringLiteral("settings-general.png"));
    view->findChild<QTabWidget*>()->setCurrentIndex(1);
    expectLooksLikeGolden(view->grab().toImage(), QStringLiteral("settings-menubar.png"));
    EXPECT_EQ(namedPart<QCheckBox>(*view, "iconFlipped")->toolTip(),
              "Show progress from full to empty instead of empty to full");
    EXPECT_EQ(namedPart<QComboBox>(*view, "weekStart")->count(), 7);
    EXPECT_EQ(file(), before) << "opening writes nothing";
    EXPECT_TRUE(m_calls.empty()) << "opening registers nothing";
}

// On a dark desktop: the palette Horalis puts on then.
TEST_F(SettingsWindowTest, TheDarkStyleLooksAsItsPictures)
{
    const QPalette usual = QApplication::palette();
    QApplication::setPalette(SemanticColors::darkPalette());
    {
        const auto view = open();
        expectLooksLikeGolden(view->grab().toImage(), QStringLiteral("settings-general-dark.png"));
        view->findChild<QTabWidget*>()->setCurrentIndex(1);
        expectLooksLikeGolden(view->grab().toImage(), QStringLiteral("settings-menubar-dark.png"));
    }
    QApplication::setPalette(usual);
}

TEST_F(SettingsWindowTest, UnknownStoredTextsShowDefaultsWithoutBeingWritten)
{
    m_store.set(QStringLiteral("iconStyle"), QStringLiteral("Circle"));
    m_store.set(QStringLiteral("weekStart"), QStringLiteral("Sunday"));
    const auto view = open();
    EXPECT_TRUE(namedPart<QButtonGroup>(*view, "iconStyle")->buttons()[0]->isChecked());
    EXPECT_EQ(namedPart<QComboBox>(*view, "weekStart")->currentText(), "Monday");
    EXPECT_EQ(m_store.string(QStringLiteral("iconStyle")), "Circle");
    EXPECT_EQ(m_store.string(QStringLiteral("weekStart")), "Sunday");
}

TEST_F(SettingsWindowTest, FlipToggleIsHiddenOnlyForPercentage)
{
    m_store.set(QStringLiteral("iconFlipped"), true);
    const auto view = open();
    view->findChild<QTabWidget*>()->setCurrentIndex(1);
    QCheckBox* flip = namedPart<QCheckBox>(*view, "iconFlipped");
    QButtonGroup* styles = namedPart<QButtonGroup>(*view, "iconStyle");
    EXPECT_TRUE(flip->isVisible());
    EXPECT_TRUE(flip->isChecked());
    styles->buttons()[2]->click();
    EXPECT_EQ(m_store.string(QStringLiteral("iconStyle")), "percentage");
    EXPECT_FALSE(flip->isVisible());
    styles->buttons()[1]->click();
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
    QComboBox* picker = namedPart<QComboBox>(*view, "weekStart");
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
            return namedPart<QComboBox>(*view, "weekStart")->currentText() == "Friday" &&
                   namedPart<QButtonGroup>(*view, "iconStyle")->buttons()[2]->isChecked() &&
                   namedPart<QCheckBox>(*view, "launchAtLogin")->isChecked();
        },
        1500));
    EXPECT_TRUE(m_calls.empty()) << "a stored change is no request to register";
    // An editor that writes the file in place, not by rename.
    ASSERT_TRUE(writeFileText(m_path, "[General]\nweekStart=sunday\n"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return namedPart<QComboBox>(*view, "weekStart")->currentText() == "Sunday"; }, 1500));
}

TEST_F(SettingsWindowTest, ToggleRegistersOnlyOnUserChangesAndShowsFailures)
{
    m_store.set(QStringLiteral("launchAtLogin"), true);
    const auto view = open();
    EXPECT_TRUE(m_calls.empty()) << "opening with the toggle on makes no call";
    QCheckBox* toggle = namedPart<QCheckBox>(*view, "launchAtLogin");
    QLabel* failure = namedPart<QLabel>(*view, "launchAtLoginFailure");
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

namespace {

// Lets a change of font reach every layout, which passes it up one level at a time.
void settle()
{
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Whether every control shown inside `root` has at least the room it asks for.
void expectNothingCut(QWidget* root, const char* where)
{
    for (QWidget* control : root->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(root) ||
            !(qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
              qobject_cast<QLabel*>(control)))
            continue;
        const QSize wanted = control->hasHeightForWidth()
                                 ? QSize(control->minimumSizeHint().width(),
                                         control->heightForWidth(control->width()))
                                 : control->sizeHint();
        EXPECT_GE(control->width(), wanted.width())
            << where << ": " << control->metaObject()->className();
        EXPECT_GE(control->height(), wanted.height())
            << where << ": " << control->metaObject()->className();
        const QRect inRoot(control->mapTo(root, QPoint()), control->size());
        EXPECT_TRUE(root->rect().contains(inRoot))
            << where << ": " << control->metaObject()->className();
    }
}

} // namespace

TEST_F(SettingsWindowTest, ExactlyItsSizeAtTheUsualFontLargerWithALargeOneAndNothingCut)
{
    SettingsWindow window(new SettingsView(m_settings, {}));
    window.show();
    EXPECT_EQ(window.size(), QSize(480, 280));
    auto* tabs = window.findChild<QTabWidget*>();
    for (int tab : {1, 0}) {
        tabs->setCurrentIndex(tab);
        settle();
        expectNothingCut(&window, "usual font");
    }

    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSize(20);
    QApplication::setFont(large);
    settle();
    EXPECT_GT(window.height(), 280);
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "still not resizable";
    for (int tab : {1, 0}) {
        tabs->setCurrentIndex(tab);
        settle();
        expectNothingCut(&window, "20 pt");
        if (const QString shots = qEnvironmentVariable("HORALIS_SCREENSHOTS"); !shots.isEmpty())
            window.grab().save(QStringLiteral("%1/settings-20pt-%2.png").arg(shots).arg(tab));
    }
    QApplication::setFont(usual);
    settle();
    EXPECT_EQ(window.size(), QSize(480, 280));
}

TEST_F(SettingsWindowTest, EscapeOrCtrlWClosesTheWindow)
{
    for (const auto& [key, modifiers] :
         {std::pair(Qt::Key_Escape, Qt::NoModifier), std::pair(Qt::Key_W, Qt::ControlModifier)}) {
        QPointer<SettingsWindow> window = new SettingsWindow(new SettingsView(m_settings, {}));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window.data(), key,
                        modifiers);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window.isNull()) << QKeySequence(key | modifiers).toString().toStdString();
        delete window.data();
    }
}

TEST_F(SettingsWindowTest, AScreenReaderFindsTheWindowAndTabFollowsTheScreen)
{
    AccessibleApplication::install();
    SettingsWindow window(new SettingsView(m_settings, {}));
    window.show();
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&window);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), "Settings");

    auto* tabs = window.findChild<QTabWidget*>();
    for (int tab : {0, 1}) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        // From the tab bar round the focus chain: each stop below the one before.
        QWidget* at = tabs->tabBar();
        int lastY = -1;
        int stops = 0;
        for (at = at->nextInFocusChain(); at != tabs->tabBar(); at = at->nextInFocusChain()) {
            if (!at->isVisibleTo(&window) || !(at->focusPolicy() & Qt::TabFocus) ||
                !tabs->currentWidget()->isAncestorOf(at))
                continue;
            const int y = at->mapTo(&window, QPoint()).y();
            EXPECT_GT(y, lastY) << "tab " << tab << ": " << at->metaObject()->className();
            lastY = y;
            ++stops;
        }
        EXPECT_EQ(stops, tab == 0 ? 2 : 5);
    }
}

TEST_F(SettingsWindowTest, AFailureIsAnAlertAndTheToggleDescribesWhatIsBelowIt)
{
    const auto view = open();
    QCheckBox* toggle = namedPart<QCheckBox>(*view, "launchAtLogin");
    EXPECT_EQ(toggle->accessibleDescription(), "Automatically start Horalis when you log in");
    m_failure = QStringLiteral("Failed to configure launch at login: no room");
    toggle->click();
    QAccessibleInterface* line =
        QAccessible::queryAccessibleInterface(namedPart<QLabel>(*view, "launchAtLoginFailure"));
    EXPECT_EQ(line->role(), QAccessible::AlertMessage);
    EXPECT_EQ(line->text(QAccessible::Name), *m_failure);
    EXPECT_EQ(toggle->accessibleDescription(), *m_failure);
    m_failure.reset();
    toggle->click();
    EXPECT_FALSE(namedPart<QLabel>(*view, "launchAtLoginFailure")->isVisible());
    EXPECT_EQ(toggle->accessibleDescription(), "Automatically start Horalis when you log in");
}

// The toggle, the stored value and the autostart entry agree after every click, whether or not
// the preferences can be stored.
TEST_F(SettingsWindowTest, TheToggleTheStoredValueAndTheEntryNeverDisagree)
{
    const QString entry = LoginItem::entryPath();
    ASSERT_FALSE(entry.isEmpty());
    const auto clickThrough = [&](Settings& settings, bool storable) {
        SettingsView view(settings, configureLaunchAtLogin);
        view.show();
        QCheckBox* toggle = namedPart<QCheckBox>(view, "launchAtLogin");
        for (bool wanted : {true, false, true, false}) {
            toggle->click();
            const bool on = storable && wanted;
            EXPECT_EQ(toggle->isChecked(), on) << "storable " << storable << ", wanted " << wanted;
            EXPECT_EQ(settings.value(Preferences::launchAtLogin), on);
            EXPECT_EQ(QFile::exists(entry), on);
        }
    };
    // A folder where the file should be: nothing can be stored.
    const QString blocked = m_dir.filePath(QStringLiteral("blocked.conf"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    Settings unwritable(std::make_unique<PreferencesStore>(blocked));
    clickThrough(unwritable, false);
    clickThrough(m_settings, true);
}
