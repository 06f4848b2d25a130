#pragma once
// The titration chart drawn on an abstract surface, one routine for screen and paper: the
// geometry holds what differs between them. What is drawn is a ChartModel (chartmodel.h);
// where the labels go is labelplacement.h's; the painter itself is chartpainter.h's.

#include "chart/chartmodel.h"
#include "chart/drawingsurface.h"
#include "chart/series.h"

#include <string>

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
    /// A panel of a paper page, `width` × `height` mm (some 40 mm high at least) from its
    /// top-left corner, with the labels of both axes and the volume's caption inside it: the
    /// page's pens and fonts on a smaller plot.
    static ChartGeometry paperPanel(double width, double height);

    double yOfPH(double pH) const;
    double pHAtY(double y) const;
};

/// Where the chart put its plot: volume against x, pH against y, as drawChart drew them.
struct PlotTransform
{
    /// The geometry the plot was drawn on: X0 and XR are the plot's left and right edges
    /// (narrowed for a right axis).
    ChartGeometry geometry;
    double axisEnd = 1; ///< the volume at the right edge, mL

    double left() const { return geometry.X0; }
    double right() const { return geometry.XR; }
    double xOfVolume(double volume) const
    {
        return geometry.X0 + (geometry.XR - geometry.X0) * volume / axisEnd;
    }
    double volumeAtX(double x) const
    {
        return (x - geometry.X0) * axisEnd / (geometry.XR - geometry.X0);
    }
    double yOfPH(double pH) const { return geometry.yOfPH(pH); }
    double pHAtY(double y) const { return geometry.pHAtY(y); }
};

/// The plot `chart` takes on `geometry`: narrowed for a right axis, to its axis's end.
PlotTransform plotTransform(const ChartGeometry& geometry, const ChartModel& chart);

/// Draws the chart: the model's curve and the chart's series, and returns where it put them.
/// The model's curve stops where a pH computation fails, and then no equivalence point is
/// marked. An analyte with several equivalence points gets each one marked, its label at the
/// nearest place clear of the other labels, the dots and the curve (of its steep parts at
/// least), with a leader when that place is not beside its dot.
PlotTransform drawChart(DrawingSurface& surface, const ChartGeometry& geometry,
                        const ChartModel& chart);

/// An empty grid to sketch a curve on, in the chart's look: pH 0 to 14 by 1 from the top of
/// the plot's grid to its bottom, volume 0 to `lastVolume` mL in the volume axis's steps, both
/// labelled. A last volume not above 0 (or not a number) draws 50 mL; one beyond 600, 600.
void drawSketchGrid(DrawingSurface& surface, const ChartGeometry& geometry, double lastVolume);

/// The model's curve as drawChart samples it on `geometry`: a point every few pixels, denser
/// near the equivalence volumes, each segment green within 1 % of one. Its points are (mL, pH),
/// and may be passed to derivativeSeries.
Series modelSeries(const ChartModel& chart, const ChartGeometry& geometry);

/// A value as the chart writes it: the plain text, no zero before the point (.5, -1, 20).
std::string chartNumber(double x);

/// The tick step of the volume axis for a range of `range` mL.
double tickStep(double range);

} // namespace chart
