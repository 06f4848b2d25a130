#pragma once

#include "chart/drawingsurface.h"
#include "chart/series.h"
#include "chem/titration.h"
#include "indicators/catalogue.h"
#include "report/model.h"

#include <optional>
#include <string>
#include <vector>

namespace chart {

/// Everything that differs between the chart on screen and on paper.
struct ChartGeometry
{
    bool onPaper = false;
    double X0 = 0;           ///< left edge of the plot: volume 0
    double XR = 0;           ///< right edge of the plot: 2·Veq, (n + 1)·Veq1 for n points
    double H = 0;            ///< vertical scale: 18 pH units span H
    double bottomOffset = 0; ///< pH −1 lies at H − bottomOffset
    double pHLabelRight = 0; ///< right edge of the pH labels
    double volumeLabelTop = 0;
    double gridTop = 0; ///< top of the vertical grid lines
    double gridLength = 0;
    double captionTop = 0; ///< the volume axis caption
    Colour gridColour = 0;
    Colour dotColour = 0;
    /// Pens: in pixels on screen, in millimetres on paper (turned into whole device pixels).
    double gridPen = 1;
    double bandPen = 1;
    double curvePen = 2;
    double dotPen = 10;
    double penAfterDot = 2; ///< on paper, one device pixel whatever the resolution
    double bandLeft = 0;
    double bandWidth = 0;
    double bandTop = 0;
    double bandBottom = 0;
    double bandStep = 1;
    double sampleStep = 3;  ///< curve sampling step within 5 % of an equivalence volume
    double sampleExtra = 1; ///< added beyond 5 %, and again beyond 20 %
    double rightTextOffset = 18;
    double rightTextSize = 11;
    double leftTextOffset = 24;
    double leftTextSize = 10;
    double greenTextLines = 2;   ///< the green-line text stands this many L above the dot
    double volumeRangeLines = 1; ///< the volume range this many L below it
    /// With a derivative: the plot narrows by this much for the right axis's ticks, labels and
    /// caption, whose ticks stick out this far.
    double rightAxisRoom = 40;
    double rightTick = 4;
    double dash = 8; ///< a dashed line's dash; the gap is 0.6 of it

    /// The chart page of the window, `width` × `height` pixels.
    static ChartGeometry screen(double width, double height);
    /// A landscape page in millimetres.
    static ChartGeometry paper();

    double yOfPH(double pH) const;
    double pHAtY(double y) const;
};

struct ChartInput
{
    std::optional<chem::TitrationType> type;
    chem::TitrationInputs inputs;
    std::int32_t calcErrorFlag = 0; ///< as the schematic refresh left it
    int indicatorPosition = 0;
    const indicators::IndicatorCatalogue* catalogue = nullptr;
    std::string title;         ///< printed on paper
    std::string indicatorName; ///< printed on paper
    /// One line with the inputs under a chart handed out as a file or picture; "" on the curve
    /// page and the printed page.
    std::string caption;
    /// The analyte, when the constant box held constants or a name.
    std::optional<report::AnalyteConstants> constants;
    /// Drawn with the model's curve: readings, kept and fitted curves, derivatives. The volume
    /// axis stretches to cover them (up to 600 mL); a legend lists the model and every one with
    /// a legend text; a derivative adds the right axis. (Defaults keep brace-initialised
    /// inputs free of missing-initialiser warnings.)
    std::vector<Series> series = {};
    std::string modelLegend = "Calculated curve";
};

/// The chart in words, for a screen reader: its title, the axes, every equivalence point and the
/// ranges for an error below 1 %, as the chart writes them, then a sentence for every series
/// drawn with the model's curve; "" when nothing is drawn.
std::string chartDescription(const ChartInput& input);

/// Whether the inputs pass the chart's checks: no failed refresh, every quantity given, the
/// constant of a weak type, and the equivalence volumes within 5 to 300 mL (the first of them
/// and the last, for an analyte given by its constants).
bool chartAccepts(const ChartInput& input);

/// Draws the chart: the model's curve and the input's series; does nothing when chartAccepts
/// refuses. The model's curve stops where a pH computation fails. An analyte with several
/// equivalence points gets each one marked, its label at the nearest place clear of the other
/// labels, the dots and the curve (of its steep parts at least), with a leader when that place is
/// not beside its dot.
void drawChart(DrawingSurface& surface, const ChartGeometry& geometry, const ChartInput& input);

/// The model's curve as drawChart samples it on `geometry`: a point every few pixels, denser
/// near the equivalence volumes, each segment green within 1 % of one; none when chartAccepts
/// refuses. Its points are (mL, pH), and may be passed to derivativeSeries.
std::optional<Series> modelSeries(const ChartInput& input, const ChartGeometry& geometry);

/// A value as the chart writes it: the plain text, no zero before the point (.5, -1, 20).
std::string chartNumber(double x);

/// The tick step of the volume axis for a range of `range` mL.
double tickStep(double range);

} // namespace chart
