// One panel update and repaint at 2×, as each second brings it: a calculator refresh, the
// panel's queued update and the repaint of what changed. And, for the worst case, the same
// with the whole panel repainted.

#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/panel/ContentView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

namespace {

void panelUpdate(benchmark::State& state, bool wholePanel)
{
    double now = 1796915520.0;
    ProgressCalculator calculator([&now] { return now; });
    ContentView panel(&calculator);
    panel.show();
    panel.adjustSize();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        // A minute a step, so that the text changes every time.
        now += 60.0;
        calculator.updateProgress();
        QCoreApplication::sendPostedEvents(); // the panel's queued update
        if (wholePanel)
            panel.update();
        QCoreApplication::sendPostedEvents(); // the repaint it asked for
    }
}
BENCHMARK_CAPTURE(panelUpdate, changedParts, false);
BENCHMARK_CAPTURE(panelUpdate, wholePanel, true);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir config;
    ::setenv("XDG_CONFIG_HOME", qPrintable(config.path()), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("QT_SCALE_FACTOR", "2", 1);
    ::setenv("TZ", "Europe/Berlin", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
