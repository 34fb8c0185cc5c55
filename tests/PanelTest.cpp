#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/panel/ContentView.h"
#include "Horalis/panel/MenuButton.h"
#include "Horalis/panel/ProgressStatRow.h"
#include "Horalis/panel/SegmentedProgressBar.h"
#include "platform/desktop/AccessibleApplication.h"
#include "platform/desktop/Popover.h"
#include "platform/desktop/SemanticColors.h"
#include "support/Golden.h"
#include "support/Palettes.h"
#include "support/TestTime.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

QString shown(const QWidget& panel, const char* name)
{
    const auto* label = namedPart<QLabel>(panel, name);
    return label ? label->text() : QStringLiteral("(no %1)").arg(QLatin1String(name));
}

std::vector<double> opacities(std::int64_t n, double p)
{
    std::vector<double> result;
    for (const auto& segment : SegmentedProgressBar::layout(268, n, p, 3))
        result.push_back(segment.opacity);
    return result;
}

} // namespace

TEST(SegmentedProgressBar, SegmentsFillFromTheLeft)
{
    using V = std::vector<double>;
    EXPECT_EQ(opacities(7, 0), V(7, 0.12));
    EXPECT_EQ(opacities(12, 1), V(12, 0.95));
    EXPECT_EQ(opacities(4, 0.5), (V{0.95, 0.95, 0.12, 0.12}));
    // Just begun, the segment in progress is fainter than those to come.
    EXPECT_NEAR(opacities(4, 0.26)[1], 0.04 * 0.95, 1e-9);
    EXPECT_LT(opacities(4, 0.26)[1], 0.12);
    const auto nearlyFull = opacities(12, 0.999);
    EXPECT_EQ(std::count(nearlyFull.begin(), nearlyFull.end(), 0.95), 11);
    EXPECT_NEAR(nearlyFull[11], 0.988 * 0.95, 1e-9);
    EXPECT_EQ(opacities(4, 1.5), V(4, 0.95));
    EXPECT_EQ(opacities(4, -0.5), V(4, 0.12));
    EXPECT_EQ(opacities(4, std::nan("")), V(4, 0.12));

    const auto one = SegmentedProgressBar::layout(268, 1, 0.5, 3);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].width, 268);
    EXPECT_EQ(one[0].opacity, 0.5 * 0.95);
    EXPECT_TRUE(SegmentedProgressBar::layout(268, 0, 0.5, 3).empty());
    EXPECT_TRUE(SegmentedProgressBar::layout(268, -3, 0.5, 3).empty());
}

TEST(SegmentedProgressBar, NoToleranceJustBelowAWholeSegment)
{
    // 3 × 0.1 is 0.30000000000000004 but 0.7 × 10 is 7.000000000000001; what matters is a
    // product that lands just below an integer: 0.57 × 100 = 56.99999999999999.
    const auto segments = SegmentedProgressBar::layout(268, 100, 0.57, 3);
    ASSERT_LT(100 * 0.57, 57.0);
    EXPECT_EQ(segments[55].opacity, 0.95);
    EXPECT_LT(segments[56].opacity, 0.95);
    EXPECT_GT(segments[56].opacity, 0.94);
    EXPECT_EQ(segments[57].opacity, 0.12);
}

class PanelTest : public ::testing::Test
{
protected:
    ScopedEnv m_zone{"TZ", "Etc/UTC"};
    double m_now = utc(2026, 12, 6, 6);
    ProgressCalculator m_calculator{[this] { return m_now; }};
    ContentView m_panel{&m_calculator};
};

TEST_F(PanelTest, ShowsTheCalculatorsValuesInOrder)
{
    m_panel.show();
    m_panel.adjustSize();
    EXPECT_EQ(m_panel.width(), 300);
    EXPECT_EQ(shown(m_panel, "dayFigure"), "25%");
    EXPECT_EQ(shown(m_panel, "timeRemaining"), "18h 0m remaining today");
    // Sunday 06:00 of a week from Monday, of December's 31 days and of 365.
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "week")->labelText(), "Week");
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "week")->percentageText(), "89%");
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "month")->labelText(), "Month");
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "month")->percentageText(), "16%");
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "year")->labelText(), "Year");
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "year")->percentageText(), "92%");
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "month")->bar()->segmentCount(), 4);
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "week")->bar()->segmentCount(), 7);
    EXPECT_EQ(namedPart<ProgressStatRow>(m_panel, "year")->bar()->segmentCount(), 12);
    EXPECT_EQ(namedPart<MenuButton>(m_panel, "settings")->title(), "Settings...");
    EXPECT_EQ(namedPart<MenuButton>(m_panel, "settings")->hintText(), "Ctrl+,");
    EXPECT_EQ(namedPart<MenuButton>(m_panel, "quit")->title(), "Quit Horalis");
    EXPECT_EQ(namedPart<MenuButton>(m_panel, "quit")->hintText(), "Ctrl+Q");
}

