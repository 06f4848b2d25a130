#pragma once
// The schematic refresh: reads the four input boxes, checks them, and works out everything the
// burette-and-flask schematic shows — both pH labels, the flask colour and the verdict on the
// chosen indicator. It is the only place the input boxes are parsed; the calculation and the
// chart rely on the TitrationInputs and the failure it leaves behind.

#include "chem/titration.h"
#include "indicators/catalogue.h"
#include "report/acceptance.h"
#include "report/calculationrun.h"

#include <optional>
#include <string>
#include <vector>

namespace indicators {

/// What the boxes accept, and their texts as typed.
using report::BoxTexts;
using report::kConstantAbove;
using report::kConstantBelow;
using report::kMaxConcentration;
using report::kMaxVolume;
using report::kMinConcentration;
using report::kMinVolume;

using SuitabilityVerdict = report::Suitability;

/// The verdict label's caption: "Inappropriate", "Appropriate" or "Very appropriate".
std::string verdictCaption(SuitabilityVerdict verdict);

/// Red for an unsuitable indicator, dark green otherwise.
Colour verdictColour(SuitabilityVerdict verdict);

inline constexpr Colour kWhite = rgb(255, 255, 255);

using report::Refusal;

/// The refusal as the window says it: "The Ka is missing."
std::string sentence(const Refusal& refusal);

/// Everything one refresh writes. After a failure it holds what the steps before the failure
/// wrote, and the reset values for the rest.
struct SchematicState
{
    chem::TitrationInputs inputs{chem::kNotGiven, chem::kNotGiven, chem::kNotGiven,
                                 chem::kNotGiven};
    /// The refresh refused a box or could not compute a pH: the run and the chart refuse.
    bool failed = false;
    std::string LblpHErl;        ///< "" or "pH = " and the analyte's pH
    std::string LblpHBur;        ///< "" or "pH = " and the titrant's pH
    Colour flaskColour = kWhite; ///< ShErlem's fill
    /// The verdict, when the verdict label is shown; none hides it (its caption is then left as
    /// it was).
    std::optional<SuitabilityVerdict> verdict;
    /// Set when the refresh refused a box (the flag is then set too), or the equivalence volume
    /// it checks for the verdict, or a solution's pH it could not compute.
    std::optional<Refusal> refusal;
    /// The analyte, when the constant box held constants or a name.
    std::optional<report::AnalyteConstants> constants;
    /// With several equivalence points, the indicator's verdict at each; `verdict` is the best.
    std::vector<SuitabilityVerdict> pointVerdicts;
};

/// The verdict label's caption after a refresh that shows it: verdictCaption, followed for
/// several equivalence points by the points the indicator suits ("Appropriate: points 1, 2").
std::string verdictCaption(const SchematicState& state);

/// Refreshes the schematic for the selected type, the box texts and the chooser position
/// (0 or less: no indicator); with `activity` Davies, every pH is the meter's with activities.
SchematicState ActualizarColor_pH(std::optional<chem::TitrationType> type, const BoxTexts& boxes,
                                  int indicatorPosition, const IndicatorCatalogue& catalogue,
                                  chem::ActivityModel activity = chem::ActivityModel::None);

/// Why the calculation run and the chart refuse the inputs after this refresh, or none when they
/// accept them: the box the refresh refused, else report::checkTitration's reason (a quantity
/// the refresh left unread was blank).
std::optional<Refusal> whyRefused(std::optional<chem::TitrationType> type,
                                  const SchematicState& state);

/// What the calculation run starts from after a refresh: its inputs and flag, the constant's
/// text as typed, the chosen indicator's entry and the verdict's caption as shown.
report::CalculationInput calculationInput(std::optional<chem::TitrationType> type,
                                          const SchematicState& state, const BoxTexts& boxes,
                                          int indicatorPosition,
                                          const IndicatorCatalogue& catalogue,
                                          const std::string& verdictCaption);

/// The schematic in words, for a screen reader: "Burette: strong base 0.1 mol/L, pH 13.
/// Flask: weak acid, pH 2.876, colourless with phenolphthalein." Only what the schematic shows.
std::string schematicDescription(std::optional<chem::TitrationType> type,
                                 const SchematicState& state, int indicatorPosition,
                                 const IndicatorCatalogue& catalogue);

/// The indicator's colour strip in words: "phenolphthalein: colourless up to pH 8.2, violet
/// from pH 9.8", or "No indicator".
std::string stripDescription(int indicatorPosition, const IndicatorCatalogue& catalogue);

/// "pH = " and the pH rounded to 3 decimals, without restoring a zero before the point.
std::string pHLabelText(double pH);

} // namespace indicators
