// The chart painter's texts on the plot: the equivalence points' labels and the legend.
#include "chart/chartpainter.h"

#include "report/numbertext.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace chart {

namespace {

std::string rounded(double x, int decimals)
{
    return chartNumber(report::Round(x, decimals));
}

} // namespace

/// One point: its pH and volume right of the dot, the ±1 % ranges left of it.
void ChartPainter::equivalencePoint()
{
    const report::EquivalencePoint& point = chart_.points().front();
    const double p = point.pH;
    if (p < -1 || p > 15)
        return;
    // Half way along the model's own axis; where it is stretched, at the volume.
    const double xe = chart_.stretched() ? plot_.xOfVolume(point.volume) : (g_.X0 + g_.XR) / 2;
    const double ye = g_.yOfPH(p);

    s_.setFillColor(kChartWhite);
    s_.setFillStyleSolid();
    pen(g_.dotPen, false);
    s_.PSet(xe, ye, g_.dotColour);
    placer_.avoid(Rect{xe, ye, xe, ye}.grown(g_.dotPen / 2));
    s_.setDrawWidth(static_cast<int>(g_.penAfterDot));
    s_.setFontSize(g_.rightTextSize);
    s_.setFontBold(false);
    double L = s_.TextHeight("P");
    const double right = xe + g_.rightTextOffset;
    printOverBox(right, ye - L / 2, L, " Equivalence point.  pH = " + rounded(p, 3) + " ");
    printOverBox(right, ye + L, L, " Volume added = " + rounded(point.volume, 2) + " mL ");

    s_.setFontSize(g_.leftTextSize);
    L = s_.TextHeight("P");
    const double pa = std::min(point.pHAtLow, point.pHAtHigh);
    const double pb = std::max(point.pHAtLow, point.pHAtHigh);
    const std::string texts[] = {" Green line: Error < 1% ",
                                 " Range of pH: [ " + rounded(pa, 2) + ",  " + rounded(pb, 2) +
                                     " ] ",
                                 " Range of volume added : [ " + rounded(point.volumeLow, 2) +
                                     ",  " + rounded(point.volumeHigh, 2) + " ] mL "};
    const double ys[] = {ye - g_.greenTextLines * L, ye - L / 2, ye + g_.volumeRangeLines * L};
    for (int i = 0; i < 3; ++i)
        printOverBox(xe - g_.leftTextOffset - s_.TextWidth(texts[i]), ys[i], L, texts[i]);
}

