#pragma once
// What the constant box of a weak type holds: the number it always took (Ka or Kb), or an
// analyte's stepwise constants written out ("pKa 2.15 7.20 12.35", "Kb 1.8E-5"), or the name of
// a substance for the library to look up. One reading for the window, the command line and the
// fuzz target.

#include "chem/polyprotic.h"
#include "report/model.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

struct ConstantText
{
    enum class Form {
        Number,    ///< begins with a number: the box's Ka or Kb, read as the box always read it
        Constants, ///< "pKa …", "pKb …", "Ka …" or "Kb …" with 1 to 6 values
        Name,      ///< anything else that begins with a letter: a substance's name or formula
    };
    Form form = Form::Number;
    /// For Constants: the pKa values in ascending (stepwise) order, of the acid or of the base's
    /// conjugate acid.
    std::vector<double> pKa;
    /// For Constants with one value: the Ka (acid) or Kb (base) it gives the one-proton routines,
    /// the typed number itself when typed as that constant.
    double constant = 0.0;
    /// For Name: the name as typed, trimmed.
    std::string name;
    /// Why the text is refused ("" when it is not): "pKa needs 1 to 6 values, not 7".
    std::string refusal;
};

/// Whether the constant box reads `text` as a number, its Ka or Kb, as every box reads one: unless
/// it begins (past blanks) with an ASCII letter, which makes it constants or a name. The command
/// line asks this too, so that both take the same texts for numbers.
bool readsAsNumber(std::string_view text);

/// Reads the constant box of a weak acid (`base` false) or weak base: 1 to chem::kMaxProtons
/// values, each giving a pKa within chem::kMinPKa..chem::kMaxPKa. Values are separated by
/// blanks or semicolons; a comma is a decimal point, as in every box; the prefix's case does not
/// matter. pKb and Kb values of a base become the pKa values of its conjugate acid (14 − pKb).
ConstantText readConstantText(std::string_view text, bool base);

/// The constant box of a weak type beyond a number: the analyte's constants, with the Ka or Kb
/// the one-proton routines take when it has one proton; or why the box is refused.
struct ResolvedConstant
{
    std::optional<AnalyteConstants> analyte; ///< none for a number or a refusal
    double constant = 0.0;                   ///< Ka (acid) or Kb (base) for one proton, else 0
    std::string refusal;                     ///< "" unless refused
};

/// readConstantText, with a name looked up in the substance library: an unknown name is refused
/// with the nearest names, a base's name for an acid (and the reverse) with what it is.
ResolvedConstant resolveConstantText(std::string_view text, bool base);

/// The Ka (acid) or Kb (base) of one pKa, for the one-proton routines.
double oneProtonConstant(double pKa, bool base);

} // namespace report
