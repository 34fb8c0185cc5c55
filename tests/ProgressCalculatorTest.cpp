#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/Settings/Settings.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

class ProgressCalculatorTest : public ::testing::Test
{
protected:
    void SetUp() override { m_file.set(Preferences::weekStart.key, QStringLiteral("monday")); }
    void TearDown() override { SetUp(); }

    // The file the shared settings read, as another program writes it.
    PreferencesStore m_file{PreferencesStore::standardFilePath()};
    ScopedEnv m_zone{"TZ", "Etc/UTC"};
    double m_now = utc(2026, 12, 6, 6); // a Sunday, 06:00
    ProgressCalculator::Clock m_clock = [this] { return m_now; };
};

} // namespace

TEST_F(ProgressCalculatorTest, ValuesAreComputedAtConstruction)
{
    ProgressCalculator calculator(m_clock);
    EXPECT_DOUBLE_EQ(calculator.dayProgress(), 0.25);
    EXPECT_EQ(calculator.timeRemainingText(), "18h 0m remaining today");
    EXPECT_DOUBLE_EQ(calculator.weekProgress(), 150.0 / 168.0);
    EXPECT_DOUBLE_EQ(calculator.monthProgress(), (5 * 24 + 6) / (31 * 24.0));
    EXPECT_DOUBLE_EQ(calculator.yearProgress(), (339 * 24 + 6) / (365 * 24.0));
}

TEST_F(ProgressCalculatorTest, EachRefreshSignalsFiveTimesBeforeEachAssignment)
{
    ProgressCalculator calculator(m_clock);
    // Before the n-th signal of a refresh, exactly the first n - 1 values are new.
    std::vector<std::array<bool, 5>> seen;
    const double oldDay = calculator.dayProgress();
    const QString oldText = calculator.timeRemainingText();
    const double oldWeek = calculator.weekProgress();
    const double oldMonth = calculator.monthProgress();
    const double oldYear = calculator.yearProgress();
    QObject::connect(&calculator, &ProgressCalculator::objectWillChange, [&] {
        seen.push_back(
            {calculator.dayProgress() != oldDay, calculator.timeRemainingText() != oldText,
             calculator.weekProgress() != oldWeek, calculator.monthProgress() != oldMonth,
             calculator.yearProgress() != oldYear});
    });
    m_now += kDay + kHour; // every value changes
    calculator.updateProgress();
    ASSERT_EQ(seen.size(), 5u);
    for (size_t signal = 0; signal < 5; ++signal) {
        for (size_t value = 0; value < 5; ++value)
            EXPECT_EQ(seen[signal][value], value < signal) << signal << "/" << value;
    }

    seen.clear();
    calculator.updateProgress(); // nothing changes, and still five signals
    EXPECT_EQ(seen.size(), 5u);
}

TEST_F(ProgressCalculatorTest, FollowsWeekStartAndTimeZoneAtTheNextRefresh)
{
    ProgressCalculator calculator(m_clock);
    m_file.set(Preferences::weekStart.key, QStringLiteral("sunday"));
    EXPECT_DOUBLE_EQ(calculator.weekProgress(), 150.0 / 168.0);
    calculator.updateProgress();
    EXPECT_DOUBLE_EQ(calculator.weekProgress(), 6.0 / 168.0);

    m_file.set(Preferences::weekStart.key, QStringLiteral("Sunday"));
    calculator.updateProgress();
    EXPECT_DOUBLE_EQ(calculator.weekProgress(), 150.0 / 168.0);

    ScopedEnv tokyo("TZ", "Asia/Tokyo"); // 15:00 there
    calculator.updateProgress();
    EXPECT_DOUBLE_EQ(calculator.dayProgress(), 15.0 / 24.0);
    EXPECT_EQ(calculator.timeRemainingText(), "9h 0m remaining today");
}

TEST_F(ProgressCalculatorTest, ClockJumpsShowAtTheNextRefresh)
{
    ProgressCalculator calculator(m_clock);
    m_now += kDay; // Monday 06:00
    calculator.updateProgress();
    EXPECT_DOUBLE_EQ(calculator.weekProgress(), 6.0 / 168.0);
    EXPECT_EQ(calculator.timeRemainingText(), "18h 0m remaining today");
    m_now -= kHour; // and back an hour, across no day boundary
    calculator.updateProgress();
    EXPECT_DOUBLE_EQ(calculator.dayProgress(), 5.0 / 24.0);
    EXPECT_EQ(calculator.timeRemainingText(), "19h 0m remaining today");
    m_now -= 6 * kHour; // back across midnight, into Sunday 23:00
    calculator.updateProgress();
    EXPECT_DOUBLE_EQ(calculator.dayProgress(), 23.0 / 24.0);
    EXPECT_DOUBLE_EQ(calculator.weekProgress(), 167.0 / 168.0);
}

TEST_F(ProgressCalculatorTest, RefreshesByItselfOnceASecond)
{
    ProgressCalculator calculator;
    QSignalSpy spy(&calculator, &ProgressCalculator::objectWillChange);
    ASSERT_TRUE(spy.wait(2500));
    EXPECT_EQ(spy.count(), 5) << "one refresh, five signals";
}
