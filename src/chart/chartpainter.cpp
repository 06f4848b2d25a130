#include "chart/chartpainter.h"

#include "indicators/indicatorcolour.h"
#include "report/numbertext.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace chart {

namespace {

constexpr Colour kBoundary = indicators::rgb(0, 80, 0);
/// The right axis spans the plot's height from pH -1 to 13; its caption stands above.
constexpr double kDerivativeTopPH = 13;

bool onRightAxis(const Series& s)
{
    return s.axis == SeriesAxis::Derivative;
}

} // namespace

ChartPainter::ChartPainter(DrawingSurface& s, const ChartGeometry& page, const PlotTransform& plot,
                           const ChartModel& chart, const Series& curve)
    : s_(s), page_(page), plot_(plot), g_(plot.geometry), chart_(chart), curve_(curve),
      placer_({g_.X0, g_.yOfPH(15), g_.XR, g_.yOfPH(-1)}, g_.dotPen)
{}

void ChartPainter::draw()
{
    if (g_.onPaper)
        titleAndIndicator();
    s_.setFontName("Arial");
    s_.setFontSize(10);
    s_.setFontBold(false);
    s_.setFontItalic(false);
    measuredBands();
    pen(g_.gridPen, false);
    pHAxis();
    volumeAxis();
    caption();
    band();
    if (chart_.rightAxis())
        rightAxis();
    // Kept curves under the model's; the fitted curve and derivatives over it; markers on top.
    const auto under = [](const Series& s) {
        return !s.style.markersOnly && (s.role == SeriesRole::Kept || s.role == SeriesRole::Model);
    };
    for (const Series& s : chart_.series())
        if (under(s))
            drawSeries(s);
    drawSeries(curve_);
    for (const bool markers : {false, true})
        for (const Series& s : chart_.series())
            if (!under(s) && s.style.markersOnly == markers)
                drawSeries(s);
    measuredMarks();
    if (!curve_.cutShort && chart_.pointsComputed() && chart_.marksPoints()) {
        if (chart_.points().size() == 1)
            equivalencePoint();
        else
            equivalencePoints();
    }
    measuredLabels();
    legend();
}

int penPixels(const DrawingSurface& s, const ChartGeometry& g, double width, bool vertical)
{
    if (!g.onPaper)
        return static_cast<int>(width);
    const double twips = vertical ? s.twipsPerPixelY() : s.twipsPerPixelX();
    return std::max(1, static_cast<int>(report::Round(width / 25.4 * 1440 / twips, 0)));
}

/// The vertical grid lines measure by the vertical pixel size.
void ChartPainter::pen(double width, bool vertical)
{
    s_.setDrawWidth(penPixels(s_, g_, width, vertical));
}

void ChartPainter::printAt(double x, double y, const std::string& text)
{
    s_.setCurrentX(x);
    s_.setCurrentY(y);
    s_.Print(text);
}

/// A text over a white box of its width and the line height L, which later labels avoid.
void ChartPainter::printOverBox(double x, double y, double L, const std::string& text)
{
    const double width = s_.TextWidth(text);
    s_.Box(x, y, width, L, kChartWhite);
    printAt(x, y, text);
    placer_.avoid({x, y, x + width, y + L});
}

void ChartPainter::titleAndIndicator()
{
    const ChartTexts& t = chart_.texts;
    s_.setFontName("Arial");
    s_.setFontSize(11);
    s_.setFontBold(true);
    s_.setFontItalic(false);
    printAt((page_.XR - page_.X0) / 2 + page_.X0 - s_.TextWidth(t.title) / 2, 4, t.title);
    s_.setFontSize(10);
    s_.setFontBold(false);
    printAt(page_.XR - 1 - s_.TextWidth(t.indicatorName), 7, t.indicatorName);
}

void ChartPainter::pHAxis()
{
    // On a short plot "pH" stands a line's height over the top label, not one pH step.
    const double pHLabel = std::min(g_.yOfPH(16), g_.yOfPH(15) - 1.3 * s_.TextHeight("16"));
    for (int p = -1; p <= 16; ++p) {
        const double y = p < 16 ? g_.yOfPH(p) : pHLabel;
        const std::string s = chartNumber(p);
        s_.setCurrentX(g_.pHLabelRight - s_.TextWidth(s));
        s_.setCurrentY(y - s_.TextHeight(s) / 2);
        if (p < 16) {
            s_.Print(s);
            s_.LineRelative(g_.X0, y, g_.XR - g_.X0, 0, g_.gridColour);
        } else {
            s_.setCurrentY(y - s_.TextHeight(s) / 4);
            s_.setFontBold(true);
            s_.setFontSize(12);
            s_.Print("pH");
        }
    }
}

