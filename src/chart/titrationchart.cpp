#include "chart/titrationchart.h"

#include "chart/chartpainter.h"
#include "report/numbertext.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace chart {

namespace {

using indicators::rgb;

/// The titration error in percent against the nearest equivalence volume.
double errorPercent(const std::vector<report::EquivalencePoint>& points, double v)
{
    double e = HUGE_VAL;
    for (const report::EquivalencePoint& p : points)
        e = std::min(e, std::fabs(v - p.volume) / p.volume * 100);
    return e;
}

/// The model's curve across the plot: a sample every sampleStep, sampleExtra further apart
/// beyond 5 % from an equivalence volume and again beyond 20 %; until a pH computation fails.
Series sampleModel(const PlotTransform& plot, const ChartModel& chart)
{
    Series s = makeSeries(SeriesRole::Model, {}, chart.modelLegend());
    const ChartGeometry& g = plot.geometry;
    const std::vector<report::EquivalencePoint>& points = chart.points();
    const bool severalPoints = points.size() > 1;
    // With several points, each ±1 % stretch begins, peaks and ends on a sample: the steps
    // alone may step over a stretch that spans only a few pixels.
    std::vector<double> marks;
    if (severalPoints)
        for (const report::EquivalencePoint& p : points)
            marks.insert(marks.end(), {plot.xOfVolume(0.99 * p.volume), plot.xOfVolume(p.volume),
                                       plot.xOfVolume(1.01 * p.volume)});
    const auto sample = [&](double x) {
        const double v = plot.volumeAtX(x);
        const report::PHValue computed = chart.model().pH(v);
        if (computed.failed) {
            s.cutShort = true;
            return false;
        }
        // A segment takes its colour from the error at its end; with several points, where
        // the stretches begin and end on samples, from its middle.
        const double at = severalPoints && !s.points.empty() ? (s.points.back().first + v) / 2 : v;
        s.segmentColours.push_back(
            chart.marksPoints() && errorPercent(points, at) <= 1 ? kChartGreen : kChartRed);
        s.points.emplace_back(v, computed.value);
        s.sampledX.push_back(x);
        return true;
    };
    auto mark = marks.begin();
    for (double x = g.X0; x <= g.XR;) {
        if (!sample(x))
            return s;
        // Denser sampling where the curve is steep.
        const double e = errorPercent(points, plot.volumeAtX(x));
        double next = x;
        if (e > 5)
            next += g.sampleExtra;
        if (e > 20)
            next += g.sampleExtra;
        next += g.sampleStep;
        for (; mark != marks.end() && *mark < next; ++mark)
            if (*mark > x && *mark <= g.XR && !sample(*mark))
                return s;
        x = next;
    }
    return s;
}

} // namespace

ChartGeometry ChartGeometry::screen(double width, double height)
{
    ChartGeometry g;
    g.X0 = 30;
    g.XR = width - 20;
    g.H = height - 20;
    g.bottomOffset = 20;
    g.pHLabelRight = 25;
    g.volumeLabelTop = g.H - 18;
    g.gridTop = 31;
    g.gridLength = g.H - 50;
    g.captionTop = g.H - 1;
    g.gridColour = rgb(224, 224, 224);
    g.dotColour = rgb(240, 0, 0);
    g.gridPen = 1;
    g.bandPen = 1;
    g.curvePen = 2;
    g.dotPen = 10;
    g.penAfterDot = 2;
    g.bandLeft = g.XR - 40;
    g.bandWidth = 38;
    g.bandTop = 32;
    g.bandBottom = g.H - 21;
    g.bandStep = 1;
    g.sampleStep = 3;
    g.sampleExtra = 1;
    g.rightTextOffset = 18;
    g.rightTextSize = 11;
    g.leftTextOffset = 24;
    g.leftTextSize = 10;
    g.greenTextLines = 2;
    g.volumeRangeLines = 1;
    g.rightAxisRoom = 40;
    g.rightTick = 4;
    g.dash = 8;
    return g;
}

ChartGeometry ChartGeometry::paper()
{
    ChartGeometry g;
    g.onPaper = true;
    g.X0 = 10;
    g.XR = 260;
    g.H = 180;
    g.bottomOffset = 20.0 / 3;
    g.pHLabelRight = 25.0 / 3;
    g.volumeLabelTop = g.H - 18.0 / 3;
    g.gridTop = 40.0 / 3;
    g.gridLength = g.H - 20;
    g.captionTop = g.H - 1.0 / 3;
    g.gridColour = rgb(96, 96, 96);
    g.dotColour = rgb(200, 0, 0);
    g.gridPen = 0.15;
    g.bandPen = 1;
    g.curvePen = 0.6;
    g.dotPen = 3;
    g.penAfterDot = 1; // device pixels
    g.bandLeft = g.XR - 40.0 / 3;
    g.bandWidth = 38.0 / 3;
    g.bandTop = 40.0 / 3 + 0.55;
    g.bandBottom = g.H - 20.0 / 3 - 0.25;
    g.bandStep = 0.74;
    g.sampleStep = 0.5;
    g.sampleExtra = 0.5;
    g.rightTextOffset = 6;
    g.rightTextSize = 12;
    g.leftTextOffset = 8;
    g.leftTextSize = 11;
    g.greenTextLines = 2.5;
    g.volumeRangeLines = 1.5;
    g.rightAxisRoom = 16;
    g.rightTick = 1.5;
    g.dash = 2.5;
    return g;
}

