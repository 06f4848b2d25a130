// How long one pH takes, for each titration type near and far from the equivalence point, and
// the root search at its worst.
#include "chem/titration.h"

#include <benchmark/benchmark.h>

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

} // namespace
