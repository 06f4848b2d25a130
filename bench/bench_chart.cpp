// Drawing the titration chart: the screen chart into the curve page's 768 x 476 picture, and
// the paper chart into an A4-landscape image at 150 dots an inch; for a weak acid with one
// proton, and for a triprotic and a six-proton one, whose labels look for free room; and the
// screen chart laden: 500 readings, three kept curves and the derivative, with its legend; and
// the curve page with a million readings.
#include "app/chartpage.h"
#include "chart/titrationchart.h"
#include "output/qtdrawingsurface.h"
#include "report/numbertext.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

/// A weak acid 0.1 M, 25 mL, Ka 1.8E-5 or the constants `pKa`, with `series` drawn over it.
chart::ChartModel weakAcid(std::vector<double> pKa = {}, std::vector<chart::Series> series = {},
                           double Ka = 1.8e-5)
{
    report::CalculationInput in;
    in.type = chem::TitrationType::WeakAcidStrongBase;
    in.inputs = {0.1, 0.1, 25.0, Ka};
    if (!pKa.empty())
        in.constants = report::AnalyteConstants{std::move(pKa), "", ""};
    return chart::ChartModel(
        *report::TitrationModel::make(*in.type, in.inputs, in.constants),
        report::runCalculation(in)->points,
        {std::move(series), "Calculated curve", 4, &indicators::filledCatalogue()},
        {"Titration of weak acid with strong base", "phenolphthalein", ""});
}

void screenChart(benchmark::State& state, std::vector<double> pKa)
{
    const chart::ChartModel in = weakAcid(std::move(pKa));
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
    const chart::ChartModel plain = weakAcid(pKa);
    const chart::ChartGeometry g = chart::ChartGeometry::screen(768, 476);
    const chart::Series model = chart::modelSeries(plain, g);
    const double end = model.points.back().first;
    std::vector<std::pair<double, double>> readings;
    for (int i = 0; i < 500; ++i) {
        const double v = end * i / 500;
        readings.emplace_back(v, plain.model().pH(v).value + 0.01 * std::sin(i)); // 0.01 pH noise
    }
    std::vector<chart::Series> series;
    series.push_back(chart::makeSeries(chart::SeriesRole::Readings, readings, "500 readings"));
    for (const double ka : {1e-3, 1e-5, 1e-7})
        series.push_back(chart::makeSeries(chart::SeriesRole::Kept,
                                           chart::modelSeries(weakAcid({}, {}, ka), g).points,
                                           "Ka " + report::NumberText(ka), series.size()));
    series.push_back(chart::derivativeSeries(model.points));
    const chart::ChartModel in = weakAcid(std::move(pKa), std::move(series));
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
    const chart::ChartModel in = weakAcid();
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

/// The curve page redrawn as the window does it, with 1,000,000 readings and their derivative
/// (target: under 50 ms): the chart handed to the page and its picture painted.
void pageWithMillionReadings(benchmark::State& state)
{
    const chart::ChartModel plain = weakAcid();
    std::vector<std::pair<double, double>> readings;
    for (int i = 0; i < 1000000; ++i) {
        const double v = 50.0 * i / 1000000;
        readings.emplace_back(v, plain.model().pH(v).value + 0.01 * std::sin(i * 0.7));
    }
    std::vector<chart::Series> series{
        chart::makeSeries(chart::SeriesRole::Readings, readings, "readings.csv"),
        chart::makeSeries(chart::SeriesRole::ReadingsDerivative,
                          chart::derivativeSeries(readings).points, "dpH/dV of readings.csv")};
    const chart::ChartModel in = weakAcid({}, std::move(series));
    app::ChartPage page(nullptr);
    for (auto _ : state) {
        page.draw(in);
        benchmark::DoNotOptimize(page.picture().constBits());
    }
}
BENCHMARK(pageWithMillionReadings)->Unit(benchmark::kMillisecond);

} // namespace
