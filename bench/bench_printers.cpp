// What one printer-name tool-tip refresh costs: the main window asks the print system every 2 s
// on its own thread, so this must stay far below a frame.
#include "app/formmain.h"
#include "app/platform.h"
#include "app/printcommand.h"

#include <QApplication>
#include <QThreadPool>
#include <benchmark/benchmark.h>

namespace {

void printerToolTipQuery(benchmark::State& state)
{
    const app::QtPrintSystem printers;
    for (auto _ : state)
        benchmark::DoNotOptimize(printers.query());
    state.SetLabel(printers.query() ? "printers installed" : "no printer");
}
BENCHMARK(printerToolTipQuery)->Unit(benchmark::kMicrosecond);

// What the window's thread spends on one tick: handing the query to a worker.
void windowTimerTick(benchmark::State& state)
{
    const app::QtPrintSystem printers;
    app::QtClipboard clipboard;
    app::QtMessageBoxes messages;
    app::QtOpener opener;
    app::QtFileDialogs files;
    app::Platform platform{printers, clipboard, messages, opener, files};
    app::FormMain window(platform);
    for (auto _ : state) {
        state.PauseTiming();
        app::backgroundPool().waitForDone();
        state.ResumeTiming();
        window.Timer1_Timer();
    }
    app::backgroundPool().waitForDone();
}
// Each iteration also waits, untimed, for the query to finish: with a print server that is
// about 10 ms, so the count is fixed rather than left to grow from the short timed part.
BENCHMARK(windowTimerTick)->Unit(benchmark::kMicrosecond)->Iterations(300);

} // namespace
