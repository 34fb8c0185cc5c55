#include "Horalis/model/ProgressCalculator.h"

#include "Horalis/Settings/Settings.h"
#include "Horalis/model/PeriodProgress.h"
#include "Horalis/model/TimeRemaining.h"
#include "platform/session/SecondTimer.h"

#include <chrono>

namespace {
// Just after each second begins, so the seconds left today count down one by one.
constexpr int kTickOffsetMs = 5;
} // namespace

double ProgressCalculator::systemClock()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

ProgressCalculator::ProgressCalculator(Clock clock, Settings& settings, QObject* parent)
    : QObject(parent), m_clock(std::move(clock)), m_settings(settings)
{
    updateProgress();
    m_timer = SecondTimer::startFor(this, kTickOffsetMs, &ProgressCalculator::updateProgress);
}

ProgressCalculator::~ProgressCalculator() = default;

void ProgressCalculator::updateProgress()
{
    const double now = m_clock();
    const Calendar calendar =
        preparedCalendar(m_currentCalendar.calendar(), m_settings.value(Preferences::weekStart));

    publish(m_dayProgress, calculateDayProgress(now, calendar));
    publish(m_timeRemainingText, calculateTimeRemaining(now, calendar));
    publish(m_weekProgress, calculateWeekProgress(now, calendar));
    publish(m_monthProgress, calculateMonthProgress(now, calendar));
    publish(m_yearProgress, calculateYearProgress(now, calendar));
}
