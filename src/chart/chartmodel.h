#pragma once
// What the chart shows, made once for an accepted titration: the model, its equivalence points
// as the report run gives them, the series drawn with the model's curve, the texts and the
// legend. Drawing it (titrationchart.h) only lays this out on a geometry; a refused titration
// has no chart model at all.

#include "chart/series.h"
#include "indicators/catalogue.h"
#include "report/calculationrun.h"
#include "report/model.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace chart {

/// An end point the readings show, marked apart from the model's equivalence points: a band
/// over its 95 % interval and a mark on the readings; for a weak analyte also the readings' pH
/// half way from the previous end point (or the start), where pH ≈ pKa.
struct MeasuredMark
{
    int index = 1;                        ///< which equivalence point
    double volume = 0, low = 0, high = 0; ///< mL
    std::optional<double> pH;             ///< the readings' at the volume, if they reach it
    std::optional<std::pair<double, double>> half; ///< (mL, pH)
};

/// The readings' end points: their marks, and the band of their intervals.
inline constexpr Colour kMeasuredColour = indicators::rgb(170, 85, 0);
inline constexpr Colour kMeasuredBand = indicators::rgb(255, 236, 200);

/// What the chart shows besides the model and its points.
struct ChartContents
{
    /// Drawn with the model's curve: readings, kept and fitted curves, derivatives. The volume
    /// axis stretches to cover them (up to 600 mL); a legend lists the model and every one with
    /// a legend text; a derivative adds the right axis.
    std::vector<Series> series = {};
    std::string modelLegend = "Calculated curve";
    /// The indicator whose colours the band along the right edge shows; none for 0.
    int indicatorPosition = 0;
    const indicators::IndicatorCatalogue* catalogue = nullptr;
    std::vector<MeasuredMark> marks = {};
    /// False for a curve to read from, as a worksheet gives it: the equivalence points are not
    /// marked and the curve is one colour, so that the chart does not give the answers away.
    bool markPoints = true;
};

/// The texts around the chart, which may change after it is made (on screen the title is the
/// curve page's label, not the chart's).
struct ChartTexts
{
    std::string title;         ///< printed on paper
    std::string indicatorName; ///< printed on paper
    /// One line with the inputs under a chart handed out as a file or picture; "" on the curve
    /// page and the printed page.
    std::string caption;
};

/// One line of the legend: a series' text as shown (a long one cut short) and its style.
struct LegendEntry
{
    std::string text;
    SeriesStyle style;
    bool kept = false; ///< a kept curve, which the legend may count instead of listing
};

/// The right axis's scale: ticks at whole multiples of `step`, from lowestTick·step to
/// highestTick·step.
struct DerivativeScale
{
    double step = 1, lowestTick = 0, highestTick = 1;
};

/// An accepted titration's chart.
class ChartModel
{
public:
    /// `points` are the report run's for `model`, one for each of its equivalence volumes.
    ChartModel(report::TitrationModel model, std::vector<report::EquivalencePoint> points,
               ChartContents contents, ChartTexts texts = {});

    const report::TitrationModel& model() const { return model_; }
    const std::vector<report::EquivalencePoint>& points() const { return points_; }
    /// Whether every point's pH was computed: a failure leaves the points unmarked.
    bool pointsComputed() const { return pointsComputed_; }
    const std::vector<Series>& series() const { return contents_.series; }
    const std::string& modelLegend() const { return contents_.modelLegend; }
    int indicatorPosition() const { return contents_.indicatorPosition; }
    const indicators::IndicatorCatalogue* catalogue() const { return contents_.catalogue; }
    const std::vector<MeasuredMark>& marks() const { return contents_.marks; }
    bool marksPoints() const { return contents_.markPoints; }

    /// The volume at the plot's right edge: the model's end, or beyond it the tick after the
    /// largest volume of the other series (up to 600 mL).
    double axisEnd() const { return axisEnd_; }
    /// Whether the axis runs beyond the model's own end.
    bool stretched() const { return stretched_; }
    /// Whether a series with a point to draw goes on the right axis.
    bool rightAxis() const { return rightAxis_; }
    const DerivativeScale& derivativeScale() const { return derivativeScale_; }
    /// The model's curve and every series with a legend text; shown with more than one entry.
    const std::vector<LegendEntry>& legend() const { return legend_; }

    ChartTexts texts;

private:
    report::TitrationModel model_;
    std::vector<report::EquivalencePoint> points_;
    bool pointsComputed_ = true;
    ChartContents contents_;
    double axisEnd_ = 0;
    bool stretched_ = false;
    bool rightAxis_ = false;
    DerivativeScale derivativeScale_;
    std::vector<LegendEntry> legend_;
};

/// The chart in words, for a screen reader: its title, the axes, every equivalence point and the
/// ranges for an error below 1 %, as the chart writes them, then a sentence for every series
/// drawn with the model's curve.
std::string chartDescription(const ChartModel& chart);

} // namespace chart