/// Every equivalence point marked with its pH, volume and ±1 % volume range, the labels placed
/// where they cover neither one another nor the curves; the legend of the green stretches once.
void ChartPainter::equivalencePoints()
{
    struct Dot
    {
        double x, y;
        std::size_t number;
    };
    std::vector<Dot> dots;
    const std::vector<report::EquivalencePoint>& points = chart_.points();
    for (std::size_t k = 0; k < points.size(); ++k)
        if (points[k].pH >= -1 && points[k].pH <= 15)
            dots.push_back({plot_.xOfVolume(points[k].volume), g_.yOfPH(points[k].pH), k + 1});
    s_.setFillColor(kChartWhite);
    s_.setFillStyleSolid();
    pen(g_.dotPen, false);
    const double radius = g_.dotPen / 2;
    for (const Dot& d : dots) {
        s_.PSet(d.x, d.y, g_.dotColour);
        placer_.avoid(Rect{d.x, d.y, d.x, d.y}.grown(radius));
    }
    s_.setDrawWidth(static_cast<int>(g_.penAfterDot));
    s_.setFontSize(g_.leftTextSize);
    s_.setFontBold(false);
    const double L = s_.TextHeight("P");

    for (const Dot& d : dots) {
        const report::EquivalencePoint& point = points[d.number - 1];
        std::vector<std::string> lines = {" Equivalence point " + std::to_string(d.number) +
                                              ".  pH = " + rounded(point.pH, 3) + ' ',
                                          " Volume added = " + rounded(point.volume, 2) + " mL ",
                                          " Range of volume added : [ " +
                                              rounded(point.volumeLow, 2) + ",  " +
                                              rounded(point.volumeHigh, 2) + " ] mL "};
        // Where the whole label finds no room, without the volume added (the axis shows it),
        // then its first line alone.
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

namespace {

/// Where a mark of the readings goes on the plot, if it is on it.
std::optional<std::pair<double, double>> onPlot(const PlotTransform& plot, double volume,
                                                std::optional<double> pH)
{
    const double x = plot.xOfVolume(volume);
    if (!pH || *pH < -1 || *pH > 15 || !(x >= plot.left() && x <= plot.right()))
        return std::nullopt;
    return std::pair(x, plot.yOfPH(*pH));
}

} // namespace

/// Each end point of the readings as a diamond on the readings at its volume; a weak analyte's
/// half-way pH as a cross. Drawn before the labels, which keep clear of them.
void ChartPainter::measuredMarks()
{
    const double r = g_.dotPen / 2;
    pen(g_.curvePen, false);
    for (const MeasuredMark& m : chart_.marks()) {
        if (const auto at = onPlot(plot_, m.volume, m.pH)) {
            const auto [x, y] = *at;
            s_.Line(x - r, y, x, y - r, kMeasuredColour);
            s_.Line(x, y - r, x + r, y, kMeasuredColour);
            s_.Line(x + r, y, x, y + r, kMeasuredColour);
            s_.Line(x, y + r, x - r, y, kMeasuredColour);
            placer_.avoid(Rect{x, y, x, y}.grown(r));
        }
        if (const auto at = m.half ? onPlot(plot_, m.half->first, m.half->second) : std::nullopt) {
            const auto [x, y] = *at;
            s_.Line(x - r, y - r, x + r, y + r, kMeasuredColour);
            s_.Line(x - r, y + r, x + r, y - r, kMeasuredColour);
            placer_.avoid(Rect{x, y, x, y}.grown(r));
        }
    }
}

/// The readings' end points' volumes and intervals, and the half-way pH, beside their marks,
/// placed clear of the model's labels.
void ChartPainter::measuredLabels()
{
    s_.setDrawWidth(static_cast<int>(g_.penAfterDot));
    s_.setFontSize(g_.leftTextSize);
    s_.setFontBold(false);
    const double L = s_.TextHeight("P");
    for (const MeasuredMark& m : chart_.marks()) {
        if (const auto at = onPlot(plot_, m.volume, m.pH))
            placeLabel({" Readings: end point " + std::to_string(m.index) + ", " +
                            rounded(m.volume, 2) + " mL ",
                        " 95 %: [ " + rounded(m.low, 2) + ",  " + rounded(m.high, 2) + " ] mL "},
                       at->first, at->second, L, true);
        if (const auto at = m.half ? onPlot(plot_, m.half->first, m.half->second) : std::nullopt)
            placeLabel({" Half way: pH " + rounded(m.half->second, 2) + " "}, at->first, at->second,
                       L, true);
    }
}

/// Prints `lines` over white boxes at the free place nearest to (x, y), with a leader from the
/// dot there when `leader` and the place is not beside it; false when there is none.
bool ChartPainter::placeLabel(const std::vector<std::string>& lines, double x, double y, double L,
                              bool leader)
{
    double width = 0;
    for (const std::string& line : lines)
        width = std::max(width, s_.TextWidth(line));
    const std::optional<Place> place =
        placer_.freePlace(width, L * static_cast<double>(lines.size()), x, y, L, leader);
    if (!place)
        return false;
    if (const std::optional<Segment>& line = place->leader) {
        pen(g_.gridPen, false);
        s_.Line(line->x1, line->y1, line->x2, line->y2, g_.dotColour);
        s_.setDrawWidth(static_cast<int>(g_.penAfterDot));
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        printOverBox(place->rect.left, place->rect.top + static_cast<double>(i) * L, L, lines[i]);
    placer_.take(*place);
    return true;
}

/// The model's curve and every series with a legend text, each beside a sample of its line or
/// marker, in a framed box nearest the plot's top-left corner; only with more than the model's
/// curve to list.
void ChartPainter::legend()
{
    std::vector<const LegendEntry*> entries;
    for (const LegendEntry& e : chart_.legend())
        entries.push_back(&e);
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
        const auto kept = std::find_if(entries.rbegin(), entries.rend(),
                                       [](const LegendEntry* e) { return e->kept; });
        if (kept == entries.rend())
            break;
        entries.erase(std::next(kept).base());
        ++unlisted;
    }
    const std::string more =
        unlisted ? " and " + std::to_string(unlisted) + " more kept curves " : std::string();
    double width = unlisted ? s_.TextWidth(more) - inset - sample : 0;
    for (const LegendEntry* e : entries)
        width = std::max(width, s_.TextWidth(e->text));
    width += inset + sample;
    const double height = L * static_cast<double>(entries.size() + (unlisted > 0));
    const Rect r =
        placer_.freePlace(width, height, g_.X0, g_.yOfPH(15), L, false)
            .value_or(Place{{g_.X0, g_.yOfPH(15), g_.X0 + width, g_.yOfPH(15) + height}, {}})
            .rect;
    legendBox(r, width, height, entries, more, L);
    placer_.avoid(r);
}

/// The legend's framed box at `r`, `width` × `height`: a sample and the text of each entry, then
/// `more`.
void ChartPainter::legendBox(const Rect& r, double width, double height,
                             const std::vector<const LegendEntry*>& entries,
                             const std::string& more, double L)
{
    const double sample = 2 * L, inset = L / 4;
    s_.Box(r.left, r.top, width, height, kChartWhite);
    pen(g_.gridPen, false);
    s_.Line(r.left, r.top, r.right, r.top, g_.gridColour);
    s_.Line(r.right, r.top, r.right, r.bottom, g_.gridColour);
    s_.Line(r.right, r.bottom, r.left, r.bottom, g_.gridColour);
    s_.Line(r.left, r.bottom, r.left, r.top, g_.gridColour);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const LegendEntry& e = *entries[i];
        const double top = r.top + static_cast<double>(i) * L, y = top + L / 2;
        const double x = r.left + inset;
        if (e.style.markersOnly) {
            pen(g_.dotPen * e.style.width, false);
            s_.PSet(x + sample / 2, y, e.style.colour);
        } else {
            pen(g_.curvePen * e.style.width, false);
            dashPhase_ = 0;
            if (e.style.dashed)
                dashedLine(x, y, x + sample, y, e.style.colour);
            else
                s_.Line(x, y, x + sample, y, e.style.colour);
        }
        printAt(x + sample, top, e.text);
    }
    if (!more.empty())
        printAt(r.left + inset, r.top + static_cast<double>(entries.size()) * L, more);
}

} // namespace chart
