#include "chart/titrationchart.h"

#include "indicators/indicatorcolour.h"
#include "report/acceptance.h"
#include "report/calculationrun.h"
#include "report/numbertext.h"

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

class ChartPainter
{
public:
    ChartPainter(DrawingSurface& s, const ChartGeometry& g, const ChartInput& in,
                 const report::TitrationModel& model)
        : s_(s), g_(g), in_(in), model_(model), veqs_(model.equivalenceVolumes()),
          veq_(veqs_.front()), end_(report::curveEnd(model))
    {}

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
        try {
            curve();
            if (veqs_.size() == 1)
                equivalencePoint();
            else
                equivalencePoints();
        } catch (const DrawingStopped&) {
        }
    }

private:
    bool severalPoints() const { return veqs_.size() > 1; }
    double xOfVolume(double v) const { return g_.X0 + (g_.XR - g_.X0) * v / end_; }
    double volumeAtX(double x) const { return (x - g_.X0) * end_ / (g_.XR - g_.X0); }
    /// The titration error in percent against the nearest equivalence volume.
    double errorPercent(double v) const
    {
        double e = HUGE_VAL;
        for (const double veq : veqs_)
            e = std::min(e, std::fabs(v - veq) / veq * 100);
        return e;
    }

    /// pH at volume v; a failed computation stops the drawing.
    double pHAt(double v)
    {
        chem::CalcErrorFlag = 0; // the polyprotic model only ever sets it
        const double p = model_.pH(v);
        if (chem::CalcErrorFlag != 0)
            throw DrawingStopped{};
        return p;
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

    /// A text over a white box of its width and the line height L.
    void printOverBox(double x, double y, double L, const std::string& text)
    {
        s_.Box(x, y, s_.TextWidth(text), L, kWhite);
        printAt(x, y, text);
    }

    void titleAndIndicator()
    {
        s_.setFontName("Arial");
        s_.setFontSize(11);
        s_.setFontBold(true);
        s_.setFontItalic(false);
        printAt((g_.XR - g_.X0) / 2 + g_.X0 - s_.TextWidth(in_.title) / 2, 4, in_.title);
        s_.setFontSize(10);
        s_.setFontBold(false);
        printAt(g_.XR - 1 - s_.TextWidth(in_.indicatorName), 7, in_.indicatorName);
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

    void curve()
    {
        pen(g_.curvePen, false);
        // With several points, each ±1 % stretch begins, peaks and ends on a sample: the steps
        // alone may step over a stretch that spans only a few pixels.
        std::vector<double> marks;
        if (severalPoints())
            for (const double veq : veqs_)
                marks.insert(marks.end(),
                             {xOfVolume(0.99 * veq), xOfVolume(veq), xOfVolume(1.01 * veq)});
        auto mark = marks.begin();
        for (double x = g_.X0; x <= g_.XR;) {
            sample(x);
            // Denser sampling where the curve is steep.
            const double e = errorPercent(volumeAtX(x));
            double next = x;
            if (e > 5)
                next += g_.sampleExtra;
            if (e > 20)
                next += g_.sampleExtra;
            next += g_.sampleStep;
            for (; mark != marks.end() && *mark < next; ++mark)
                if (*mark > x && *mark <= g_.XR)
                    sample(*mark);
            x = next;
        }
    }

    /// The curve's next point, at x.
    void sample(double x)
    {
        const double v = volumeAtX(x);
        const double p = pHAt(v);
        if (p < -1 || p > 15) {
            havePrevious_ = false; // interrupted, not clamped
            return;
        }
        const double y = g_.yOfPH(p);
        if (havePrevious_) {
            // A segment takes its colour from the error at its end; with several points, where
            // the stretches begin and end on samples, from its middle.
            const bool green = errorPercent(severalPoints() ? (previousV_ + v) / 2 : v) <= 1;
            s_.Line(previousX_, previousY_, x, y, green ? kGreen : kRed);
            if (g_.onPaper && green != inGreen_) {
                boundaryStroke(previousX_, previousY_, x, y);
                inGreen_ = green;
            }
            if (severalPoints())
                drawnCurve_.push_back({previousX_, previousY_, x, y});
        }
        havePrevious_ = true;
        previousX_ = x;
        previousY_ = y;
        previousV_ = v;
    }

    void equivalencePoint()
    {
        const double p = pHAt(veq_);
        if (p < -1 || p > 15)
            return;
        const double xe = (g_.X0 + g_.XR) / 2;
        const double ye = g_.yOfPH(p);

        s_.setFillColor(kWhite);
        s_.setFillStyleSolid();
        pen(g_.dotPen, false);
        s_.PSet(xe, ye, g_.dotColour);
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
        double pa = model_.pH(0.99 * veq_);
        double pb = model_.pH(1.01 * veq_);
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
    /// placed where they cover neither one another nor the curve; the legend of the green
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
        if (in_.indicatorPosition >= 1 && in_.catalogue)
            obstacles_.push_back(
                {g_.bandLeft, g_.bandTop, g_.bandLeft + g_.bandWidth, g_.bandBottom});

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

    /// Prints `lines` over white boxes at the free place nearest to (x, y), with a leader from
    /// the dot there when `leader` and the place is not beside it; false when there is none.
    bool placeLabel(const std::vector<std::string>& lines, double x, double y, double L,
                    bool leader)
    {
        double width = 0;
        for (const std::string& line : lines)
            width = std::max(width, s_.TextWidth(line));
        const double height = L * static_cast<double>(lines.size());
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

        // Clear of the whole curve if possible, else of its steep parts.
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
                    std::ranges::any_of(leaders_, crossesLine))
                    continue;
                std::optional<Segment> line;
                if (leader && distance > L) {
                    // From the dot's edge to the nearest point of the label, past no other
                    // label or dot.
                    const double tx = std::clamp(x, r.left, r.right);
                    const double ty = std::clamp(y, r.top, r.bottom);
                    const double d = std::hypot(tx - x, ty - y), start = 0.75 * g_.dotPen / d;
                    line = Segment{x + (tx - x) * start, y + (ty - y) * start, tx, ty};
                    if (std::ranges::any_of(obstacles_,
                                            [&](const Rect& o) { return line->crosses(o); }))
                        continue;
                }
                if (line) {
                    pen(g_.gridPen, false);
                    s_.Line(line->x1, line->y1, line->x2, line->y2, g_.dotColour);
                    s_.setDrawWidth(static_cast<int>(g_.penAfterDot));
                    leaders_.push_back(*line);
                }
                for (std::size_t i = 0; i < lines.size(); ++i)
                    printOverBox(r.left, r.top + static_cast<double>(i) * L, L, lines[i]);
                obstacles_.push_back(r);
                return true;
            }
        return false;
    }

    DrawingSurface& s_;
    const ChartGeometry& g_;
    const ChartInput& in_;
    const report::TitrationModel& model_;
    std::vector<double> veqs_;
    double veq_;
    double end_;
    // The curve as drawn so far.
    bool havePrevious_ = false;
    double previousX_ = 0, previousY_ = 0, previousV_ = 0;
    bool inGreen_ = false;
    std::vector<Segment> drawnCurve_; ///< with several points, for the labels to avoid
    std::vector<Rect> obstacles_;     ///< the dots, the band and the labels placed so far
    std::vector<Segment> leaders_;    ///< from the dots to labels placed away from them
};

