// Drawing the titration chart: the screen chart into the curve page's 768 x 476 picture, and
// the paper chart into an A4-landscape image at 150 dots an inch; for a weak acid with one
// proton, and for a triprotic and a six-proton one, whose labels look for free room; and the
// screen chart laden: 500 readings, three kept curves and the derivative, with its legend.
#include "chart/titrationchart.h"
#include "output/qtdrawingsurface.h"
#include "report/numbertext.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

chart::ChartInput weakAcid(const indicators::IndicatorCatalogue& catalogue)
{
    chart::ChartInput in;
    in.type = chem::TitrationType::WeakAcidStrongBase;
    in.inputs = {0.1, 0.1, 25.0, 1.8e-5};
    in.indicatorPosition = 4;
    in.catalogue = &catalogue;
    in.title = "Titration of weak acid with strong base";
    in.indicatorName = "phenolphthalein";
    return in;
}

void screenChart(benchmark::State& state, std::vector<double> pKa)
{
    chart::ChartInput in = weakAcid(indicators::filledCatalogue());
    if (!pKa.empty())
        in.constants = report::AnalyteConstants{std::move(pKa), "", ""};
    QImage picture(768, 476, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&picture);
        output::QtDrawingSurface surface(painter, 1.0, Qt::black);
        surface.Cls();
        chart::drawChart(surface, chart::ChartGeometry::screen(768, 476), in);
    }
}
BENCHMARK_CAPTURE(screenChart, oneProton, std::vector<double>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(screenChart, triprotic, std::vector<double>{2.15, 7.20, 12.35})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(screenChart, sixProtons, std::vector<double>{1, 2, 3, 4, 5, 6})
    ->Unit(benchmark::kMillisecond);

void screenChartWithSeries(benchmark::State& state, std::vector<double> pKa)
{
    chart::ChartInput in = weakAcid(indicators::filledCatalogue());
    if (!pKa.empty())
        in.constants = report::AnalyteConstants{std::move(pKa), "", ""};
    const chart::ChartGeometry g = chart::ChartGeometry::screen(768, 476);
    const chart::Series model = *chart::modelSeries(in, g);
    const double end = model.points.back().first;
    std::vector<std::pair<double, double>> readings;
    const auto modelAt = report::TitrationModel::make(*in.type, in.inputs, in.constants);
    for (int i = 0; i < 500; ++i) {
        const double v = end * i / 500;
        readings.emplace_back(v, modelAt->pH(v).value + 0.01 * std::sin(i)); // noise of 0.01 pH
    }
    in.series.push_back(chart::makeSeries(chart::SeriesRole::Readings, readings, "500 readings"));
    for (const double ka : {1e-3, 1e-5, 1e-7}) {
        chart::ChartInput kept = weakAcid(indicators::filledCatalogue());
        kept.inputs.dissociationConstant = ka;
        in.series.push_back(chart::makeSeries(chart::SeriesRole::Kept,
                                              chart::modelSeries(kept, g)->points,
                                              "Ka " + report::NumberText(ka), in.series.size()));
    }
    in.series.push_back(chart::derivativeSeries(model.points));
    QImage picture(768, 476, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&picture);
        output::QtDrawingSurface surface(painter, 1.0, Qt::black);
        surface.Cls();
        chart::drawChart(surface, g, in);
    }
}
BENCHMARK_CAPTURE(screenChartWithSeries, oneProton, std::vector<double>{})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(screenChartWithSeries, triprotic, std::vector<double>{2.15, 7.20, 12.35})
    ->Unit(benchmark::kMillisecond);

void paperChart(benchmark::State& state)
{
    const chart::ChartInput in = weakAcid(indicators::filledCatalogue());
    const double dotsPerMm = 150 / 25.4;
    QImage page(static_cast<int>(297 * dotsPerMm), static_cast<int>(210 * dotsPerMm),
                QImage::Format_RGB32);
    page.setDotsPerMeterX(static_cast<int>(dotsPerMm * 1000));
    page.setDotsPerMeterY(static_cast<int>(dotsPerMm * 1000));
    for (auto _ : state) {
        QPainter painter(&page);
        output::QtDrawingSurface surface(painter, dotsPerMm, Qt::black);
        surface.Cls();
        chart::drawChart(surface, chart::ChartGeometry::paper(), in);
    }
}
BENCHMARK(paperChart)->Unit(benchmark::kMillisecond);

} // namespace
