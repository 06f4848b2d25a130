#pragma once

#include "output/tableprintout.h"

#include <array>
#include <string>

class QPrinter;

namespace app {

/// Prints the results page as one job on `printer`: portrait, Arial and Courier New at
/// 11 points, black. False when the job could not be started.
bool printTable(QPrinter& printer, const std::array<output::ReportLine, 16>& report,
                const std::string& table);

} // namespace app