/// The model of a chart that passes the checks; none when it is refused.
std::optional<report::TitrationModel> acceptedModel(const ChartInput& in)
{
    const int protons = in.type && chem::isWeak(*in.type) ? report::protonCount(in.constants) : 1;
    if (report::checkTitration(in.type, in.inputs, in.calcErrorFlag, protons))
        return std::nullopt;
    return report::TitrationModel::make(*in.type, in.inputs, in.constants);
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

void drawChart(DrawingSurface& surface, const ChartGeometry& geometry, const ChartInput& input)
{
    if (const std::optional<report::TitrationModel> model = acceptedModel(input))
        ChartPainter(surface, geometry, input, *model).draw();
}

std::string chartDescription(const ChartInput& input)
{
    const std::optional<report::TitrationModel> model = acceptedModel(input);
    if (!model)
        return {};
    const auto pH = [&](double v) { return model->pH(v); };
    const auto n = [](double x, int decimals) { return chartNumber(report::Round(x, decimals)); };
    const auto range = [&](double veq) {
        const double a = pH(0.99 * veq), b = pH(1.01 * veq);
        return "error below 1 % from " + n(0.99 * veq, 2) + " to " + n(1.01 * veq, 2) + " mL, pH " +
               n(std::min(a, b), 2) + " to " + n(std::max(a, b), 2);
    };
    const std::vector<double> veqs = model->equivalenceVolumes();
    std::string text = input.title + ": pH from -1 to 15 against 0 to " +
                       n(report::curveEnd(*model), 2) + " mL of titrant.";
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
