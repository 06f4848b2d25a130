#include "chart/titrationchart.h"

#include "indicators/indicatorcolour.h"
#include "report/acceptance.h"
#include "report/numbertext.h"
#include "report/table.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace chart {

namespace {

using indicators::rgb;

constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kGreen = rgb(0, 160, 0);
constexpr Colour kRed = rgb(196, 0, 0);
constexpr Colour kBoundary = rgb(0, 80, 0);
/// The longest volume axis the model draws itself (twice 300 mL): readings beyond it are
/// clipped rather than crowding the axis's labels.
constexpr double kLongestAxis = 600;
/// The right axis spans the plot's height from pH -1 to 13; its caption stands above.
constexpr double kDerivativeTopPH = 13;
/// The right axis's scale stays within this, whatever a series holds.
constexpr double kLargestDerivative = 1e15;

/// Stops the drawing where a pH computation failed; what was drawn stays.
struct DrawingStopped
{};

struct Rect
{
    double left, top, right, bottom;

    bool overlaps(const Rect& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    Rect grown(double d) const { return {left - d, top - d, right + d, bottom + d}; }
    /// The distance from (x, y) to the nearest point of the rectangle.
    double distanceTo(double x, double y) const
    {
        return std::hypot(std::max({left - x, 0.0, x - right}),
                          std::max({top - y, 0.0, y - bottom}));
    }
};

struct Segment
{
    double x1, y1, x2, y2;

    /// Rising or falling more than it runs: where the curve jumps at an equivalence point.
    bool steep() const { return std::fabs(y2 - y1) > std::fabs(x2 - x1); }
    /// Whether any part of the segment lies within `r` (Liang-Barsky clipping).
    bool crosses(const Rect& r) const
    {
        const double dx = x2 - x1, dy = y2 - y1;
        const double p[] = {-dx, dx, -dy, dy};
        const double q[] = {x1 - r.left, r.right - x1, y1 - r.top, r.bottom - y1};
        double t0 = 0, t1 = 1;
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0)
                    return false;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
            if (t0 > t1)
                return false;
        }
        return true;
    }
};

/// Where the series drawn with the model's curve lie, in cells of the plot, so that placing a
/// label costs the same whatever their number of points: cells that any of their lines or
/// markers touch, and cells where a line rises or falls more than it runs.
class Coverage
{
public:
    Coverage(const Rect& area, double cell)
        : area_(area), cell_(cell), columns_(index(area.right - area.left) + 1),
          rows_(index(area.bottom - area.top) + 1), any_(columns_ * rows_), steep_(columns_ * rows_)
    {}

    void mark(const Rect& r)
    {
        for (std::size_t row = first(r.top - area_.top); row <= last(r.bottom - area_.top, rows_);
             ++row)
            for (std::size_t c = first(r.left - area_.left);
                 c <= last(r.right - area_.left, columns_); ++c)
                set(row * columns_ + c, false);
    }

    void mark(const Segment& s)
    {
        const double length = std::hypot(s.x2 - s.x1, s.y2 - s.y1);
        const auto steps = static_cast<std::size_t>(std::ceil(length / (cell_ / 2)));
        for (std::size_t i = 0; i <= steps; ++i) {
            const double t = steps ? static_cast<double>(i) / static_cast<double>(steps) : 0;
            const double x = s.x1 + (s.x2 - s.x1) * t - area_.left;
            const double y = s.y1 + (s.y2 - s.y1) * t - area_.top;
            if (x >= 0 && y >= 0 && index(x) < columns_ && index(y) < rows_)
                set(index(y) * columns_ + index(x), s.steep());
        }
    }

    /// Whether a marked cell (a steep one, with `steepOnly`) meets `r`.
    bool covers(const Rect& r, bool steepOnly) const
    {
        if (empty_ || r.right < area_.left || r.bottom < area_.top || r.left > area_.right ||
            r.top > area_.bottom)
            return false;
        if (sums_.empty())
            sum();
        const std::vector<int>& s = sums_[steepOnly];
        const std::size_t c0 = first(r.left - area_.left),
                          c1 = last(r.right - area_.left, columns_) + 1;
        const std::size_t r0 = first(r.top - area_.top), r1 = last(r.bottom - area_.top, rows_) + 1;
        const std::size_t w = columns_ + 1;
        return s[r1 * w + c1] - s[r0 * w + c1] - s[r1 * w + c0] + s[r0 * w + c0] > 0;
    }

private:
    std::size_t index(double d) const { return static_cast<std::size_t>(d / cell_); }
    std::size_t first(double d) const { return d <= 0 ? 0 : index(d); }
    std::size_t last(double d, std::size_t count) const
    {
        return d <= 0 ? 0 : std::min(index(d), count - 1);
    }
    void set(std::size_t k, bool steep)
    {
        any_[k] = 1;
        steep_[k] = steep_[k] || steep;
        empty_ = false;
        sums_.clear();
    }
    /// Sums over every rectangle of cells from the top-left corner, for queries in four reads.
    void sum() const
    {
        const std::size_t w = columns_ + 1;
        for (const std::vector<char>* cells : {&any_, &steep_}) {
            std::vector<int>& s = sums_.emplace_back(w * (rows_ + 1));
            for (std::size_t row = 0; row < rows_; ++row)
                for (std::size_t c = 0; c < columns_; ++c)
                    s[(row + 1) * w + c + 1] = (*cells)[row * columns_ + c] + s[row * w + c + 1] +
                                               s[(row + 1) * w + c] - s[row * w + c];
        }
    }

