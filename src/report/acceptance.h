#pragma once
// Whether inputs describe a titration the program computes, and if not, why: one rule for the
// calculation run, the chart, the schematic's verdict and the command line.

#include "chem/titration.h"
#include "report/inputs.h"

#include <optional>
#include <string>

namespace report {

/// Why the inputs are refused: which box, what kind of fault, and a sentence for the user — lower
/// case, no final period, quoting the box as typed (trimmed): "the analyte concentration 20 is
/// outside 1E-06 to 10 mol/L", "the Ka is missing". The window capitalises it and adds the
/// period; the command line prints it after "acidora: ", or names its option for a missing input.
struct Refusal
{
    /// The box at fault; None for the titration type and the equivalence volume.
    using Input = report::Input;
    enum class Kind { Missing, OutOfRange, NotComputable };
    Input input = Input::None;
    Kind kind = Kind::Missing;
    std::string text;
};

/// The equivalence volumes, in mL, of the titrations the program computes, bounds included.
inline constexpr double kMinEquivalenceVolume = 5.0;
inline constexpr double kMaxEquivalenceVolume = 300.0;

/// The equivalence volume, analyteVolume × analyteConc / titrantConc, in mL.
double equivalenceVolume(const chem::TitrationInputs& inputs);

/// What a box holds, in words: "the titrant concentration", "the Kb"; "the titration type"
/// for None.
std::string quantityName(Refusal::Input box, std::optional<chem::TitrationType> type);

/// The refusal of an equivalence volume outside kMinEquivalenceVolume..kMaxEquivalenceVolume,
/// or none when it lies within. With `protons` points at k·veq, the first must reach the lower
/// bound and the last stay within the upper one.
std::optional<Refusal> equivalenceVolumeRefusal(double veq, int protons = 1);

/// Why the calculation run and the chart refuse these inputs, or none when they accept them.
/// In order: no type; a quantity not given (analyte concentration, titrant concentration,
/// analyte volume); a failed refresh (`refreshFailed`); a weak type without its constant;
/// the equivalence volume(s) outside their range (`protons` of them, for a weak analyte given by
/// its constants).
std::optional<Refusal> checkTitration(std::optional<chem::TitrationType> type,
                                      const chem::TitrationInputs& inputs, bool refreshFailed,
                                      int protons = 1);

} // namespace report
