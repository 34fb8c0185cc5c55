// Each tray icon style drawn at 2×, as the tray refresh does once a second.

#include "Horalis/menubar/StatusIcon.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

void icon(benchmark::State& state, IconStyle style)
{
    double progress = 0.4371;
    for (auto _ : state) {
        benchmark::DoNotOptimize(makeIcon(style, false, progress, 2.0));
        progress = progress < 0.9 ? progress + 0.001 : 0.1;
    }
}
BENCHMARK_CAPTURE(icon, pill, IconStyle::pill);
BENCHMARK_CAPTURE(icon, circle, IconStyle::circle);
BENCHMARK_CAPTURE(icon, percentage, IconStyle::percentage);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