    Rect area_;
    double cell_;
    std::size_t columns_, rows_;
    std::vector<char> any_, steep_;
    bool empty_ = true;
    mutable std::vector<std::vector<int>> sums_; ///< of any_ and steep_, once asked for
};

/// The model of a chart that passes the checks; none when it is refused.
std::optional<report::TitrationModel> acceptedModel(const ChartInput& in)
{
    const int protons = in.type && chem::isWeak(*in.type) ? report::protonCount(in.constants) : 1;
    if (report::checkTitration(in.type, in.inputs, in.calcErrorFlag, protons))
        return std::nullopt;
    return report::TitrationModel::make(*in.type, in.inputs, in.constants);
}

bool finite(const std::pair<double, double>& p)
{
    return std::isfinite(p.first) && std::isfinite(p.second);
}

bool onRightAxis(const Series& s)
{
    return s.axis == SeriesAxis::Derivative;
}

/// The volume at the plot's right edge: the model's end, or beyond it the tick after the
/// largest volume of the other series.
double volumeAxisEnd(const ChartInput& in, const report::TitrationModel& model)
{
    const double modelEnd = report::curveEnd(model);
    double last = 0;
    for (const Series& s : in.series)
        for (const auto& p : s.points)
            if (finite(p))
                last = std::max(last, p.first);
    last = std::min(last, kLongestAxis);
    if (last <= modelEnd)
        return modelEnd;
    const double step = tickStep(last);
    return std::ceil(last / step) * step;
}

/// The plot the series are drawn on: the geometry, narrowed for a right axis, and the volume
/// at its right edge.
struct Plot
{
    ChartGeometry g;
    std::vector<double> veqs;
    double end;
    bool stretched; ///< the end lies beyond the model's own
    bool rightAxis;

    Plot(const ChartGeometry& geometry, const ChartInput& in, const report::TitrationModel& model)
        : g(geometry), veqs(model.equivalenceVolumes()), end(volumeAxisEnd(in, model)),
          stretched(end != report::curveEnd(model)),
          rightAxis(std::ranges::any_of(in.series, [](const Series& s) {
              return onRightAxis(s) && std::ranges::any_of(s.points, finite);
          }))
    {
        if (rightAxis) {
            g.XR -= g.rightAxisRoom;
            g.bandLeft -= g.rightAxisRoom;
        }
    }

    bool severalPoints() const { return veqs.size() > 1; }
    double xOfVolume(double v) const { return g.X0 + (g.XR - g.X0) * v / end; }
    double volumeAtX(double x) const { return (x - g.X0) * end / (g.XR - g.X0); }
    /// The titration error in percent against the nearest equivalence volume.
    double errorPercent(double v) const
    {
        double e = HUGE_VAL;
        for (const double veq : veqs)
            e = std::min(e, std::fabs(v - veq) / veq * 100);
        return e;
    }
};

