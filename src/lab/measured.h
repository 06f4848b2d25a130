#pragma once
// What measured readings say about a titration, in the words of the report and the numbers of
// the JSON: the end points by each method, the fit, and the concentration each implies. The
// window, the command line and the tests share it.

#include "lab/endpoints.h"
#include "lab/fit.h"
#include "lab/readings.h"
#include "lab/setup.h"
#include "report/json.h"

#include <optional>
#include <string>
#include <vector>

namespace lab {

/// The readings with their end points and fit, or why either is missing.
struct Measured
{
    Readings readings;
    std::vector<EndPoint> endPoints;
    std::string endPointsFailure;          ///< why there are none, "" otherwise
    std::vector<std::string> granDeclined; ///< findEndPoints's `declined`
    std::optional<Fit> fit;
    std::string fitFailure; ///< why there is none, "" otherwise
    double scatter = 0.0;   ///< of the readings about a smooth curve, pH (readingsScatter)
    bool weak = false;      ///< whether the analyte has pKa values to fit
    double typedEnd = 0.0;  ///< mL: where the typed titration's curve ends
};

/// End points and fit for `readings` against `setup`'s titration; the pKa values are fitted too
/// when `fitPKa` and the analyte is weak.
Measured analyseReadings(const Readings& readings, const Setup& setup, bool fitPKa,
                         bool fitOffset = false);

/// A concentration with 4 significant digits, trailing zeros kept: "0.1000".
std::string concentrationText(double molPerLitre);

/// The report's "Measured data" section, one line a string: a blank line, then its heading.
std::vector<std::string> measuredSection(const Measured& measured);

/// The readings as CSV (CR LF line ends, as the table's): each with the fitted curve's pH and the
/// residual (empty without a fit), then after a blank line the end points, then the fit.
std::string measuredCsv(const Measured& measured);

/// What a reader of the numbers must know, one sentence each: why no end point was found, an
/// end point the second derivative does not confirm or beyond the typed titration's curve, why
/// the fit failed, a fit that misses the readings by over three times their scatter, a pKa the
/// readings do not determine.
std::vector<std::string> measuredWarnings(const Measured& measured);

/// Writes the JSON member "measured": {"points", "loggedReadings" (only for a log's medians),
/// "endPoints", "fit", "warnings"} into the object open in `json`, numbers in full precision; a
/// derivative's end point says whether the second derivative confirms it, Gran's which side its
/// line is on; "fit" is null when it failed (the reason among the warnings), its "pKa" and
/// "pKaSE" empty unless fitted.
void measuredJson(report::JsonWriter& json, const Measured& measured);

} // namespace lab
