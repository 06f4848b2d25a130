#pragma once
// The lists the command line prints: the indicator catalogue and the substance library, in full
// or as names for the shell's completion.

#include "indicators/catalogue.h"

#include <QString>

namespace app::cli {

/// The catalogue, one indicator a line: number, name, pH range and colours; or its names alone.
QString listIndicators(const indicators::IndicatorCatalogue& catalogue, bool namesOnly);

/// The substance library, one a line: name, formula, acid or base, pKa values, source; or for
/// the completion, "acid" or "base", a tab and the name.
QString listSubstances(bool namesOnly);

} // namespace app::cli
