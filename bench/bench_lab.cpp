// Measured readings: reading 100,000 of them (target: under 0.2 s); the end points and a
// concentration fit on 500 (target: under 50 ms); a million read and analysed (under 1 s);
// and how often each 95 % interval holds the true value over 1,000 synthetic runs (about
// 95 % expected), printed as counters; and the same over 200 realistic runs a kind and plan
// (activities, the electrode, the burette; coverage.h), analysed as a student would (targets:
// at least 90 %, the derivative's median half-width at most 0.15 mL dense, 0.35 mL coarse).
#include "lab/coverage.h"
#include "lab/endpoints.h"
#include "lab/fit.h"
#include "lab/measured.h"
#include "lab/readings.h"
#include "lab/synthetic.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

using chem::TitrationType;

void readHundredThousand(benchmark::State& state)
{
    std::string text = "Volume (mL),pH\r\n";
    for (int i = 0; i < 100000; ++i)
        text += std::to_string(i / 1000.0).substr(0, 7) + ',' +
                std::to_string(4.0 + (i % 9000) / 1000.0).substr(0, 5) + "\r\n";
    for (auto _ : state) {
        const chem::Result<lab::Readings> r = lab::readReadings(text);
        if (!r || r.value->size() != 100000)
            state.SkipWithError(r.failure.c_str());
        benchmark::DoNotOptimize(r);
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(readHundredThousand)->Unit(benchmark::kMillisecond);

const lab::Setup kAcetic{TitrationType::WeakAcidStrongBase, {0.1, 0.1, 25.0, 1.8e-5}, {}};

void endPointsAndFit500(benchmark::State& state)
{
    std::vector<double> volumes;
    for (int i = 0; i < 500; ++i)
        volumes.push_back(i / 10.0);
    const lab::Readings readings = *lab::simulateReadings(kAcetic, volumes, 0.01, 1).value;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lab::findEndPoints(readings, kAcetic));
        benchmark::DoNotOptimize(lab::fitReadings(readings, kAcetic));
    }
}
BENCHMARK(endPointsAndFit500)->Unit(benchmark::kMillisecond);