void ChartPainter::volumeAxis()
{
    const double end = plot_.axisEnd, step = tickStep(end);
    s_.setFontSize(10);
    s_.setFontBold(false);
    pen(g_.gridPen, true);
    for (double v = 0; v <= end; v += step) {
        const double x = plot_.xOfVolume(v);
        const std::string s = chartNumber(v);
        printAt(x - s_.TextWidth(s) / 2, g_.volumeLabelTop, s);
        s_.LineRelative(x, g_.gridTop, 0, g_.gridLength, g_.gridColour);
    }
    // The right edge, also when the end is not a multiple of the step.
    s_.LineRelative(g_.XR, g_.gridTop, 0, g_.gridLength, g_.gridColour);
}

void ChartPainter::caption()
{
    const std::string text = chem::titrantIsBase(chart_.model().type())
                                 ? "Volume of base (titrant) added (mL)"
                                 : "Volume of acid (titrant) added (mL)";
    s_.setFontBold(true);
    s_.setFontSize(11);
    printAt((g_.XR - g_.X0) / 2 + g_.X0 - s_.TextWidth(text) / 2, g_.captionTop, text);
}

void ChartPainter::band()
{
    if (chart_.indicatorPosition() < 1 || !chart_.catalogue())
        return;
    pen(g_.bandPen, false);
    for (double y = g_.bandTop; y <= g_.bandBottom; y += g_.bandStep)
        s_.LineRelative(g_.bandLeft, y, g_.bandWidth, 0,
                        indicators::Get_Color_INDIC(*chart_.catalogue(), chart_.indicatorPosition(),
                                                    g_.pHAtY(y)));
    placer_.avoid({g_.bandLeft, g_.bandTop, g_.bandLeft + g_.bandWidth, g_.bandBottom});
}

/// The readings' end points' 95 % intervals, under the grid; at least a pen's width wide.
void ChartPainter::measuredBands()
{
    const double top = g_.yOfPH(15), bottom = g_.yOfPH(-1);
    for (const MeasuredMark& m : chart_.marks()) {
        if (!(m.high >= 0 && m.low <= plot_.axisEnd))
            continue;
        const double left = std::max(plot_.xOfVolume(m.low), g_.X0);
        const double right = std::min(plot_.xOfVolume(m.high), g_.XR);
        s_.Box(left, top, std::max(right - left, g_.curvePen), bottom - top, kMeasuredBand);
    }
}

double ChartPainter::yOfDerivative(double d) const
{
    const DerivativeScale& scale = chart_.derivativeScale();
    const double low = scale.lowestTick * scale.step, high = scale.highestTick * scale.step;
    return g_.yOfPH(-1) + (d - low) / (high - low) * (g_.yOfPH(kDerivativeTopPH) - g_.yOfPH(-1));
}

/// Ticks and values right of the plot, its caption above them.
void ChartPainter::rightAxis()
{
    s_.setFontSize(10);
    s_.setFontBold(false);
    pen(g_.gridPen, false);
    const double L = s_.TextHeight("P"), left = g_.XR + 2 * g_.rightTick;
    const Colour colour = seriesStyle(SeriesRole::Derivative).colour;
    const DerivativeScale& scale = chart_.derivativeScale();
    for (double k = scale.lowestTick; k <= scale.highestTick; ++k) {
        const double y = yOfDerivative(k * scale.step);
        s_.Line(g_.XR, y, g_.XR + g_.rightTick, y, colour);
        // The lowest value clear of the volume axis's labels.
        printAt(left, std::min(y - L / 2, g_.volumeLabelTop - L), chartNumber(k * scale.step));
    }
    printAt(left, g_.yOfPH(15), "dpH/dV");
    printAt(left, g_.yOfPH(15) + L, "(1/mL)");
}

/// On paper, a 4 mm stroke across the curve where it enters or leaves the ±1 % stretch.
void ChartPainter::boundaryStroke(double px, double py, double x, double y)
{
    const double dx = x - px;
    const double dy = py - y;
    const double d = std::sqrt(dx * dx + dy * dy);
    const double a = 2 * dy / d;
    const double b = 2 * dx / d;
    s_.LineRelative(px, py, a, b, kBoundary);
    s_.LineRelative(px, py, -a, -b, kBoundary);
}

