#pragma once
// The calculation run as one JSON object, for scripts that read the numbers rather than the
// report's rounded text: the inputs, the analyte's constants, every equivalence point, the
// indicator's verdict and the table, each number in full precision.

#include "report/calculationrun.h"
#include "report/json.h"

#include <functional>
#include <string>

namespace report {

/// The run's inputs and `report` as a JSON object, ending with a line feed:
/// {"titration", "activity": "none" or "davies", "titrant": {"concentration"}, "analyte":
/// {"concentration", "volume", "name", "formula", "pKa"}, "equivalencePoints": [{"volume", "pH",
/// "volumeRange", "pHRange"}], "indicator": null or {"name", "pHRange", "verdict", "points"},
/// "table": [[volume, pH]]}. Concentrations in mol/L, volumes in mL; "pKa" ascending, of the
/// conjugate acid for a base, empty for a strong type; "pHRange" of a point is the pH at either end
/// of its "volumeRange"; the indicator's "verdict" is the best of its "points", one a point. `more`
/// writes further members into the open object ("measured"), put last.
std::string titrationJson(const CalculationInput& input, const Report& report,
                          const std::function<void(JsonWriter&)>& more = {});

} // namespace report