/// The model's curve across the plot: a sample every sampleStep, sampleExtra further apart
/// beyond 5 % from an equivalence volume and again beyond 20 %; until a pH computation fails.
Series sampleModel(const Plot& plot, const report::TitrationModel& model, const ChartInput& in)
{
    Series s = makeSeries(SeriesRole::Model, {}, in.modelLegend);
    const ChartGeometry& g = plot.g;
    // With several points, each ±1 % stretch begins, peaks and ends on a sample: the steps
    // alone may step over a stretch that spans only a few pixels.
    std::vector<double> marks;
    if (plot.severalPoints())
        for (const double veq : plot.veqs)
            marks.insert(marks.end(), {plot.xOfVolume(0.99 * veq), plot.xOfVolume(veq),
                                       plot.xOfVolume(1.01 * veq)});
    const auto sample = [&](double x) {
        const double v = plot.volumeAtX(x);
        const report::PHValue computed = model.pH(v);
        if (computed.failed) {
            s.cutShort = true;
            return false;
        }
        const double p = computed.value;
        // A segment takes its colour from the error at its end; with several points, where
        // the stretches begin and end on samples, from its middle.
        const double at =
            plot.severalPoints() && !s.points.empty() ? (s.points.back().first + v) / 2 : v;
        s.segmentColours.push_back(plot.errorPercent(at) <= 1 ? kGreen : kRed);
        s.points.emplace_back(v, p);
        s.sampledX.push_back(x);
        return true;
    };
    auto mark = marks.begin();
    for (double x = g.X0; x <= g.XR;) {
        if (!sample(x))
            return s;
        // Denser sampling where the curve is steep.
        const double e = plot.errorPercent(plot.volumeAtX(x));
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

/// A value to three significant digits.
double threeDigits(double x)
{
    if (x == 0 || !std::isfinite(x))
        return 0;
    const double scale = std::pow(10, 2 - std::floor(std::log10(std::fabs(x))));
    return std::round(x * scale) / scale;
}

class ChartPainter
{
public:
    ChartPainter(DrawingSurface& s, const ChartGeometry& page, const Plot& plot,
                 const ChartInput& in, const report::TitrationModel& model, const Series& curve)
        : s_(s), page_(page), plot_(plot), g_(plot.g), in_(in), model_(model), curve_(curve),
          veqs_(plot.veqs), veq_(veqs_.front()), end_(plot.end),
          coverage_({g_.X0, g_.yOfPH(15), g_.XR, g_.yOfPH(-1)}, g_.dotPen / 2)
    {
        if (plot_.rightAxis)
            derivativeScale();
    }

    void draw()
    {
        if (g_.onPaper)
            titleAndIndicator();
        s_.setFontName("Arial");
        s_.setFontSize(10);
        s_.setFontBold(false);
        s_.setFontItalic(false);
        pen(g_.gridPen, false);
        pHAxis();
        volumeAxis();
        caption();
        band();
        if (plot_.rightAxis)
            rightAxis();
        // Kept curves under the model's; the fitted curve and derivatives over it; markers on
        // top.
        const auto under = [](const Series& s) {
            return !s.style.markersOnly &&
                   (s.role == SeriesRole::Kept || s.role == SeriesRole::Model);
        };
        for (const Series& s : in_.series)
            if (under(s))
                drawSeries(s);
        drawSeries(curve_);
        for (const bool markers : {false, true})
            for (const Series& s : in_.series)
                if (!under(s) && s.style.markersOnly == markers)
                    drawSeries(s);
        if (!curve_.cutShort) {
            try {
                if (veqs_.size() == 1)
                    equivalencePoint();
                else
                    equivalencePoints();
            } catch (const DrawingStopped&) {
            }
        }
        legend();
    }

private:
    double xOfVolume(double v) const { return plot_.xOfVolume(v); }

    /// pH at volume v; a failed computation stops the drawing.
    double pHAt(double v)
    {
        const report::PHValue p = model_.pH(v);
        if (p.failed)
            throw DrawingStopped{};
        return p.value;
    }

    /// Pixels on screen; millimetres on paper, in whole device pixels (halves to even), at
    /// least one. The vertical grid lines measure by the vertical pixel size.
    void pen(double width, bool vertical)
    {
        if (!g_.onPaper) {
            s_.setDrawWidth(static_cast<int>(width));
            return;
        }
        const double twips = vertical ? s_.twipsPerPixelY() : s_.twipsPerPixelX();
        const double pixels = report::Round(width / 25.4 * 1440 / twips, 0);
        s_.setDrawWidth(std::max(1, static_cast<int>(pixels)));
    }

    void printAt(double x, double y, const std::string& text)
    {
        s_.setCurrentX(x);
        s_.setCurrentY(y);
        s_.Print(text);
    }

    /// A text over a white box of its width and the line height L, which later labels avoid.
    void printOverBox(double x, double y, double L, const std::string& text)
    {
        const double width = s_.TextWidth(text);
        s_.Box(x, y, width, L, kWhite);
        printAt(x, y, text);
        obstacles_.push_back({x, y, x + width, y + L});
    }

    void titleAndIndicator()
    {
        s_.setFontName("Arial");
        s_.setFontSize(11);
        s_.setFontBold(true);
        s_.setFontItalic(false);
        printAt((page_.XR - page_.X0) / 2 + page_.X0 - s_.TextWidth(in_.title) / 2, 4, in_.title);
        s_.setFontSize(10);
        s_.setFontBold(false);
        printAt(page_.XR - 1 - s_.TextWidth(in_.indicatorName), 7, in_.indicatorName);
    }

    void pHAxis()
    {
        for (int p = -1; p <= 16; ++p) {
            const double y = g_.yOfPH(p);
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

    void volumeAxis()
    {
        const double step = tickStep(end_);
        s_.setFontSize(10);
        s_.setFontBold(false);
        pen(g_.gridPen, true);
        for (double v = 0; v <= end_; v += step) {
            const double x = xOfVolume(v);
            const std::string s = chartNumber(v);
            printAt(x - s_.TextWidth(s) / 2, g_.volumeLabelTop, s);
            s_.LineRelative(x, g_.gridTop, 0, g_.gridLength, g_.gridColour);
        }
        // The right edge, also when the end is not a multiple of the step.
        s_.LineRelative(g_.XR, g_.gridTop, 0, g_.gridLength, g_.gridColour);
    }

    void caption()
    {
        const std::string text = chem::titrantIsBase(model_.type())
                                     ? "Volume of base (titrant) added (mL)"
                                     : "Volume of acid (titrant) added (mL)";
        s_.setFontBold(true);
        s_.setFontSize(11);
        printAt((g_.XR - g_.X0) / 2 + g_.X0 - s_.TextWidth(text) / 2, g_.captionTop, text);
    }

    void band()
    {
        if (in_.indicatorPosition < 1 || !in_.catalogue)
            return;
        pen(g_.bandPen, false);
        for (double y = g_.bandTop; y <= g_.bandBottom; y += g_.bandStep)
            s_.LineRelative(
                g_.bandLeft, y, g_.bandWidth, 0,
                indicators::Get_Color_INDIC(*in_.catalogue, in_.indicatorPosition, g_.pHAtY(y)));
        obstacles_.push_back({g_.bandLeft, g_.bandTop, g_.bandLeft + g_.bandWidth, g_.bandBottom});
    }

    /// The scale of the right axis: a round step, about five of them from the lowest value
    /// drawn against it (or zero) to the highest (or zero).
    void derivativeScale()
    {
        double low = 0, high = 0;
        for (const Series& s : in_.series)
            if (onRightAxis(s))
                for (const auto& p : s.points)
                    if (finite(p)) {
                        low = std::max(std::min(low, p.second), -kLargestDerivative);
                        high = std::min(std::max(high, p.second), kLargestDerivative);
                    }
        const double raw = high > low ? (high - low) / 5 : 0.2;
        const double decade = std::pow(10, std::floor(std::log10(raw)));
        derivativeStep_ = decade * (raw <= decade       ? 1
                                    : raw <= 2 * decade ? 2
                                    : raw <= 5 * decade ? 5
                                                        : 10);
        lowestTick_ = std::floor(low / derivativeStep_);
        highestTick_ = std::max(std::ceil(high / derivativeStep_), lowestTick_ + 1);
    }

    double yOfDerivative(double d) const
    {
        const double low = lowestTick_ * derivativeStep_, high = highestTick_ * derivativeStep_;
        return g_.yOfPH(-1) +
               (d - low) / (high - low) * (g_.yOfPH(kDerivativeTopPH) - g_.yOfPH(-1));
    }

    /// Ticks and values right of the plot, its caption above them.
    void rightAxis()
    {
        s_.setFontSize(10);
        s_.setFontBold(false);
        pen(g_.gridPen, false);
        const double L = s_.TextHeight("P"), left = g_.XR + 2 * g_.rightTick;
        const Colour colour = seriesStyle(SeriesRole::Derivative).colour;
        for (double k = lowestTick_; k <= highestTick_; ++k) {
            const double y = yOfDerivative(k * derivativeStep_);
            s_.Line(g_.XR, y, g_.XR + g_.rightTick, y, colour);
            // The lowest value clear of the volume axis's labels.
            printAt(left, std::min(y - L / 2, g_.volumeLabelTop - L),
                    chartNumber(k * derivativeStep_));
        }
        printAt(left, g_.yOfPH(15), "dpH/dV");
        printAt(left, g_.yOfPH(15) + L, "(1/mL)");
    }

    /// On paper, a 4 mm stroke across the curve where it enters or leaves the ±1 % stretch.
    void boundaryStroke(double px, double py, double x, double y)
    {
        const double dx = x - px;
        const double dy = py - y;
        const double d = std::sqrt(dx * dx + dy * dy);
        const double a = 2 * dy / d;
        const double b = 2 * dx / d;
        s_.LineRelative(px, py, a, b, kBoundary);
        s_.LineRelative(px, py, -a, -b, kBoundary);
    }

    /// A series in its style: markers where its points lie on the plot, or a line through
    /// them, interrupted where one does not.
    void drawSeries(const Series& s)
    {
        const bool right = onRightAxis(s);
        const double low = right ? lowestTick_ * derivativeStep_ : -1;
        const double high = right ? highestTick_ * derivativeStep_ : 15;
        const auto y = [&](double value) { return right ? yOfDerivative(value) : g_.yOfPH(value); };
        // The model's own curve is sampled across this plot already: its volumes are not checked
        // again, as they may come back from the surface an ulp beyond its end. A series given
        // is drawn from its points alone, whatever plot it was sampled for.
        const bool own = &s == &curve_;
        const bool sampled = own && s.sampledX.size() == s.points.size();
        const auto onPlot = [&](double v, double value) {
            return value >= low && value <= high && (sampled || (v >= 0 && v <= end_));
        };
        if (s.style.markersOnly) {
            const double diameter = g_.dotPen * s.style.width;
            pen(diameter, false);
            for (const auto& [v, value] : s.points)
                if (onPlot(v, value)) {
                    const double x = xOfVolume(v), yv = y(value);
                    s_.PSet(x, yv, s.style.colour);
                    coverage_.mark(Rect{x, yv, x, yv}.grown(diameter / 2));
                }
            return;
        }
        pen(g_.curvePen * s.style.width, false);
        dashPhase_ = 0;
        bool havePrevious = false;
        double px = 0, py = 0;
        for (std::size_t i = 0; i < s.points.size(); ++i) {
            const auto [v, value] = s.points[i];
            if (!onPlot(v, value)) {
                havePrevious = false; // interrupted, not clamped
                continue;
            }
            const double x = sampled ? s.sampledX[i] : xOfVolume(v), yv = y(value);
            if (havePrevious) {
                const Colour colour =
                    own && i < s.segmentColours.size() ? s.segmentColours[i] : s.style.colour;
                if (s.style.dashed)
                    dashedLine(px, py, x, yv, colour);
                else
                    s_.Line(px, py, x, yv, colour);
                const bool green = colour == kGreen;
                if (g_.onPaper && own && green != inGreen_) {
                    boundaryStroke(px, py, x, yv);
                    inGreen_ = green;
                }
                if (own)
                    drawnCurve_.push_back({px, py, x, yv});
                else
                    coverage_.mark(Segment{px, py, x, yv});
            }
            havePrevious = true;
            px = x;
            py = yv;
        }
    }

    /// A line in dashes whose pattern runs on from the previous segment's.
    void dashedLine(double x1, double y1, double x2, double y2, Colour colour)
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

    void equivalencePoint()
    {
        const double p = pHAt(veq_);
        if (p < -1 || p > 15)
            return;
        // Half way along the model's own axis; where it is stretched, at the volume.
        const double xe = plot_.stretched ? xOfVolume(veq_) : (g_.X0 + g_.XR) / 2;
        const double ye = g_.yOfPH(p);

        s_.setFillColor(kWhite);
        s_.setFillStyleSolid();
        pen(g_.dotPen, false);
        s_.PSet(xe, ye, g_.dotColour);
        obstacles_.push_back(Rect{xe, ye, xe, ye}.grown(g_.dotPen / 2));
        s_.setDrawWidth(static_cast<int>(g_.penAfterDot));
        s_.setFontSize(g_.rightTextSize);
        s_.setFontBold(false);
        double L = s_.TextHeight("P");
        const double right = xe + g_.rightTextOffset;
        printOverBox(right, ye - L / 2, L,
                     " Equivalence point.  pH = " + chartNumber(report::Round(p, 3)) + " ");
        printOverBox(right, ye + L, L,
                     " Volume added = " + chartNumber(report::Round(veq_, 2)) + " mL ");

        s_.setFontSize(g_.leftTextSize);
        L = s_.TextHeight("P");
        double pa = model_.pH(0.99 * veq_).value;
        double pb = model_.pH(1.01 * veq_).value;
        if (pa > pb)
            std::swap(pa, pb);
        const std::string texts[] = {" Green line: Error < 1% ",
                                     " Range of pH: [ " + chartNumber(report::Round(pa, 2)) +
                                         ",  " + chartNumber(report::Round(pb, 2)) + " ] ",
                                     " Range of volume added : [ " +
                                         chartNumber(report::Round(0.99 * veq_, 2)) + ",  " +
                                         chartNumber(report::Round(1.01 * veq_, 2)) + " ] mL "};
        const double ys[] = {ye - g_.greenTextLines * L, ye - L / 2, ye + g_.volumeRangeLines * L};
        for (int i = 0; i < 3; ++i)
            printOverBox(xe - g_.leftTextOffset - s_.TextWidth(texts[i]), ys[i], L, texts[i]);
    }

    /// Every equivalence point marked with its pH, volume and ±1 % volume range, the labels
    /// placed where they cover neither one another nor the curves; the legend of the green
    /// stretches once.
    void equivalencePoints()
    {
        struct Point
        {
            double x, y;
            std::size_t number;
        };
        std::vector<Point> points;
        for (std::size_t k = 0; k < veqs_.size(); ++k) {
            const double p = pHAt(veqs_[k]);
            if (p >= -1 && p <= 15)
                points.push_back({xOfVolume(veqs_[k]), g_.yOfPH(p), k + 1});
        }
        s_.setFillColor(kWhite);
        s_.setFillStyleSolid();
        pen(g_.dotPen, false);
        const double radius = g_.dotPen / 2;
        for (const Point& d : points) {
            s_.PSet(d.x, d.y, g_.dotColour);
            obstacles_.push_back(Rect{d.x, d.y, d.x, d.y}.grown(radius));
        }
        s_.setDrawWidth(static_cast<int>(g_.penAfterDot));
        s_.setFontSize(g_.leftTextSize);
        s_.setFontBold(false);
        const double L = s_.TextHeight("P");

        for (const Point& d : points) {
            const double veq = veqs_[d.number - 1];
            std::vector<std::string> lines = {
                " Equivalence point " + std::to_string(d.number) +
                    ".  pH = " + chartNumber(report::Round(pHAt(veq), 3)) + ' ',
                " Volume added = " + chartNumber(report::Round(veq, 2)) + " mL ",
                " Range of volume added : [ " + chartNumber(report::Round(0.99 * veq, 2)) + ",  " +
                    chartNumber(report::Round(1.01 * veq, 2)) + " ] mL "};
            // Where the whole label finds no room, without the volume added (the axis shows
            // it), then its first line alone.
            if (!placeLabel(lines, d.x, d.y, L, true)) {
                lines.erase(lines.begin() + 1);
                if (!placeLabel(lines, d.x, d.y, L, true)) {
                    lines.resize(1);
                    placeLabel(lines, d.x, d.y, L, true);
                }
            }
        }
        placeLabel({" Green line: Error < 1% "}, g_.X0, g_.yOfPH(15), L, false);
    }

    struct Place
    {
        Rect rect;
        std::optional<Segment> leader;
    };

    /// The free place for a `width` × `height` box nearest to (x, y) within the plot: clear
    /// of the labels, dots, markers and band, and of the whole of the curves if possible, else
    /// of their steep parts. With `leader`, a place not beside the dot at (x, y) comes with a
    /// leader from it past no label or dot.
    std::optional<Place> freePlace(double width, double height, double x, double y, double L,
                                   bool leader) const
    {
        const Rect plot{g_.X0, g_.yOfPH(15), g_.XR, g_.yOfPH(-1)};

        // Candidates on a grid of half lines over the plot, nearest first.
        std::vector<std::pair<double, Rect>> candidates;
        const double step = L / 2;
        for (double left = plot.left; left + width <= plot.right; left += step)
            for (double top = plot.top; top + height <= plot.bottom; top += step / 2) {
                const Rect r{left, top, left + width, top + height};
                candidates.emplace_back(r.distanceTo(x, y), r);
            }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });

        const double margin = L / 4;
        for (const bool wholeCurve : {true, false})
            for (const auto& [distance, r] : candidates) {
                const Rect clear = r.grown(margin);
                const auto covers = [&](const Rect& o) { return o.overlaps(clear); };
                const auto crosses = [&](const Segment& c) {
                    return (wholeCurve || c.steep()) && c.crosses(clear);
                };
                const auto crossesLine = [&](const Segment& c) { return c.crosses(clear); };
                if (std::ranges::any_of(obstacles_, covers) ||
                    std::ranges::any_of(drawnCurve_, crosses) ||
                    coverage_.covers(clear, !wholeCurve) ||
                    std::ranges::any_of(leaders_, crossesLine))
                    continue;
                std::optional<Segment> line;
                if (leader && distance > L) {
                    // From the dot's edge to the nearest point of the label.
                    const double tx = std::clamp(x, r.left, r.right);
                    const double ty = std::clamp(y, r.top, r.bottom);
                    const double d = std::hypot(tx - x, ty - y), start = 0.75 * g_.dotPen / d;
                    line = Segment{x + (tx - x) * start, y + (ty - y) * start, tx, ty};
                    if (std::ranges::any_of(obstacles_,
                                            [&](const Rect& o) { return line->crosses(o); }))
                        continue;
                }
                return Place{r, line};
            }
        return std::nullopt;
    }

    /// Prints `lines` over white boxes at the free place nearest to (x, y), with a leader from
    /// the dot there when `leader` and the place is not beside it; false when there is none.
    bool placeLabel(const std::vector<std::string>& lines, double x, double y, double L,
                    bool leader)
    {
        double width = 0;
        for (const std::string& line : lines)
            width = std::max(width, s_.TextWidth(line));
        const std::optional<Place> place =
            freePlace(width, L * static_cast<double>(lines.size()), x, y, L, leader);
        if (!place)
            return false;
        if (const std::optional<Segment>& line = place->leader) {
            pen(g_.gridPen, false);
            s_.Line(line->x1, line->y1, line->x2, line->y2, g_.dotColour);
            s_.setDrawWidth(static_cast<int>(g_.penAfterDot));
            leaders_.push_back(*line);
        }
        for (std::size_t i = 0; i < lines.size(); ++i)
            printOverBox(place->rect.left, place->rect.top + static_cast<double>(i) * L, L,
                         lines[i]);
        obstacles_.push_back(place->rect);
        return true;
    }

    /// A series' legend text as the legend shows it: a long one (a file's name, say) cut short,
    /// not at a character's continuation byte, so that the legend stays within the plot.
    static std::string legendText(const Series& s)
    {
        constexpr std::size_t kLongest = 40;
        if (s.legend.size() <= kLongest)
            return ' ' + s.legend + ' ';
        std::size_t cut = kLongest - 3;
        while (cut > 0 && (static_cast<unsigned char>(s.legend[cut]) & 0xC0) == 0x80)
            --cut;
        return ' ' + s.legend.substr(0, cut) + "... ";
    }

    /// The model's curve and every series with a legend text, each beside a sample of its line
    /// or marker, in a framed box nearest the plot's top-left corner; only with more than the
    /// model's curve to list.
    void legend()
    {
        std::vector<const Series*> entries{&curve_};
        for (const Series& s : in_.series)
            if (!s.legend.empty())
                entries.push_back(&s);
        if (entries.size() < 2)
            return;
        s_.setFontSize(g_.leftTextSize);
        s_.setFontBold(false);
        const double L = s_.TextHeight("P"), sample = 2 * L, inset = L / 4;
        // More kept curves than half the plot's height holds: the last ones are counted, not
        // listed, so that the box still finds room beside the labels.
        const auto rows = static_cast<std::size_t>((g_.yOfPH(-1) - g_.yOfPH(15)) / L / 2);
        std::size_t unlisted = 0;
        while (entries.size() + (unlisted > 0) > rows) {
            const auto kept = std::find_if(entries.rbegin(), entries.rend(), [](const Series* e) {
                return e->role == chart::SeriesRole::Kept;
            });
            if (kept == entries.rend())
                break;
            entries.erase(std::next(kept).base());
            ++unlisted;
        }
        const std::string more =
            unlisted ? " and " + std::to_string(unlisted) + " more kept curves " : std::string();
        double width = unlisted ? s_.TextWidth(more) - inset - sample : 0;
        for (const Series* s : entries)
            width = std::max(width, s_.TextWidth(legendText(*s)));
        width += inset + sample;
        const double height = L * static_cast<double>(entries.size() + (unlisted > 0));
        const Rect r =
            freePlace(width, height, g_.X0, g_.yOfPH(15), L, false)
                .value_or(Place{{g_.X0, g_.yOfPH(15), g_.X0 + width, g_.yOfPH(15) + height}, {}})
                .rect;
        s_.Box(r.left, r.top, width, height, kWhite);
        pen(g_.gridPen, false);
        s_.Line(r.left, r.top, r.right, r.top, g_.gridColour);
        s_.Line(r.right, r.top, r.right, r.bottom, g_.gridColour);
        s_.Line(r.right, r.bottom, r.left, r.bottom, g_.gridColour);
        s_.Line(r.left, r.bottom, r.left, r.top, g_.gridColour);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Series& s = *entries[i];
            const double top = r.top + static_cast<double>(i) * L, y = top + L / 2;
            const double x = r.left + inset;
            if (s.style.markersOnly) {
                pen(g_.dotPen * s.style.width, false);
                s_.PSet(x + sample / 2, y, s.style.colour);
            } else {
                pen(g_.curvePen * s.style.width, false);
                dashPhase_ = 0;
                if (s.style.dashed)
                    dashedLine(x, y, x + sample, y, s.style.colour);
                else
                    s_.Line(x, y, x + sample, y, s.style.colour);
            }
            printAt(x + sample, top, legendText(s));
        }
        if (unlisted)
            printAt(r.left + inset, r.top + static_cast<double>(entries.size()) * L, more);
        obstacles_.push_back(r);
    }

    DrawingSurface& s_;
    const ChartGeometry& page_; ///< as given: the title and indicator stand over it on paper
    const Plot& plot_;
    const ChartGeometry& g_;
    const ChartInput& in_;
    const report::TitrationModel& model_;
    const Series& curve_;
    const std::vector<double>& veqs_;
    double veq_;
    double end_;
    bool inGreen_ = false;
    double dashPhase_ = 0;
    // The right axis: ticks at whole multiples of the step.
    double derivativeStep_ = 1, lowestTick_ = 0, highestTick_ = 1;
    std::vector<Segment> drawnCurve_; ///< the model's curve, for the labels to avoid
    Coverage coverage_;               ///< the other series, for the labels to avoid
    std::vector<Rect> obstacles_;     ///< the band, dots and labels placed so far
    std::vector<Segment> leaders_;    ///< from the dots to labels placed away from them
};

/// A series in one sentence for a screen reader; of readings, also when none can be shown.
std::string seriesSentence(const Series& s)
{
    const std::string named = s.legend.empty() ? "" : ": " + s.legend;
    std::size_t count = 0;
    const std::pair<double, double>* steepest = nullptr;
    for (const auto& p : s.points)
        if (finite(p)) {
            ++count;
            if (!steepest || std::fabs(p.second) > std::fabs(steepest->second))
                steepest = &p;
        }
    switch (s.role) {
    case SeriesRole::Readings:
        return std::to_string(count) + " readings" + named + '.';
    case SeriesRole::Kept:
        return "Kept curve" + named + '.';
    case SeriesRole::Fitted:
        return "Fitted curve, dashed" + named + '.';
    case SeriesRole::Derivative:
    case SeriesRole::ReadingsDerivative: {
        std::string text = s.role == SeriesRole::Derivative ? "Derivative of the curve"
                                                            : "Derivative of the readings";
        text += " (dpH/dV) on the right axis";
        if (steepest)
            text += ", steepest " + chartNumber(threeDigits(steepest->second)) + " per mL at " +
                    chartNumber(report::Round(steepest->first, 2)) + " mL";
        return text + '.';
    }
    case SeriesRole::Model:
        break;
    }
    return "Curve" + named + '.';
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

double ChartGeometry::yOfPH(double pH) const
{
    return (H - bottomOffset) - (pH + 1) * H / 18;
}

double ChartGeometry::pHAtY(double y) const
{
    return (H - y - bottomOffset) * 18 / H - 1;
}

bool chartAccepts(const ChartInput& input)
{
    return acceptedModel(input).has_value();
}

std::optional<Series> modelSeries(const ChartInput& input, const ChartGeometry& geometry)
{
    const std::optional<report::TitrationModel> model = acceptedModel(input);
    if (!model)
        return std::nullopt;
    return sampleModel(Plot(geometry, input, *model), *model, input);
}

void drawChart(DrawingSurface& surface, const ChartGeometry& geometry, const ChartInput& input)
{
    const std::optional<report::TitrationModel> model = acceptedModel(input);
    if (!model)
        return;
    const Plot plot(geometry, input, *model);
    const Series curve = sampleModel(plot, *model, input);
    ChartPainter(surface, geometry, plot, input, *model, curve).draw();
}

std::string chartDescription(const ChartInput& input)
{
    const std::optional<report::TitrationModel> model = acceptedModel(input);
    if (!model)
        return {};
    const auto pH = [&](double v) { return model->pH(v).value; };
    const auto n = [](double x, int decimals) { return chartNumber(report::Round(x, decimals)); };
    const auto range = [&](double veq) {
        const double a = pH(0.99 * veq), b = pH(1.01 * veq);
        return "error below 1 % from " + n(0.99 * veq, 2) + " to " + n(1.01 * veq, 2) + " mL, pH " +
               n(std::min(a, b), 2) + " to " + n(std::max(a, b), 2);
    };
    const std::vector<double> veqs = model->equivalenceVolumes();
    std::string text = input.title + ": pH from -1 to 15 against 0 to " +
                       n(volumeAxisEnd(input, *model), 2) + " mL of titrant.";
    if (veqs.size() == 1) {
        const double veq = veqs.front();
        std::string r = range(veq);
        r[0] = 'E';
        text += " Equivalence point: " + n(veq, 2) + " mL, pH " + n(pH(veq), 3) + ". " + r + '.';
    } else {
        for (std::size_t k = 0; k < veqs.size(); ++k)
            text += std::string(k ? "; " : " ") + "Equivalence point " + std::to_string(k + 1) +
                    " at " + n(veqs[k], 2) + " mL, pH " + n(pH(veqs[k]), 3) + ", " + range(veqs[k]);
        text += '.';
    }
    if (!input.indicatorName.empty())
        text += " Indicator: " + input.indicatorName + '.';
    for (const Series& s : input.series)
        if (s.role == SeriesRole::Readings || std::ranges::any_of(s.points, finite))
            text += ' ' + seriesSentence(s);
    return text;
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