// The picture pins the layout, the colours and each segment's opacity, in a light and a dark
// palette.
TEST_F(PanelTest, LooksAsItsPicture)
{
    const std::pair<const char*, QPalette> palettes[] = {
        {"panel-light.png", lightPalette()}, {"panel-dark.png", SemanticColors::darkPalette()}};
    for (const auto& [name, palette] : palettes) {
        m_panel.setPalette(palette);
        m_panel.show();
        m_panel.adjustSize();
        expectLooksLikeGolden(m_panel.grab().toImage(), QString::fromLatin1(name));
    }
}

TEST_F(PanelTest, DayFigureTruncates)
{
    m_panel.show();
    for (auto [elapsed, figure] : {std::pair{0.0, "0%"}, {0.99999, "99%"}, {0.5, "50%"}}) {
        m_now = utc(2026, 12, 6) + elapsed * kDay;
        m_calculator.updateProgress();
        QCoreApplication::processEvents();
        EXPECT_EQ(shown(m_panel, "dayFigure"), figure) << elapsed;
    }
}

TEST_F(PanelTest, FollowsEachRefreshOnceItEndsAndWaitsWhileHidden)
{
    m_panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_panel));
    QCoreApplication::processEvents();
    m_now += kHour * 30;
    m_calculator.updateProgress();
    EXPECT_EQ(shown(m_panel, "timeRemaining"), "18h 0m remaining today")
        << "not before the refresh ends";
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(m_panel, "timeRemaining"), "12h 0m remaining today");

    m_panel.hide();
    m_now += kHour;
    m_calculator.updateProgress();
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(m_panel, "timeRemaining"), "12h 0m remaining today");
    m_panel.show();
    EXPECT_EQ(shown(m_panel, "timeRemaining"), "11h 0m remaining today") << "up to date when shown";
}

TEST_F(PanelTest, ButtonRowsHoverAndClickOnTheirWholeWidth)
{
    m_panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_panel));
    MenuButton* settings = namedPart<MenuButton>(m_panel, "settings");
    MenuButton* quit = namedPart<MenuButton>(m_panel, "quit");
    // As the popover holds it: the keyboard with the panel, no row focused.
    m_panel.setFocus();
    ASSERT_FALSE(settings->isHighlighted() || quit->isHighlighted());
    QEnterEvent enter(QPointF(150, 5), QPointF(150, 5), QPointF(150, 5));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(settings, &enter);
    EXPECT_TRUE(settings->isHighlighted() && !quit->isHighlighted());
    QCoreApplication::sendEvent(settings, &leave);
    EXPECT_FALSE(settings->isHighlighted());

    // The empty middle of the row, between title and hint.
    QSignalSpy settingsRequests(&m_panel, &ContentView::settingsRequested);
    QSignalSpy quitRequests(&m_panel, &ContentView::quitRequested);
    QTest::mouseClick(settings, Qt::LeftButton, {}, QPoint(150, settings->height() / 2));
    QTest::mouseClick(settings, Qt::RightButton, {}, QPoint(150, settings->height() / 2));
    EXPECT_EQ(settingsRequests.count(), 1);
    EXPECT_EQ(quitRequests.count(), 0);
    QTest::mouseClick(quit, Qt::LeftButton, {}, QPoint(150, quit->height() / 2));
    EXPECT_EQ(quitRequests.count(), 1);
}

namespace {

struct Heard
{
    QAccessible::Role role;
    QString name;
    QVariant value;
};

// What a screen reader finds below `parent`, depth first.
void listInto(QAccessibleInterface* parent, std::vector<Heard>& heard)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* child = parent->child(i);
        ASSERT_NE(child, nullptr);
        QAccessibleValueInterface* value = child->valueInterface();
        heard.push_back({child->role(), child->text(QAccessible::Name),
                         value ? value->currentValue() : QVariant()});
        if (value) {
            EXPECT_EQ(value->minimumValue(), 0);
            EXPECT_EQ(value->maximumValue(), 100);
            EXPECT_EQ(child->childCount(), 0) << "one object, not its parts";
        }
        listInto(child, heard);
    }
}

std::vector<Heard> withRole(const std::vector<Heard>& all, QAccessible::Role role)
{
    std::vector<Heard> found;
    std::copy_if(all.begin(), all.end(), std::back_inserter(found),
                 [role](const Heard& h) { return h.role == role; });
    return found;
}

} // namespace

