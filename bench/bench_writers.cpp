// What a save costs, format by format: the bytes of the chart as PDF, SVG and PNG, of the
// results as PDF and CSV, and the write through a temporary file.
#include "output/writers.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

chart::ChartModel weakAcid()
{
    report::CalculationInput in;
    in.type = chem::TitrationType::WeakAcidStrongBase;
    in.inputs = {0.1, 0.1, 25.0, 1.8e-5};
    return chart::ChartModel(*report::TitrationModel::make(*in.type, in.inputs, std::nullopt),
                             report::runCalculation(in)->points,
                             {{}, "Calculated curve", 4, &indicators::filledCatalogue()},
                             {"Titration of weak acid with strong base", "phenolphthalein", ""});
}

template <QByteArray (*Writer)(const chart::ChartModel&)> void chartFile(benchmark::State& state)
{
    const chart::ChartModel in = weakAcid();
    for (auto _ : state)
        benchmark::DoNotOptimize(Writer(in));
    state.SetLabel(std::to_string(Writer(in).size()) + " bytes");
}
BENCHMARK(chartFile<output::chartPdf>)->Name("save/chart PDF")->Unit(benchmark::kMillisecond);
BENCHMARK(chartFile<output::chartSvg>)->Name("save/chart SVG")->Unit(benchmark::kMillisecond);
BENCHMARK(chartFile<output::chartPng>)->Name("save/chart PNG")->Unit(benchmark::kMillisecond);

void resultsFiles(benchmark::State& state)
{
    std::array<output::ReportLine, 16> report;
    report[0] = {"Titration of weak acid with strong base", true, 60};
    std::string table = "    Vol.    pH\r\n";
    for (int i = 0; i < 39; ++i)
        table += "   " + std::to_string(10 + i) + ".00    7.00\r\n";
    QTemporaryDir dir;
    for (auto _ : state) {
        output::saveFile(dir.filePath(QStringLiteral("r.pdf")), output::resultsPdf(report, table));
        output::saveFile(dir.filePath(QStringLiteral("r.csv")),
                         QByteArray::fromStdString(output::resultsCsv(table)));
    }
}
BENCHMARK(resultsFiles)->Name("save/results PDF and CSV, written")->Unit(benchmark::kMillisecond);

} // namespace
