#pragma once
// The painter behind drawChart, for the chart's own sources: it lays a chart model out on a
// plot, the axes, band and series in chartpainter.cpp, the equivalence points' labels and the
// legend in chartlabels.cpp.

#include "chart/labelplacement.h"
#include "chart/titrationchart.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace chart {

inline constexpr Colour kChartWhite = indicators::rgb(255, 255, 255);
/// The model's curve within 1 % of an equivalence volume, and elsewhere.
inline constexpr Colour kChartGreen = indicators::rgb(0, 160, 0);
inline constexpr Colour kChartRed = indicators::rgb(196, 0, 0);

/// A pen `width` wide in whole device pixels: on screen the pixels as given; on paper the
/// millimetres measured across (or, `vertical`, down) the page, halves to even, at least one.
int penPixels(const DrawingSurface& s, const ChartGeometry& g, double width, bool vertical);

class ChartPainter
{
public:
    /// `page` as given (the title and indicator stand over it on paper), `plot` where the
    /// series go, `curve` the model's curve sampled on it.
    ChartPainter(DrawingSurface& s, const ChartGeometry& page, const PlotTransform& plot,
                 const ChartModel& chart, const Series& curve);

    void draw();

private:
    // chartpainter.cpp: the frame and the series.
    void pen(double width, bool vertical);
    void printAt(double x, double y, const std::string& text);
    void printOverBox(double x, double y, double L, const std::string& text);
    void titleAndIndicator();
    void pHAxis();
    void volumeAxis();
    void caption();
    void band();
    void measuredBands();
    double yOfDerivative(double d) const;
    void rightAxis();
    void boundaryStroke(double px, double py, double x, double y);
    template <class At>
    std::vector<std::size_t> shownPoints(const Series& s, const At& at, double pixel,
                                         std::vector<Rect>* runs) const;
    void markerRuns(const std::vector<Rect>& runs, Colour colour, double diameter);
    void drawSeries(const Series& s);
    void dashedLine(double x1, double y1, double x2, double y2, Colour colour);

    // chartlabels.cpp: what is written on the plot.
    void equivalencePoint();
    void equivalencePoints();
    void measuredMarks();
    void measuredLabels();
    bool placeLabel(const std::vector<std::string>& lines, double x, double y, double L,
                    bool leader);
    void legend();
    void legendBox(const Rect& r, double width, double height,
                   const std::vector<const LegendEntry*>& entries, const std::string& more,
                   double L);

    DrawingSurface& s_;
    const ChartGeometry& page_;
    const PlotTransform& plot_;
    const ChartGeometry& g_; ///< the plot's
    const ChartModel& chart_;
    const Series& curve_;
    bool inGreen_ = false;
    double dashPhase_ = 0;
    LabelPlacer placer_; ///< what the labels keep clear of
};

} // namespace chart