TEST_F(PanelTest, AScreenReaderFindsTheOpenPanelWithEachFigureNamed)
{
    AccessibleApplication::install();
    auto* panel = new ContentView(&m_calculator);
    Popover popover(panel);
    popover.showRelativeTo(QRect(200, 0, 24, 24));
    ASSERT_TRUE(popover.isShown());

    // The panel is among the application's windows though it is a popup.
    QAccessibleInterface* app = QAccessible::queryAccessibleInterface(qApp);
    QAccessibleInterface* window = nullptr;
    for (int i = 0; i < app->childCount(); ++i)
        if (app->child(i)->object() == &popover)
            window = app->child(i);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "Horalis");
    EXPECT_EQ(window->parent(), app);

    std::vector<Heard> heard;
    listInto(window, heard);
    const auto texts = withRole(heard, QAccessible::StaticText);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].name, "25%");
    EXPECT_EQ(texts[1].name, "18h 0m remaining today");
    const auto bars = withRole(heard, QAccessible::ProgressBar);
    ASSERT_EQ(bars.size(), 3u);
    const std::pair<const char*, int> shown[] = {{"Week", 89}, {"Month", 16}, {"Year", 92}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(bars[i].name, shown[i].first);
        EXPECT_EQ(bars[i].value.toInt(), shown[i].second);
    }
    const auto buttons = withRole(heard, QAccessible::Button);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].name, "Settings...");
    EXPECT_EQ(buttons[1].name, "Quit Horalis");

    // Press does what a click does.
    QSignalSpy settings(panel, &ContentView::settingsRequested);
    QSignalSpy quit(panel, &ContentView::quitRequested);
    QAccessibleActionInterface* press =
        QAccessible::queryAccessibleInterface(namedPart<MenuButton>(*panel, "settings"))
            ->actionInterface();
    ASSERT_NE(press, nullptr);
    EXPECT_TRUE(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
    EXPECT_EQ(press->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              QStringList{"Ctrl+,"});
    press->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(settings.count(), 1);
    EXPECT_EQ(quit.count(), 0);
}

TEST(ProgressStatRow, AScreenReaderIsToldTheFigureOnlyWhenItChanges)
{
    QWidget panel;
    ProgressStatRow row(QStringLiteral("Week"), 0.891, 7, &panel);
    QSignalSpy told(&row, &ProgressStatRow::figureChanged);
    for (double progress : {0.8915, 0.8999, 0.90, 0.9001})
        row.setProgress(progress);
    ASSERT_EQ(told.count(), 1);
    EXPECT_EQ(told[0][0].value<std::int64_t>(), 90);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&row);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->valueInterface()->currentValue(), 90);
}

TEST_F(PanelTest, TheKeyboardMovesBetweenTheRowsShowingWhereAndRunsThem)
{
    auto* panel = new ContentView(&m_calculator);
    Popover popover(panel);
    QSignalSpy settings(panel, &ContentView::settingsRequested);
    QSignalSpy quit(panel, &ContentView::quitRequested);
    MenuButton* first = namedPart<MenuButton>(*panel, "settings");
    MenuButton* second = namedPart<MenuButton>(*panel, "quit");
    const auto press = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = popover.focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
    };
    const auto highlighted = [&] {
        return std::pair(first->isHighlighted(), second->isHighlighted());
    };

    popover.showRelativeTo(QRect(200, 0, 24, 24));
    EXPECT_EQ(popover.focusWidget(), panel) << "the panel takes the keyboard";
    EXPECT_EQ(highlighted(), std::pair(false, false)) << "a mouse user sees no focus";
    press(Qt::Key_Tab);
    EXPECT_EQ(highlighted(), std::pair(true, false));
    if (const QString shots = qEnvironmentVariable("HORALIS_SCREENSHOTS"); !shots.isEmpty())
        popover.grab().save(shots + QStringLiteral("/panel-keyboard-focus.png"));
    press(Qt::Key_Down);
    EXPECT_EQ(highlighted(), std::pair(false, true));
    press(Qt::Key_Up);
    EXPECT_EQ(highlighted(), std::pair(true, false));
    press(Qt::Key_Tab);
    EXPECT_EQ(highlighted(), std::pair(false, true));
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(highlighted(), std::pair(true, false));
    press(Qt::Key_Return);
    EXPECT_EQ(settings.count(), 1);
    press(Qt::Key_Down);
    press(Qt::Key_Space);
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(settings.count(), 1);
    press(Qt::Key_Escape);
    EXPECT_FALSE(popover.isShown());

    // Opened again, the focus starts on the panel, not on the row it last left.
    popover.showRelativeTo(QRect(200, 0, 24, 24));
    EXPECT_EQ(highlighted(), std::pair(false, false));
}