/// Which of a series' points are worth drawing, in their order: all of them, unless they
/// outnumber twice the plot's pixel columns (never with `pixel` 0, for the model's curve).
/// Then in each column, for a line the first, lowest, highest and last point between
/// interruptions (the line through them covers the same pixels); for markers none, but in
/// `runs` the cells of a pixel, or of a quarter of a marker where that is larger, they take,
/// as strokes down each column (x in left and right, top, bottom). `at` gives a point's place on
/// the surface, none off the plot; `pixel` is a device pixel's size in the surface's units.
template <class At>
std::vector<std::size_t> ChartPainter::shownPoints(const Series& s, const At& at, double pixel,
                                                   std::vector<Rect>* runs) const
{
    const std::size_t n = s.points.size();
    const double left = plot_.left(), top = g_.yOfPH(15);
    const double width = plot_.right() - left, height = g_.yOfPH(-1) - top;
    std::vector<std::size_t> shown;
    if (!(pixel > 0) || n <= 2 * static_cast<std::size_t>(width / pixel + 1)) {
        shown.resize(n);
        std::iota(shown.begin(), shown.end(), std::size_t{0});
        return shown;
    }
    const double size =
        s.style.markersOnly ? std::max(pixel, g_.dotPen * s.style.width / 4) : pixel;
    const auto columns = static_cast<std::size_t>(width / size) + 1;
    const auto rows = static_cast<std::size_t>(height / size) + 1;
    const auto cell = [&](double u, double from, std::size_t count) {
        return static_cast<std::size_t>(std::clamp((u - from) / size, 0.0, count - 1.0));
    };
    if (s.style.markersOnly) {
        // Each column's markers as runs of the cells they take, a run drawn as one stroke of
        // the marker's width with round ends: a stack of markers that close looks the same.
        std::vector<bool> taken(columns * rows);
        std::vector<double> x(columns, NAN);
        for (std::size_t i = 0; i < n; ++i)
            if (const auto p = at(i)) {
                const std::size_t c = cell(p->first, left, columns);
                taken[c * rows + cell(p->second, top, rows)] = true;
                if (std::isnan(x[c]))
                    x[c] = p->first;
            }
        for (std::size_t c = 0; c < columns; ++c)
            for (std::size_t r = 0; r < rows; ++r) {
                if (!taken[c * rows + r])
                    continue;
                const std::size_t first = r;
                while (r + 1 < rows && taken[c * rows + r + 1])
                    ++r;
                runs->push_back({x[c], top + (first + 0.5) * size, x[c], top + (r + 0.5) * size});
            }
        return shown;
    }
    // A column's first, lowest, highest and last, kept in order.
    std::size_t kept[4] = {}, count = 0, column = columns;
    double low = 0, high = 0;
    const auto flush = [&] {
        std::sort(kept, kept + count);
        for (std::size_t k = 0; k < count; ++k)
            if (shown.empty() || shown.back() != kept[k])
                shown.push_back(kept[k]);
        count = 0;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const auto p = at(i);
        if (!p || cell(p->first, left, columns) != column)
            flush();
        if (!p) {
            shown.push_back(i); // the interruption
            column = columns;
        } else if (count == 0) {
            column = cell(p->first, left, columns);
            std::fill(kept, kept + 4, i);
            low = high = p->second;
            count = 4;
        } else {
            kept[3] = i;
            if (p->second < low)
                low = p->second, kept[1] = i;
            if (p->second > high)
                high = p->second, kept[2] = i;
        }
    }
    flush();
    return shown;
}

/// Runs of dense markers down a column (x in left), each one stroke in the current pen.
void ChartPainter::markerRuns(const std::vector<Rect>& runs, Colour colour, double diameter)
{
    for (const Rect& run : runs) {
        if (run.top == run.bottom)
            s_.PSet(run.left, run.top, colour);
        else
            s_.Line(run.left, run.top, run.left, run.bottom, colour);
        placer_.avoidSeries(Rect{run.left, run.top, run.left, run.bottom}.grown(diameter / 2));
    }
}

