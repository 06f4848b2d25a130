#pragma once
// What the chart's tests set up and read back: a titration made into a chart model as the
// session makes it (from the report run's points), drawn on a recording surface.
#include "chart/recordingsurface.h"
#include "chart/titrationchart.h"
#include "report/calculationrun.h"

#include <QMetaType>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(chem::TitrationType)

namespace chart::test {

using Op = RecordingSurface::Operation;
using Kind = RecordingSurface::Kind;
using chem::TitrationType;
using enum chem::TitrationType;

constexpr Colour kGreen = 0 + 256 * 160, kRed = 196, kWhite = 0xffffff;
constexpr double kPt = 96.0 / 72, kMm = 25.4 / 72; // a point on screen and on paper

/// What a test sets up: the inputs and what is drawn with the model's curve.
struct Setup
{
    chem::TitrationType type;
    chem::TitrationInputs inputs;
    int indicatorPosition = 0;
    std::optional<report::AnalyteConstants> constants = {};
    std::vector<Series> series = {};
    std::vector<MeasuredMark> marks = {};
};

inline Setup input(TitrationType type, double analyteVolume, double K = -1, int indicator = 0,
                   double conc = 0.1)
{
    return {type, {conc, conc, analyteVolume, K}, indicator};
}

/// The chart as the session makes it, from the report run's points; none when the run refuses.
inline std::optional<ChartModel> chartOf(const Setup& in)
{
    report::CalculationInput run;
    run.type = in.type;
    run.inputs = in.inputs;
    run.constants = in.constants;
    const std::optional<report::Report> r = report::runCalculation(run);
    if (!r)
        return std::nullopt;
    return ChartModel(*report::TitrationModel::make(in.type, in.inputs, in.constants), r->points,
                      {in.series, "Calculated curve", in.indicatorPosition,
                       &indicators::filledCatalogue(), in.marks},
                      {"Titration of weak acid with strong base", "phenolphthalein", ""});
}

inline std::string describe(const Setup& in)
{
    const std::optional<ChartModel> chart = chartOf(in);
    return chart ? chartDescription(*chart) : std::string();
}

/// The model's curve as drawn on `g`.
inline Series curveOf(const Setup& in, const ChartGeometry& g)
{
    return modelSeries(*chartOf(in), g);
}

inline const Setup kWeakAcid = input(WeakAcidStrongBase, 25, 1.8e-5, 4);
inline const ChartGeometry kScreen = ChartGeometry::screen(768, 476);
using Points = std::vector<std::pair<double, double>>;

struct Drawn
{
    ChartGeometry g;
    std::vector<Op> ops;
    PlotTransform plot; ///< as drawChart returned it
    std::vector<Op> of(Kind kind, Colour colour = -1) const
    {
        std::vector<Op> found;
        for (const Op& op : ops)
            if (op.kind == kind && (colour < 0 || op.colour == colour))
                found.push_back(op);
        return found;
    }
    std::vector<Op> curve() const
    {
        std::vector<Op> lines = of(Kind::Line, kGreen), red = of(Kind::Line, kRed);
        lines.insert(lines.end(), red.begin(), red.end());
        std::sort(lines.begin(), lines.end(), [](const Op& a, const Op& b) { return a.x1 < b.x1; });
        return lines;
    }
};

/// Nothing drawn for refused inputs.
inline Drawn draw(const Setup& in, bool paper, double twipsPerPixel = 15, int width = 768,
                  int height = 476)
{
    Drawn d{paper ? ChartGeometry::paper() : ChartGeometry::screen(width, height), {}, {}};
    RecordingSurface surface(paper ? kMm : kPt, twipsPerPixel);
    if (const std::optional<ChartModel> chart = chartOf(in))
        d.plot = drawChart(surface, d.g, *chart);
    d.ops = surface.operations;
    return d;
}

} // namespace chart::test
