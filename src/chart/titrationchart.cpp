#include "chart/titrationchart.h"

#include "indicators/indicatorcolour.h"
#include "report/acceptance.h"
#include "report/calculationrun.h"
#include "report/numbertext.h"

#include <algorithm>
#include <cmath>

namespace chart {

namespace {

using chem::TitrationType;
using indicators::rgb;

constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kGreen = rgb(0, 160, 0);
constexpr Colour kRed = rgb(196, 0, 0);
constexpr Colour kBoundary = rgb(0, 80, 0);

/// Stops the drawing where a pH computation failed; what was drawn stays.
struct DrawingStopped
{};

class ChartPainter
{
public:
    ChartPainter(DrawingSurface& s, const ChartGeometry& g, const ChartInput& in)
        : s_(s), g_(g), in_(in), type_(*in.type), veq_(report::equivalenceVolume(in.inputs))
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
            equivalencePoint();
        } catch (const DrawingStopped&) {
        }
    }

private:
    double xOfVolume(double v) const { return g_.X0 + (g_.XR - g_.X0) * v / (2 * veq_); }
    double volumeAtX(double x) const { return (x - g_.X0) * 2 * veq_ / (g_.XR - g_.X0); }
    double errorPercent(double v) const { return std::fabs(v - veq_) / veq_ * 100; }

    /// pH at volume v; a failed computation stops the drawing.
    double pHAt(double v)
    {
        const double p = chem::Get_pH(type_, in_.inputs, v);
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
        const double step = tickStep(2 * veq_);
        s_.setFontSize(10);
        s_.setFontBold(false);
        pen(g_.gridPen, true);
        for (double v = 0; v <= 2 * veq_; v += step) {
            const double x = xOfVolume(v);
            const std::string s = chartNumber(v);
            printAt(x - s_.TextWidth(s) / 2, g_.volumeLabelTop, s);
            s_.LineRelative(x, g_.gridTop, 0, g_.gridLength, g_.gridColour);
        }
        // The right edge, also when 2·Veq is not a multiple of the step.
        s_.LineRelative(g_.XR, g_.gridTop, 0, g_.gridLength, g_.gridColour);
    }

    void caption()
    {
        const std::string text = chem::titrantIsBase(type_) ? "Volume of base (titrant) added (mL)"
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
        bool havePrevious = false;
        double px = 0, py = 0;
        bool inGreen = false;
        for (double x = g_.X0; x <= g_.XR;) {
            const double v = volumeAtX(x);
            const double p = pHAt(v);
            if (p < -1 || p > 15) {
                havePrevious = false; // interrupted, not clamped
            } else {
                const double y = g_.yOfPH(p);
                if (havePrevious) {
                    // A segment takes its colour from the error at its end.
                    const bool green = errorPercent(v) <= 1;
                    s_.Line(px, py, x, y, green ? kGreen : kRed);
                    if (g_.onPaper && green != inGreen) {
                        boundaryStroke(px, py, x, y);
                        inGreen = green;
                    }
                }
                havePrevious = true;
                px = x;
                py = y;
            }
            // Denser sampling where the curve is steep.
            const double e = errorPercent(v);
            if (e > 5)
                x += g_.sampleExtra;
            if (e > 20)
                x += g_.sampleExtra;
            x += g_.sampleStep;
        }
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
        double pa = chem::Get_pH(type_, in_.inputs, 0.99 * veq_);
        double pb = chem::Get_pH(type_, in_.inputs, 1.01 * veq_);
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

    DrawingSurface& s_;
    const ChartGeometry& g_;
    const ChartInput& in_;
    TitrationType type_;
    double veq_;
};

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
    return !report::checkTitration(input.type, input.inputs, input.calcErrorFlag);
}

void drawChart(DrawingSurface& surface, const ChartGeometry& geometry, const ChartInput& input)
{
    if (!chartAccepts(input))
        return;
    ChartPainter(surface, geometry, input).draw();
}

std::string chartDescription(const ChartInput& input)
{
    if (!chartAccepts(input))
        return {};
    const double veq = report::equivalenceVolume(input.inputs);
    const auto pH = [&](double v) { return chem::Get_pH(input.type, input.inputs, v); };
    const auto n = [](double x, int decimals) { return chartNumber(report::Round(x, decimals)); };
    const double a = pH(0.99 * veq), b = pH(1.01 * veq);
    std::string text = input.title + ": pH from -1 to 15 against 0 to " + n(2 * veq, 2) +
                       " mL of titrant. Equivalence point: " + n(veq, 2) + " mL, pH " +
                       n(pH(veq), 3) + ". Error below 1 % from " + n(0.99 * veq, 2) + " to " +
                       n(1.01 * veq, 2) + " mL, pH " + n(std::min(a, b), 2) + " to " +
                       n(std::max(a, b), 2) + '.';
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
