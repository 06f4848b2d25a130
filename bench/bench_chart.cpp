// Drawing the titration chart: the screen chart into the curve page's 768 x 476 picture, and
// the paper chart into an A4-landscape image at 150 dots an inch; for a weak acid with one
// proton, and for a triprotic and a six-proton one, whose labels look for free room.
#include "chart/titrationchart.h"
#include "output/qtdrawingsurface.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

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
