// How long one pH takes, for each titration type near and far from the equivalence point, and
// the root search at its worst; a whole curve of a triprotic acid.
#include "chem/polyprotic.h"
#include "chem/titration.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using chem::TitrationType;

// 25 mL of 0.1 M analyte with 0.1 M titrant: Veq = 25 mL.
const chem::TitrationInputs kInputs{0.1, 0.1, 25.0, 1.8e-5};

void getPH(benchmark::State& state, TitrationType type, double volume)
{
    double v = volume;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        benchmark::DoNotOptimize(chem::Get_pH(type, kInputs, v));
    }
}

BENCHMARK_CAPTURE(getPH, strongAcid_nearEq, TitrationType::StrongAcidStrongBase, 24.95);
BENCHMARK_CAPTURE(getPH, strongAcid_farFromEq, TitrationType::StrongAcidStrongBase, 5.0);
BENCHMARK_CAPTURE(getPH, weakAcid_nearEq, TitrationType::WeakAcidStrongBase, 24.95);
BENCHMARK_CAPTURE(getPH, weakAcid_farFromEq, TitrationType::WeakAcidStrongBase, 5.0);
BENCHMARK_CAPTURE(getPH, strongBase_nearEq, TitrationType::StrongBaseStrongAcid, 24.95);
BENCHMARK_CAPTURE(getPH, strongBase_farFromEq, TitrationType::StrongBaseStrongAcid, 5.0);
BENCHMARK_CAPTURE(getPH, weakBase_nearEq, TitrationType::WeakBaseStrongAcid, 24.95);
BENCHMARK_CAPTURE(getPH, weakBase_farFromEq, TitrationType::WeakBaseStrongAcid, 5.0);

// x³ = 1e300: every pass climbs all 58 steps without reaching the root, 638 evaluations.
void resolverCubicaWorstCase(benchmark::State& state)
{
    double c = -1e300;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c);
        benchmark::DoNotOptimize(chem::ResolverCubica(0.0, 0.0, c));
    }
}
BENCHMARK(resolverCubicaWorstCase);

// The chart's curve of 25 mL of 0.1 M phosphoric acid with 0.1 M base: 201 points from 0 to
// 100 mL, one past the third equivalence point. Target: 50 µs or less. pKa values from the CRC
// Handbook of Chemistry and Physics, 97th ed., "Dissociation Constants of Inorganic Acids and
// Bases".
void triproticCurve(benchmark::State& state)
{
    const auto titration = chem::PolyproticTitration::make(
                               {{2.15, 7.20, 12.35}, 0.1, chem::AnalyteKind::Acid}, 25.0, 0.1)
                               .value;
    std::vector<double> volumes;
    for (int i = 0; i <= 200; ++i)
        volumes.push_back(0.5 * i);
    for (auto _ : state)
        benchmark::DoNotOptimize(titration->curve(volumes));
}
BENCHMARK(triproticCurve)->Unit(benchmark::kMicrosecond);

// The same points each solved on their own, without the previous point to start from.
void triproticPointsAlone(benchmark::State& state)
{
    const auto titration = chem::PolyproticTitration::make(
                               {{2.15, 7.20, 12.35}, 0.1, chem::AnalyteKind::Acid}, 25.0, 0.1)
                               .value;
    for (auto _ : state)
        for (int i = 0; i <= 200; ++i)
            benchmark::DoNotOptimize(titration->pH(0.5 * i));
}
BENCHMARK(triproticPointsAlone)->Unit(benchmark::kMicrosecond);

} // namespace
