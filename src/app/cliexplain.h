#pragma once
// --explain: why the pH after a volume of titrant is what it is (report/explain.h), as a few
// lines of text or, with --json, as one JSON object. Its reading and its printing live here, so
// that the command line's main unit only hooks them in.

#include "report/model.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

namespace app::cli {

struct Options;

inline constexpr const char* kExplainHelp =
    "Explains the pH after this many mL of titrant as a textbook does: the region of the curve, "
    "the approximation used there with the numbers put in, the approximate and the exact pH and, "
    "when they differ by more than 0.05, why. With --json as one JSON object instead of the "
    "titration's. Not with --report, --csv, --ph, --chart, --data or --activity davies.";

/// Reads --explain, each value as typed, once the other options are in `o`: the volume, or the
/// usage error (not a number, below 0, given twice, with an option it does not go with).
std::optional<QString> readExplain(const QStringList& typed, Options& o);

/// Prints the explanation of `model` at o.explain's volume: 0 when done; 1 when that volume
/// cannot be explained (beyond the curve: the reason on `err`) or `out` cannot be written.
int runExplain(const Options& o, const report::TitrationModel& model, std::ostream& out,
               std::ostream& err);

} // namespace app::cli