/// A million readings read and analysed (target: under 1 s): a logger's file of 10 MB, its
/// volume to 0.01 mL; and a million distinct volumes analysed.
void readAndAnalyseMillion(benchmark::State& state)
{
    const lab::Setup hcl{TitrationType::StrongAcidStrongBase, {0.1, 0.1, 5.0, 0.0}, {}};
    std::vector<double> volumes(1000000);
    for (std::size_t i = 0; i < volumes.size(); ++i)
        volumes[i] = std::round(i * 0.8e-3) / 100; // 0 to 8 mL
    const lab::Readings r = *lab::simulateReadings(hcl, volumes, 0.01, 1).value;
    std::string text;
    char line[32];
    for (std::size_t i = 0; i < r.size(); ++i)
        text.append(line, std::snprintf(line, sizeof line, "%.2f,%.2f\n", r.volume[i], r.pH[i]));
    for (auto _ : state) {
        const chem::Result<lab::Readings> read = lab::readReadings(text);
        if (!read)
            state.SkipWithError(read.failure.c_str());
        else
            benchmark::DoNotOptimize(lab::analyseReadings(*read.value, hcl, false));
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(readAndAnalyseMillion)->Unit(benchmark::kMillisecond);

void analyseMillionDistinct(benchmark::State& state)
{
    std::vector<double> volumes(1000000);
    for (std::size_t i = 0; i < volumes.size(); ++i)
        volumes[i] = i * 50e-6;
    const lab::Readings readings = *lab::simulateReadings(kAcetic, volumes, 0.01, 1).value;
    for (auto _ : state) {
        const lab::Measured m = lab::analyseReadings(readings, kAcetic, true);
        state.counters["end points"] = static_cast<double>(m.endPoints.size());
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(analyseMillionDistinct)->Unit(benchmark::kMillisecond);

/// 1,000 runs, each with the true concentration anywhere within 2 % of the nominal one the
/// steps are planned for (so the end point falls anywhere between two readings) and its own
/// noise: the share of runs whose interval holds the true value, for each method.
void coverage(benchmark::State& state, const char* label, lab::Setup nominal, int jumps)
{
    constexpr int kRuns = 1000;
    const std::vector<double> planned = nominal.model()->equivalenceVolumes();
    const std::vector<double> volumes = lab::labVolumes(
        {planned.data(), static_cast<std::size_t>(jumps)}, planned[jumps - 1] * 1.6);
    int held[3] = {}, runs[3] = {};
    double worst[3] = {};
    for (auto _ : state) {
        std::mt19937 pick(2024);
        for (int run = 0; run < kRuns; ++run) {
            lab::Setup truth = nominal;
            truth.inputs.analyteConc *= 1.0 + 0.04 * ((pick() + 0.5) / 4294967296.0 - 0.5);
            const std::vector<double> ve = truth.model()->equivalenceVolumes();
            const lab::Readings r = *lab::simulateReadings(truth, volumes, 0.01, run + 1).value;
            const auto found = lab::findEndPoints(r, nominal);
            for (const lab::EndPoint& p : found ? *found.value : std::vector<lab::EndPoint>{}) {
                const int m = p.method == lab::EndPointMethod::Derivative ? 0 : 1;
                const double v = ve[p.index - 1];
                ++runs[m];
                held[m] += p.ci95[0] <= v && v <= p.ci95[1];
                worst[m] = std::max(worst[m], std::abs(p.volume - v));
            }
            const auto fit = lab::fitReadings(r, nominal);
            if (fit) {
                const double c = truth.inputs.analyteConc;
                ++runs[2];
                held[2] += std::abs(fit.value->analyteConcentration - c) <=
                           1.959964 * fit.value->analyteConcentrationSE;
                worst[2] = std::max(worst[2], std::abs(fit.value->analyteConcentration / c - 1));
            }
        }
    }
    const char* names[3] = {"derivative", "Gran", "fit"};
    for (int m = 0; m < 3; ++m) {
        if (runs[m] == 0)
            continue;
        state.counters[std::string(names[m]) + " %"] = 100.0 * held[m] / runs[m];
        std::printf("%s coverage: %s %.1f %% of %d end points or fits; worst error %.4f %s\n",
                    label, names[m], 100.0 * held[m] / runs[m], runs[m], worst[m],
                    m == 2 ? "(relative)" : "mL");
    }
}
BENCHMARK_CAPTURE(coverage, aceticAcid, "aceticAcid", kAcetic, 1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(coverage, strongAcid, "strongAcid",
                  lab::Setup{TitrationType::StrongAcidStrongBase, {0.1, 0.1, 25.0, 0.0}, {}}, 1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(coverage, ammonia, "ammonia",
                  lab::Setup{TitrationType::WeakBaseStrongAcid, {0.1, 0.1, 25.0, 1.8e-5}, {}}, 1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(coverage, dilutePoorAcid, "dilutePoorAcid",
                  lab::Setup{TitrationType::WeakAcidStrongBase, {0.01, 0.01, 25.0, 1e-7}, {}}, 1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(coverage, phosphoricAcid, "phosphoricAcid",
                  lab::Setup{TitrationType::WeakAcidStrongBase,
                             {0.1, 0.1, 25.0, 0.0},
                             report::AnalyteConstants{{2.15, 7.20, 12.35}, {}, {}}},
                  2)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

void realisticCoverage(benchmark::State& state, TitrationType type, lab::VolumePlan plan)
{
    constexpr int kRuns = 200;
    lab::Coverage c;
    for (auto _ : state)
        c = lab::measureCoverage(type, plan, kRuns);
    const auto share = [](int held, int found) { return found ? 100.0 * held / found : 0.0; };
    state.counters["derivative %"] = share(c.derivativeHeld, c.runs);
    state.counters["Gran %"] = share(c.granHeld, c.granFound);
    state.counters["fit %"] = share(c.fitHeld, c.runs);
    state.counters["half-width mL"] = c.derivativeMedianHalfWidth;
    std::printf("%s, %s: derivative %.1f %% (%d of %d found), median half-width %.3f mL; "
                "Gran %.1f %% of %d lines, median half-width %.3f mL; fit %.1f %% (%d fitted)\n",
                type == TitrationType::StrongAcidStrongBase ? "strong acid"
                : type == TitrationType::WeakAcidStrongBase ? "weak acid"
                                                            : "weak base",
                plan == lab::VolumePlan::Dense ? "dense" : "coarse",
                share(c.derivativeHeld, c.runs), c.derivativeFound, c.runs,
                c.derivativeMedianHalfWidth, share(c.granHeld, c.granFound), c.granFound,
                c.granMedianHalfWidth, share(c.fitHeld, c.runs), c.fitFound);
}
BENCHMARK_CAPTURE(realisticCoverage, strongAcidDense, TitrationType::StrongAcidStrongBase,
                  lab::VolumePlan::Dense)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(realisticCoverage, strongAcidCoarse, TitrationType::StrongAcidStrongBase,
                  lab::VolumePlan::Coarse)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(realisticCoverage, weakAcidDense, TitrationType::WeakAcidStrongBase,
                  lab::VolumePlan::Dense)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(realisticCoverage, weakAcidCoarse, TitrationType::WeakAcidStrongBase,
                  lab::VolumePlan::Coarse)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(realisticCoverage, weakBaseDense, TitrationType::WeakBaseStrongAcid,
                  lab::VolumePlan::Dense)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(realisticCoverage, weakBaseCoarse, TitrationType::WeakBaseStrongAcid,
                  lab::VolumePlan::Coarse)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
