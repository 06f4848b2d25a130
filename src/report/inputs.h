#pragma once
// The four quantities the user types, described once: the box that holds each, the command-line
// option that fills it, the words a refusal uses for it, its unit, the range it accepts and the
// types that need it. The schematic refresh, the acceptance rule, the command line, families of
// curves and the input page all read this table, so a fifth quantity is one more row.

#include "chem/titration.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace report {

/// The texts of the four input boxes, as typed.
struct BoxTexts
{
    std::string TxCBur; ///< titrant concentration
    std::string TxVErl; ///< analyte volume
    std::string TxCErl; ///< analyte concentration
    std::string TxKaKb; ///< Ka or Kb

    bool operator==(const BoxTexts&) const = default;
};

/// A box; None stands for the titration type and the equivalence volume in a refusal.
enum class Input { None, TxCBur, TxVErl, TxCErl, TxKaKb };

/// One typed quantity.
struct InputDescription
{
    Input box;
    const char* boxName;    ///< the box's control name
    const char* option;     ///< the command line's option, without the dashes
    const char* baseOption; ///< the option for a weak base, where it differs; else null
    const char* words;      ///< the quantity in a sentence: "the titrant concentration"
    const char* baseWords;  ///< the words for a weak base, where they differ; else null
    const char* unit;       ///< "mol/L", "mL", or "" for a constant
    double low, high;       ///< the accepted range
    bool bothExcluded;      ///< true: low < x < high; false: low <= x <= high
    bool weakOnly;          ///< only the weak types need it
    std::string BoxTexts::*text;
    double chem::TitrationInputs::*value;

    /// The option or words for `type`.
    const char* optionFor(std::optional<chem::TitrationType> type) const;
    std::string wordsFor(std::optional<chem::TitrationType> type) const;
    /// Whether the box accepts the value `x`.
    bool accepts(double x) const
    {
        return bothExcluded ? x > low && x < high : x >= low && x <= high;
    }
    /// "1E-06 to 10 mol/L", "1E-14 to 1, both excluded".
    std::string rangeText() const;
};

/// The accepted ranges: concentrations in mol/L and the analyte's volume in mL with their bounds,
/// the constant strictly between its bounds.
inline constexpr double kMinConcentration = 1.0E-6, kMaxConcentration = 10.0;
inline constexpr double kMinVolume = 2.5, kMaxVolume = 600.0;
inline constexpr double kConstantAbove = 1.0E-14, kConstantBelow = 1.0;

/// In the order the acceptance rule asks for them when they are missing.
// clang-format off
inline constexpr std::array<InputDescription, 4> kInputs = {{
    {Input::TxCErl, "TxCErl", "analyte", nullptr, "the analyte concentration", nullptr, "mol/L",
     kMinConcentration, kMaxConcentration, false, false,
     &BoxTexts::TxCErl, &chem::TitrationInputs::analyteConc},
    {Input::TxCBur, "TxCBur", "titrant", nullptr, "the titrant concentration", nullptr, "mol/L",
     kMinConcentration, kMaxConcentration, false, false,
     &BoxTexts::TxCBur, &chem::TitrationInputs::titrantConc},
    {Input::TxVErl, "TxVErl", "analyte-volume", nullptr, "the analyte volume", nullptr, "mL",
     kMinVolume, kMaxVolume, false, false,
     &BoxTexts::TxVErl, &chem::TitrationInputs::analyteVolume},
    {Input::TxKaKb, "TxKaKb", "ka", "kb", "the Ka", "the Kb", "",
     kConstantAbove, kConstantBelow, true, true,
     &BoxTexts::TxKaKb, &chem::TitrationInputs::dissociationConstant},
}};
// clang-format on

/// The description of a box (not None).
const InputDescription& describe(Input box);

/// The quantity an option names ("titrant", "analyte", "analyte-volume", "ka", "kb"), or none.
const InputDescription* inputForOption(std::string_view option);

} // namespace report
