#include "chart/chartmodel.h"

#include "chart/titrationchart.h"
#include "report/numbertext.h"
#include "report/table.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace chart {

namespace {

/// The longest volume axis the model draws itself (twice 300 mL): readings beyond it are
/// clipped rather than crowding the axis's labels.
constexpr double kLongestAxis = 600;
/// The right axis's scale stays within this, whatever a series holds.
constexpr double kLargestDerivative = 1e15;

bool finite(const std::pair<double, double>& p)
{
    return std::isfinite(p.first) && std::isfinite(p.second);
}

bool onRightAxis(const Series& s)
{
    return s.axis == SeriesAxis::Derivative;
}

double volumeAxisEnd(const std::vector<Series>& series, const report::TitrationModel& model)
{
    const double modelEnd = report::curveEnd(model);
    double last = 0;
    for (const Series& s : series)
        for (const auto& p : s.points)
            if (finite(p))
                last = std::max(last, p.first);
    last = std::min(last, kLongestAxis);
    if (last <= modelEnd)
        return modelEnd;
    const double step = tickStep(last);
    return std::ceil(last / step) * step;
}

/// A round step, about five of them from the lowest value drawn against the right axis (or
/// zero) to the highest (or zero).
DerivativeScale scaleOfDerivatives(const std::vector<Series>& series)
{
    // The readings' derivative, when drawn, sets the scale: its peak is a few per mL where the
    // model's may be a hundred, and would lie flat on the axis. The model's line leaves the plot
    // at its top, interrupted.
    const auto ofReadings = [](const Series& s) {
        return s.role == SeriesRole::ReadingsDerivative && std::ranges::any_of(s.points, finite);
    };
    const bool readings = std::ranges::any_of(series, ofReadings);
    double low = 0, high = 0;
    for (const Series& s : series)
        if (onRightAxis(s) && (!readings || ofReadings(s)))
            for (const auto& p : s.points)
                if (finite(p)) {
                    low = std::max(std::min(low, p.second), -kLargestDerivative);
                    high = std::min(std::max(high, p.second), kLargestDerivative);
                }
    const double raw = high > low ? (high - low) / 5 : 0.2;
    const double decade = std::pow(10, std::floor(std::log10(raw)));
    DerivativeScale scale;
    scale.step = decade * (raw <= decade ? 1 : raw <= 2 * decade ? 2 : raw <= 5 * decade ? 5 : 10);
    scale.lowestTick = std::floor(low / scale.step);
    scale.highestTick = std::max(std::ceil(high / scale.step), scale.lowestTick + 1);
    return scale;
}

/// A legend text as the legend shows it: a long one (a file's name, say) cut short, not at a
/// character's continuation byte, so that the legend stays within the plot.
std::string legendText(const std::string& legend)
{
    constexpr std::size_t kLongest = 40;
    if (legend.size() <= kLongest)
        return ' ' + legend + ' ';
    std::size_t cut = kLongest - 3;
    while (cut > 0 && (static_cast<unsigned char>(legend[cut]) & 0xC0) == 0x80)
        --cut;
    return ' ' + legend.substr(0, cut) + "... ";
}

/// A value to three significant digits.
double threeDigits(double x)
{
    if (x == 0 || !std::isfinite(x))
        return 0;
    const double scale = std::pow(10, 2 - std::floor(std::log10(std::fabs(x))));
    return std::round(x * scale) / scale;
}

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

ChartModel::ChartModel(report::TitrationModel model, std::vector<report::EquivalencePoint> points,
                       ChartContents contents, ChartTexts texts)
    : texts(std::move(texts)), model_(std::move(model)), points_(std::move(points)),
      contents_(std::move(contents))
{
    // The report writes 0 for a pH it could not compute; the chart marks no point then.
    pointsComputed_ =
        std::ranges::none_of(points_, [](const report::EquivalencePoint& p) { return p.failed; });
    const std::vector<Series>& series = contents_.series;
    axisEnd_ = volumeAxisEnd(series, model_);
    stretched_ = axisEnd_ != report::curveEnd(model_);
    rightAxis_ = std::ranges::any_of(series, [](const Series& s) {
        return onRightAxis(s) && std::ranges::any_of(s.points, finite);
    });
    if (rightAxis_)
        derivativeScale_ = scaleOfDerivatives(series);
    legend_.push_back({legendText(contents_.modelLegend), seriesStyle(SeriesRole::Model), false});
    for (const Series& s : series)
        if (!s.legend.empty())
            legend_.push_back({legendText(s.legend), s.style, s.role == SeriesRole::Kept});
    if (!contents_.marks.empty())
        legend_.push_back(
            {"End points of the readings, 95 % band", {kMeasuredColour, 1, false, true}, false});
}

std::string chartDescription(const ChartModel& chart)
{
    const auto n = [](double x, int decimals) { return chartNumber(report::Round(x, decimals)); };
    const auto range = [&](const report::EquivalencePoint& p) {
        return "error below 1 % from " + n(p.volumeLow, 2) + " to " + n(p.volumeHigh, 2) +
               " mL, pH " + n(std::min(p.pHAtLow, p.pHAtHigh), 2) + " to " +
               n(std::max(p.pHAtLow, p.pHAtHigh), 2);
    };
    const std::vector<report::EquivalencePoint>& points = chart.points();
    std::string text = chart.texts.title + ": pH from -1 to 15 against 0 to " +
                       n(chart.axisEnd(), 2) + " mL of titrant.";
    if (points.size() == 1) {
        const report::EquivalencePoint& p = points.front();
        std::string r = range(p);
        r[0] = 'E';
        text += " Equivalence point: " + n(p.volume, 2) + " mL, pH " + n(p.pH, 3) + ". " + r + '.';
    } else {
        for (std::size_t k = 0; k < points.size(); ++k)
            text += std::string(k ? "; " : " ") + "Equivalence point " + std::to_string(k + 1) +
                    " at " + n(points[k].volume, 2) + " mL, pH " + n(points[k].pH, 3) + ", " +
                    range(points[k]);
        text += '.';
    }
    if (!chart.texts.indicatorName.empty())
        text += " Indicator: " + chart.texts.indicatorName + '.';
    for (const Series& s : chart.series())
        if (s.role == SeriesRole::Readings || std::ranges::any_of(s.points, finite))
            text += ' ' + seriesSentence(s);
    for (const MeasuredMark& m : chart.marks()) {
        text += " End point " + std::to_string(m.index) + " of the readings: " + n(m.volume, 2) +
                " mL, 95 % from " + n(m.low, 2) + " to " + n(m.high, 2) + " mL";
        if (m.half)
            text += "; pH " + n(m.half->second, 2) + " half way to it, at " + n(m.half->first, 2) +
                    " mL";
        text += '.';
    }
    return text;
}

} // namespace chart
