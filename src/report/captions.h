#pragma once
// The titration in words for what is handed out: the title of the report and the chart, the
// name a saved file takes, the caption under a chart, the analyte in one line.

#include "chem/titration.h"
#include "report/model.h"

#include <optional>
#include <string>

namespace report {

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

/// The constant box's text as the report and the caption show it: one blank for each control
/// character (a pasted line break must not add lines to the report), trimmed, upper case.
std::string constantAsShown(const std::string& typed);

} // namespace report
