// Steps through two whole years in zones of every continent, with every minute around each
// clock change, and checks what must hold at any instant whatever the zone's rules.

#include "Horalis/model/PeriodProgress.h"
#include "Horalis/model/TimeRemaining.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

const char* const kZones[] = {
    "America/New_York", "America/Sao_Paulo", "America/St_Johns",    "Europe/London",
    "Europe/Berlin",    "Africa/Casablanca", "Asia/Tehran",         "Asia/Kolkata",
    "Asia/Kathmandu",   "Australia/Sydney",  "Australia/Lord_Howe", "Pacific/Chatham",
    "America/Santiago", "Pacific/Apia",
};

struct Checker
{
    const Calendar& calendar;
    std::string zone;

    void check(double now) const
    {
        const double day = calculateDayProgress(now, calendar);
        const double fractions[] = {day, calculateWeekProgress(now, calendar),
                                    calculateMonthProgress(now, calendar),
                                    calculateYearProgress(now, calendar)};
        for (double f : fractions)
            ASSERT_TRUE(f >= 0.0 && f <= 1.0) << zone << " at " << now << ": " << f;

        const auto [start, end] = *currentDay(now, calendar);
        ASSERT_LE(start, now) << zone;
        ASSERT_LT(now, end) << zone;
        ASSERT_EQ(calculateDayProgress(start, calendar), 0.0) << zone << " day starting " << start;
        ASSERT_EQ(*calendar.startOfDay(start), start) << zone;

        static const QRegularExpression form(
            QStringLiteral("^(?:(\\d+)h \\d+m|\\d+m \\d+s|\\d+s) remaining today$"));
        const QString text = calculateTimeRemaining(now, calendar);
        const auto match = form.match(text);
        ASSERT_TRUE(match.hasMatch()) << zone << ": " << text.toStdString();
        const int dayHours = static_cast<int>((end - start) / kHour);
        ASSERT_LE(match.captured(1).toInt(), dayHours) << zone << ": " << text.toStdString();
    }
};

} // namespace

TEST(ProgressSweep, HoldsEveryHourAndAroundEveryClockChangeOfTwoYears)
{
    for (const char* zone : kZones) {
        const Calendar calendar = preparedCalendar(Calendar("en_US", zone), "monday");
        ASSERT_EQ(calendar.timeZoneId(), zone);
        const Checker checker{calendar, zone};
        int shortOrLongDays = 0;
        for (double t = utc(2025, 1, 1); t < utc(2027, 1, 1); t += kHour) {
            checker.check(t);
            if (HasFatalFailure())
                return;
            const auto [start, end] = *currentDay(t, calendar);
            const double length = end - start;
            // Once per odd-length day, every minute of it, which holds the change itself.
            if (length != kDay && t - start < kHour) {
                ++shortOrLongDays;
                for (double m = start; m < start + length; m += 60) {
                    checker.check(m);
                    if (HasFatalFailure())
                        return;
                }
            }
        }
        const std::string name = zone;
        const bool keepsOneOffset = name == "Asia/Kolkata" || name == "Asia/Kathmandu" ||
                                    name == "Asia/Tehran" || name == "Pacific/Apia" ||
                                    name == "America/Sao_Paulo";
        if (!keepsOneOffset) {
            EXPECT_GE(shortOrLongDays, 4) << zone << " changes its clocks twice a year";
        }
    }
}
