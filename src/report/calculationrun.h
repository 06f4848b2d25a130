#pragma once
// The calculation run behind "Table & results": from the inputs the schematic refresh accepted
// to the results report and the table of values, or a refusal when the inputs do not describe
// a titration with its equivalence volume between 5 and 300 mL.

#include "chem/titration.h"
#include "report/acceptance.h"
#include "report/model.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace report {

/// What the report says about the chosen indicator.
struct IndicatorInfo
{
    std::string name;
    double pHLow = 0;
    double pHHigh = 0;
    std::string acidColourName;
    std::string basicColourName;
};

struct CalculationInput
{
    std::optional<chem::TitrationType> type;
    chem::TitrationInputs inputs;
    bool refreshFailed = false; ///< the schematic refresh refused a box or failed a pH
    std::string constantText;   ///< the Ka/Kb box as typed
    std::optional<IndicatorInfo> indicator;
    std::string verdictCaption; ///< the caption the refresh gave the verdict label
    /// The analyte when the constant box held constants or a name rather than a number.
    std::optional<AnalyteConstants> constants;
    /// The colour-change ranges of every indicator the user could choose, to tell when no
    /// indicator can show an equivalence point.
    std::vector<std::pair<double, double>> indicatorRanges;
    /// Activities by the Davies equation, or concentrations for activities (the default).
    chem::ActivityModel activity = chem::ActivityModel::None;
};

/// Whether an indicator suits an equivalence point: appropriate when the centre of its colour
/// change lies in the pH jump between 99 % and 101 % of the point's volume, very appropriate
/// when the point's own pH lies within its range too.
enum class Suitability { Inappropriate, Appropriate, VeryAppropriate };

/// The indicator's suitability at a point whose jump runs from `pHBefore` (at 99 %) to
/// `pHAfter` (at 101 %); `pHAtPoint` is asked only when the centre lies in the jump.
template <class PHAtPoint>
Suitability suitability(double pHLow, double pHHigh, double pHBefore, double pHAfter,
                        PHAtPoint pHAtPoint)
{
    const double lo = pHAfter < pHBefore ? pHAfter : pHBefore;
    const double hi = pHAfter < pHBefore ? pHBefore : pHAfter;
    const double mid = (pHLow + pHHigh) / 2;
    if (!(lo <= mid && mid <= hi))
        return Suitability::Inappropriate;
    const double pHe = pHAtPoint();
    return pHLow <= pHe && pHe <= pHHigh ? Suitability::VeryAppropriate : Suitability::Appropriate;
}

/// One equivalence point as the report gives it, in full precision.
struct EquivalencePoint
{
    double volume = 0;
    double pH = 0;
    double volumeLow = 0, volumeHigh = 0; ///< 99 % and 101 % of the volume
    double pHAtLow = 0, pHAtHigh = 0;
    std::optional<Suitability> indicator; ///< the chosen indicator's suitability here
    bool noIndicatorShows = false;        ///< no indicator's centre lies in the jump
    /// A pH here (at the point or an end of its range) could not be computed: it reads 0.
    bool failed = false;
};

/// The model's equivalence points with their pH and the ranges for an error below 1 %: the
/// one place they are computed, for the report, the schematic's verdict and the chart.
std::vector<EquivalencePoint> equivalencePoints(const TitrationModel& model);

/// The lines of the report with one equivalence point.
inline constexpr std::size_t kReportLines = 17;

/// The results page: the report lines (Label1), the last of them the table's heading, and the
/// table of values (Text1, CR LF ends). One equivalence point gives the 17 lines of the page's
/// fixed places; several give as many lines as they need, `headings` saying which are bold.
struct Report
{
    std::vector<std::string> lines;
    std::vector<std::size_t> headings;
    std::string table;
    std::vector<EquivalencePoint> points;
    std::vector<std::pair<double, double>> rows; ///< the table's volumes and pH, unrounded
    /// The titration the report was computed from.
    std::optional<TitrationModel> model;
};

/// The line under the report's title when activities are on; without them there is none.
inline constexpr const char* kActivityLine =
    "  Activities by the Davies equation (25 °C): constants thermodynamic, pH = -log a(H+)";

/// The run; none when it refuses. With activities it refuses where a pH cannot be computed
/// (activityRefusal says why).
std::optional<Report> runCalculation(const CalculationInput& input);

/// Why the run with activities refuses inputs checkTitration accepts (whatever the refresh said
/// of them): an ionic strength beyond the Davies equation's range or one that does not settle;
/// none otherwise.
std::optional<Refusal> activityRefusal(const CalculationInput& input);

} // namespace report