/// A series in its style: markers where its points lie on the plot, or a line through them,
/// interrupted where one does not.
void ChartPainter::drawSeries(const Series& s)
{
    const bool right = onRightAxis(s);
    const DerivativeScale& scale = chart_.derivativeScale();
    const double low = right ? scale.lowestTick * scale.step : -1;
    const double high = right ? scale.highestTick * scale.step : 15;
    const auto y = [&](double value) { return right ? yOfDerivative(value) : g_.yOfPH(value); };
    // The model's own curve is sampled across this plot already: its volumes are not checked
    // again, as they may come back from the surface an ulp beyond its end. A series given is
    // drawn from its points alone, whatever plot it was sampled for.
    const bool own = &s == &curve_;
    const bool sampled = own && s.sampledX.size() == s.points.size();
    const auto onPlot = [&](double v, double value) {
        return value >= low && value <= high && (sampled || (v >= 0 && v <= plot_.axisEnd));
    };
    const auto at = [&](std::size_t i) -> std::optional<std::pair<double, double>> {
        const auto [v, value] = s.points[i];
        if (!onPlot(v, value))
            return std::nullopt;
        return std::pair{sampled ? s.sampledX[i] : plot_.xOfVolume(v), y(value)};
    };
    // The same as straight lines, cheaper for sorting a million points into pixels.
    const double x0 = plot_.xOfVolume(0), kx = plot_.xOfVolume(1) - x0, y0 = y(0), ky = y(1) - y0;
    const auto near = [&](std::size_t i) -> std::optional<std::pair<double, double>> {
        const auto [v, value] = s.points[i];
        if (!onPlot(v, value))
            return std::nullopt;
        return std::pair{x0 + kx * v, y0 + ky * value};
    };
    // A device pixel: the surface's unit on screen, a printer's dot on paper.
    const double pixel = g_.onPaper ? s_.twipsPerPixelX() / 1440 * 25.4 : 1.0;
    std::vector<Rect> runs; // of dense markers: x, the top and the bottom
    const std::vector<std::size_t> shown = shownPoints(s, near, own ? 0.0 : pixel, &runs);
    if (s.style.markersOnly) {
        const double diameter = g_.dotPen * s.style.width;
        pen(diameter, false);
        for (const std::size_t i : shown)
            if (const auto p = at(i)) {
                const auto [x, yv] = *p;
                s_.PSet(x, yv, s.style.colour);
                placer_.avoidSeries(Rect{x, yv, x, yv}.grown(diameter / 2));
            }
        markerRuns(runs, s.style.colour, diameter);
        return;
    }
    pen(g_.curvePen * s.style.width, false);
    dashPhase_ = 0;
    bool havePrevious = false;
    double px = 0, py = 0;
    for (const std::size_t i : shown) {
        const auto p = at(i);
        if (!p) {
            havePrevious = false; // interrupted, not clamped
            continue;
        }
        const auto [x, yv] = *p;
        if (havePrevious) {
            const Colour colour =
                own && i < s.segmentColours.size() ? s.segmentColours[i] : s.style.colour;
            if (s.style.dashed)
                dashedLine(px, py, x, yv, colour);
            else
                s_.Line(px, py, x, yv, colour);
            const bool green = colour == kChartGreen;
            if (g_.onPaper && own && green != inGreen_) {
                boundaryStroke(px, py, x, yv);
                inGreen_ = green;
            }
            if (own)
                placer_.avoidCurve({px, py, x, yv});
            else
                placer_.avoidSeries(Segment{px, py, x, yv});
        }
        havePrevious = true;
        px = x;
        py = yv;
    }
}

/// A line in dashes whose pattern runs on from the previous segment's.
void ChartPainter::dashedLine(double x1, double y1, double x2, double y2, Colour colour)
{
    const double length = std::hypot(x2 - x1, y2 - y1), period = 1.6 * g_.dash;
    if (!(length > 0) || !std::isfinite(length))
        return;
    const auto at = [&](double t) {
        return std::pair(x1 + (x2 - x1) * t / length, y1 + (y2 - y1) * t / length);
    };
    for (double t = 0; t < length;) {
        const bool on = dashPhase_ < g_.dash;
        const double run = std::min((on ? g_.dash : period) - dashPhase_, length - t);
        if (on) {
            const auto [ax, ay] = at(t);
            const auto [bx, by] = at(t + run);
            s_.Line(ax, ay, bx, by, colour);
        }
        t += run;
        dashPhase_ += run;
        if (dashPhase_ >= period - 1e-9 * period)
            dashPhase_ = 0;
    }
}

} // namespace chart
