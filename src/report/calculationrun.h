#pragma once
// The calculation run behind "Table & results": from the inputs the schematic refresh accepted
// to the results report and the table of values, or a refusal when the inputs do not describe
// a titration with its equivalence volume between 5 and 300 mL.

#include "chem/titration.h"
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
    std::int32_t calcErrorFlag = 0; ///< as the schematic refresh left it
    std::string constantText;       ///< the Ka/Kb box as typed
    std::optional<IndicatorInfo> indicator;
    std::string verdictCaption; ///< the caption the refresh gave the verdict label
    /// The analyte when the constant box held constants or a name rather than a number.
    std::optional<AnalyteConstants> constants;
    /// The colour-change ranges of every indicator the user could choose, to tell when no
    /// indicator can show an equivalence point.
    std::vector<std::pair<double, double>> indicatorRanges;
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
};

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
};

/// The equivalence volumes, in mL, of the titrations the program computes, bounds included.
inline constexpr double kMinEquivalenceVolume = 5.0;
inline constexpr double kMaxEquivalenceVolume = 300.0;

/// The run; none when it refuses.
std::optional<Report> runCalculation(const CalculationInput& input);

/// "Titration of weak acid with strong base" and so on: the report's and the chart's title.
std::string titrationTitle(chem::TitrationType type);

/// The titration in a few words for a file name: "weak acid 0.1 M 25 mL", or with the
/// substance's name when it was chosen by name.
std::string titrationFileStem(chem::TitrationType type, const chem::TitrationInputs& inputs,
                              const std::optional<AnalyteConstants>& constants = std::nullopt);

/// The inputs in one line, for a chart handed out: "25 mL of weak acid 0.1 mol/L, Ka 1.8E-5,
/// titrated with strong base 0.1 mol/L"; the constant as the report shows it, or the analyte's
/// name and pKa values.
std::string titrationCaption(chem::TitrationType type, const chem::TitrationInputs& inputs,
                             const std::string& constantText,
                             const std::optional<AnalyteConstants>& constants = std::nullopt);

/// The analyte in words: "phosphoric acid (H3PO4), pKa 2.148, 7.198, 12.375", or "pKa 4.76"
/// when typed as constants.
std::string analyteSummary(const AnalyteConstants& constants);

/// A constant with three significant digits, as tables write it: 7.08E-3, 1E3.
std::string constantText(double k);

/// ASCII letters in lower case, as the report shows the verdict: "[very appropriate]".
std::string lowerCase(std::string text);

/// The equivalence volume, analyteVolume × analyteConc / titrantConc, in mL.
double equivalenceVolume(const chem::TitrationInputs& inputs);

/// The most rows curveCsv writes.
inline constexpr double kMaxCurveRows = 100000;

/// The volume the table, the chart and the CSV run to: twice the equivalence volume, (n + 1)
/// times the first of n points.
double curveEnd(const TitrationModel& model);

/// The curve every `step` mL from 0 to curveEnd, for re-plotting, as CSV beside the table's:
/// the header "Volume (mL),pH", the volume as short as it reads back, the pH with 3 decimals,
/// CR LF ends. None when the step is not above 0 or makes more than kMaxCurveRows rows.
std::optional<std::string> curveCsv(const TitrationModel& model, double step);

/// One table row: blank, the 7-character volume field, blank, the 7-character pH field, CR LF.
std::string tableRow(double volume, double pH);

} // namespace report
