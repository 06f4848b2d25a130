// A live titration at its fastest: 10 readings a second for 10 minutes (6000 kept readings of a
// weak acid), each written to the run's file, appended to the document and drawn on the curve
// page as the window draws it. Reports each frame's time (the longest, the 99th percentile and
// the mean), the resident memory each reading adds while it is held, and the growth over 2000
// more redraws with nothing added (a leak's). The readings' analysis runs off the window's thread
// in the program; here it runs every 100 readings outside the frames.
#include "app/chartpage.h"
#include "meter/runlog.h"
#include "session/document.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace {

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void liveTenReadingsASecond(benchmark::State& state)
{
    constexpr int kReadings = 6000;
    for (auto _ : state) {
        QTemporaryDir folder;
        meter::RunLog log;
        log.start((folder.path() + "/run.csv").toStdString(), {{"titration", "weak acid"}});
        session::Document document(indicators::filledCatalogue());
        document.setInputs(chem::TitrationType::WeakAcidStrongBase, {"0.1", "25", "0.1", "1.8E-5"},
                           4);
        const report::TitrationModel model = *report::TitrationModel::make(
            chem::TitrationType::WeakAcidStrongBase, {0.1, 0.1, 25.0, 1.8e-5}, std::nullopt);
        app::ChartPage page(nullptr);
        std::vector<double> frames;
        long memoryAt600 = 0;
        for (int i = 0; i < kReadings; ++i) {
            const double volume = 50.0 * i / kReadings;
            const double pH = model.pH(volume).value + 0.01 * std::sin(i * 0.7);
            const auto start = std::chrono::steady_clock::now();
            log.append({volume, pH});
            document.appendReading(volume, pH);
            if (const auto& chart = document.chart())
                page.draw(*chart);
            benchmark::DoNotOptimize(page.picture().constBits());
            frames.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            if (i % 100 == 99)
                if (const auto job = document.analysisJob())
                    document.deliverAnalysis(
                        job->analysisRevision,
                        session::Document::analyse(*job, document.catalogue()));
            if (i == 600)
                memoryAt600 = residentKiB();
        }
        const long growth = residentKiB() - memoryAt600;
        // A leak would show here: the same charts drawn 2000 times more, nothing added, after
        // 500 to let the allocator's pools settle.
        long beforeRedraws = 0;
        for (int i = 0; i < 2500; ++i) {
            if (i == 500)
                beforeRedraws = residentKiB();
            document.setShowDerivative(i % 2 == 0);
            if (const auto& chart = document.chart())
                page.draw(*chart);
            benchmark::DoNotOptimize(page.picture().constBits());
        }
        state.counters["redraw_growth_KiB"] = double(residentKiB() - beforeRedraws);
        log.finish();
        std::sort(frames.begin(), frames.end());
        state.counters["longest_ms"] = frames.back();
        state.counters["p99_ms"] = frames[frames.size() * 99 / 100];
        double sum = 0;
        for (const double f : frames)
            sum += f;
        state.counters["mean_ms"] = sum / double(frames.size());
        // What each reading adds while it is held: in the document, the chart's series, the
        // analysis's derivatives and groups.
        state.counters["bytes_per_reading"] = double(growth) * 1024 / (kReadings - 600);
    }
}
BENCHMARK(liveTenReadingsASecond)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

namespace {

/// From a kept reading to its point on screen: written to the run's file, appended to the
/// document, the redraw posted to the event loop as the window coalesces it, then the chart
/// drawn and the curve page painted. `state.range(0)` readings are there before, a real run's
/// 60 or the long run's 6000.
void keptToScreen(benchmark::State& state)
{
    QTemporaryDir folder;
    meter::RunLog log;
    log.start((folder.path() + "/run.csv").toStdString(), {{"titration", "weak acid"}});
    session::Document document(indicators::filledCatalogue());
    document.setInputs(chem::TitrationType::WeakAcidStrongBase, {"0.1", "25", "0.1", "1.8E-5"}, 4);
    const report::TitrationModel model = *report::TitrationModel::make(
        chem::TitrationType::WeakAcidStrongBase, {0.1, 0.1, 25.0, 1.8e-5}, std::nullopt);
    const auto count = int(state.range(0));
    for (int i = 0; i < count; ++i) {
        const double volume = 50.0 * i / count;
        document.appendReading(volume, model.pH(volume).value);
    }
    app::ChartPage page(nullptr);
    page.resize(app::ChartPage::kSize);
    page.show();
    double longest = 0;
    int i = 0;
    for (auto _ : state) {
        const double volume = 50.0 * (i % count) / count + 0.001 * (i / count + 1);
        const auto start = std::chrono::steady_clock::now();
        log.append({volume, 7.0});
        document.appendReading(volume, model.pH(volume).value);
        bool shown = false;
        QTimer::singleShot(0, &page, [&] {
            if (const auto& chart = document.chart())
                page.draw(*chart);
            page.repaint();
            shown = true;
        });
        while (!shown)
            QCoreApplication::processEvents();
        longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
        ++i;
    }
    state.counters["longest_ms"] = longest;
}
BENCHMARK(keptToScreen)->Arg(60)->Arg(6000)->Unit(benchmark::kMillisecond);

} // namespace
