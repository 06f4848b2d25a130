#pragma once
// The table of values and the curve as text: the volumes the table lists, its rows in fixed
// columns as the results page and the clipboard show them, and the curve as CSV by a given step.

#include "report/model.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace report {

/// The most rows curveCsv writes.
inline constexpr double kMaxCurveRows = 100000;

/// The volume the table, the chart and the CSV run to: twice the equivalence volume, (n + 1)
/// times the first of n points.
double curveEnd(const TitrationModel& model);

/// The table's volumes, ascending and each once: coarse steps from 0 to curveEnd, fine ones
/// around each equivalence volume.
std::vector<double> tableVolumes(const TitrationModel& model);

/// One table row: blank, the 7-character volume field, blank, the 7-character pH field, CR LF.
std::string tableRow(double volume, double pH);

/// The table of values: its heading, then a tableRow for each volume and pH.
std::string tableText(const std::vector<std::pair<double, double>>& rows);

/// The curve every `step` mL from 0 to curveEnd, for re-plotting, as CSV beside the table's:
/// the header "Volume (mL),pH", the volume as short as it reads back, the pH with 3 decimals,
/// CR LF ends. None when the step is not above 0 or makes more than kMaxCurveRows rows.
std::optional<std::string> curveCsv(const TitrationModel& model, double step);

} // namespace report
