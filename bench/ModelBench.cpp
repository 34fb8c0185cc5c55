// One refresh of the calculator and each computation on its own, at a fixed instant.

#include "Horalis/Settings/Settings.h"
#include "Horalis/model/PeriodProgress.h"
#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/model/TimeRemaining.h"
#include "platform/time/CurrentCalendar.h"
#include "platform/time/SystemTimeZone.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

constexpr double kInstant = 1796040000.5; // 2026-12-01 12:00:00.5 UTC

const Calendar& calendar()
{
    static const Calendar instance =
        preparedCalendar(Calendar("en_US", "Europe/Berlin"), WeekStart::monday);
    return instance;
}

void refresh(benchmark::State& state)
{
    ProgressCalculator calculator([] { return kInstant; });
    for (auto _ : state)
        calculator.updateProgress();
}
BENCHMARK(refresh);

void currentCalendar(benchmark::State& state)
{
    CurrentCalendar current;
    for (auto _ : state)
        benchmark::DoNotOptimize(current.calendar());
}
BENCHMARK(currentCalendar);

// What every refresh pays to notice a changed zone: TZ read, the zone file's identity checked.
void zoneCheck(benchmark::State& state)
{
    SystemTimeZone zone;
    for (auto _ : state)
        benchmark::DoNotOptimize(zone.current());
}
BENCHMARK(zoneCheck);

void weekStartRead(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Settings::shared().value(Preferences::weekStart));
}
BENCHMARK(weekStartRead);

template <double (*compute)(double, const Calendar&)> void fraction(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(compute(kInstant, calendar()));
}
BENCHMARK(fraction<calculateDayProgress>)->Name("dayProgress");
BENCHMARK(fraction<calculateWeekProgress>)->Name("weekProgress");
BENCHMARK(fraction<calculateMonthProgress>)->Name("monthProgress");
BENCHMARK(fraction<calculateYearProgress>)->Name("yearProgress");

void timeRemaining(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(calculateTimeRemaining(kInstant, calendar()));
}
BENCHMARK(timeRemaining);

} // namespace

int main(int argc, char** argv)
{
    // A store of its own, so that measuring never touches the user's preferences.
    QTemporaryDir config;
    ::setenv("XDG_CONFIG_HOME", qPrintable(config.path()), 1);
    ::setenv("TZ", "Europe/Berlin", 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