ChartGeometry ChartGeometry::paperPanel(double width, double height)
{
    // Room above pH 15 for the "pH" label, and below pH -1 for the volumes and the caption.
    constexpr double kAbove = 7.5, kBelow = 11;
    ChartGeometry g = paper();
    g.XR = width - 5;
    const double bottom = height - kBelow;
    g.H = 18 * (bottom - kAbove) / 16; // pH -1 to 15 from bottom to kAbove
    g.bottomOffset = g.H - bottom;
    g.volumeLabelTop = bottom + 2.0 / 3;
    g.gridTop = kAbove;
    g.gridLength = bottom - kAbove;
    g.captionTop = bottom + 19.0 / 3;
    g.bandLeft = g.XR - 40.0 / 3;
    g.bandTop = kAbove + 0.55;
    g.bandBottom = bottom - 0.25;
    return g;
}

double ChartGeometry::yOfPH(double pH) const
{
    return (H - bottomOffset) - (pH + 1) * H / 18;
}

double ChartGeometry::pHAtY(double y) const
{
    return (H - y - bottomOffset) * 18 / H - 1;
}

PlotTransform plotTransform(const ChartGeometry& geometry, const ChartModel& chart)
{
    PlotTransform plot{geometry, chart.axisEnd()};
    if (chart.rightAxis()) {
        plot.geometry.XR -= geometry.rightAxisRoom;
        plot.geometry.bandLeft -= geometry.rightAxisRoom;
    }
    return plot;
}

Series modelSeries(const ChartModel& chart, const ChartGeometry& geometry)
{
    return sampleModel(plotTransform(geometry, chart), chart);
}

PlotTransform drawChart(DrawingSurface& surface, const ChartGeometry& geometry,
                        const ChartModel& chart)
{
    const PlotTransform plot = plotTransform(geometry, chart);
    const Series curve = sampleModel(plot, chart);
    ChartPainter(surface, geometry, plot, chart, curve).draw();
    return plot;
}

void drawSketchGrid(DrawingSurface& s, const ChartGeometry& g, double lastVolume)
{
    constexpr double kLongest = 600, kFallback = 50;
    const PlotTransform plot{g, lastVolume > 0 ? std::min(lastVolume, kLongest) : kFallback};
    const double top = g.gridTop, bottom = g.gridTop + g.gridLength, unit = g.gridLength / 14;
    const auto printAt = [&](double x, double y, const std::string& text) {
        s.setCurrentX(x);
        s.setCurrentY(y);
        s.Print(text);
    };
    s.setFontName("Arial");
    s.setFontSize(10);
    s.setFontBold(false);
    s.setFontItalic(false);
    s.setDrawWidth(penPixels(s, g, g.gridPen, false));
    for (int p = 0; p <= 14; ++p) {
        const double y = bottom - p * unit;
        const std::string label = chartNumber(p);
        printAt(g.pHLabelRight - s.TextWidth(label), y - s.TextHeight(label) / 2, label);
        s.Line(g.X0, y, g.XR, y, g.gridColour);
    }
    // "pH" a step above the top line, where the chart has it, or a line's height on a short one.
    const double pHLeft = g.pHLabelRight - s.TextWidth("16");
    const double pHTop = top - std::max(unit, 1.3 * s.TextHeight("16")) - s.TextHeight("16") / 4;
    s.setDrawWidth(penPixels(s, g, g.gridPen, true));
    const double step = tickStep(plot.axisEnd);
    for (int k = 0; k * step <= plot.axisEnd; ++k) {
        const double x = plot.xOfVolume(k * step);
        const std::string label = chartNumber(k * step);
        printAt(x - s.TextWidth(label) / 2, g.volumeLabelTop, label);
        s.Line(x, top, x, bottom, g.gridColour);
    }
    s.Line(g.XR, top, g.XR, bottom, g.gridColour);
    s.setFontBold(true);
    s.setFontSize(12);
    printAt(pHLeft, pHTop, "pH");
    const std::string caption = "Volume of titrant added (mL)";
    s.setFontSize(11);
    printAt((g.X0 + g.XR - s.TextWidth(caption)) / 2, g.captionTop, caption);
}

std::string chartNumber(double x)
{
    return report::PlainText(x);
}

double tickStep(double range)
{
    return range <= 20 ? 1 : range <= 50 ? 2 : range <= 100 ? 5 : range <= 200 ? 10 : 20;
}

} // namespace chart
