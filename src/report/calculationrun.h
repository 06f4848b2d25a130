#pragma once
// The calculation run behind "Table & results": from the inputs the schematic refresh accepted
// to the results report and the table of values, or a refusal when the inputs do not describe
// a titration with its equivalence volume between 5 and 300 mL.

#include "chem/titration.h"

#include <array>
#include <optional>
#include <string>

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
};

inline constexpr std::size_t kReportLines = 17;

/// The results page: the 17 report lines (Label1) and the table of values (Text1, CR LF ends).
struct Report
{
    std::array<std::string, kReportLines> lines;
    std::string table;
};

/// The equivalence volumes, in mL, of the titrations the program computes, bounds included.
inline constexpr double kMinEquivalenceVolume = 5.0;
inline constexpr double kMaxEquivalenceVolume = 300.0;

/// The run; none when it refuses.
std::optional<Report> runCalculation(const CalculationInput& input);

/// "Titration of weak acid with strong base" and so on: the report's and the chart's title.
std::string titrationTitle(chem::TitrationType type);

/// The titration in a few words for a file name: "weak acid 0.1 M 25 mL".
std::string titrationFileStem(chem::TitrationType type, const chem::TitrationInputs& inputs);

/// The inputs in one line, for a chart handed out: "25 mL of weak acid 0.1 mol/L, Ka 1.8E-5,
/// titrated with strong base 0.1 mol/L"; the constant as the report shows it.
std::string titrationCaption(chem::TitrationType type, const chem::TitrationInputs& inputs,
                             const std::string& constantText);

/// ASCII letters in lower case, as the report shows the verdict: "[very appropriate]".
std::string lowerCase(std::string text);

/// The equivalence volume, analyteVolume × analyteConc / titrantConc, in mL.
double equivalenceVolume(const chem::TitrationInputs& inputs);

/// The most rows curveCsv writes.
inline constexpr double kMaxCurveRows = 100000;

/// The curve every `step` mL from 0 to twice the equivalence volume, for re-plotting, as CSV
/// beside the table's: the header "Volume (mL),pH", the volume as short as it reads back, the
/// pH with 3 decimals, CR LF ends. None when the step is not above 0 or makes more than
/// kMaxCurveRows rows.
std::optional<std::string> curveCsv(chem::TitrationType type, const chem::TitrationInputs& inputs,
                                    double step);

/// One table row: blank, the 7-character volume field, blank, the 7-character pH field, CR LF.
std::string tableRow(double volume, double pH);

} // namespace report
