// One whole "Table & results" run: report lines and a 25-row table, for a weak acid (the root
// search for every row) and a strong acid.
#include "report/calculationrun.h"
#include "report/numbertext.h"

#include <benchmark/benchmark.h>

namespace {

void calculationRun(benchmark::State& state, chem::TitrationType type)
{
    report::CalculationInput in;
    in.type = type;
    in.inputs = {0.1, 0.1, 25.0, 1.8e-5};
    in.constantText = "1.8E-5";
    in.indicator = report::IndicatorInfo{"phenolphthalein", 8.2, 9.8, "colourless", "violet"};
    in.verdictCaption = "Very appropriate";
    for (auto _ : state)
        benchmark::DoNotOptimize(report::runCalculation(in));
}
BENCHMARK_CAPTURE(calculationRun, weakAcid, chem::TitrationType::WeakAcidStrongBase)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculationRun, strongAcid, chem::TitrationType::StrongAcidStrongBase)
    ->Unit(benchmark::kMicrosecond);

} // namespace
