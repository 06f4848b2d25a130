#pragma once
// Table output: the results page as printed text lines and as clipboard text. Both read only
// what the page shows — the report lines with their weight and place, and the table text.

#include "report/calculationrun.h"

#include <span>
#include <string>
#include <vector>

namespace output {

/// A report line as the results page shows it.
struct ReportLine
{
    std::string caption;
    bool bold = false;
    int topTwips = 0; ///< its top on the page, in twips (15 to a pixel)
};

/// One line of the printout, its top-left corner in millimetres from the top-left of the
/// printable area of `page` (0 first).
struct PrintedLine
{
    int page = 0;
    double xMm = 0;
    double yMm = 0;
    bool bold = false;
    bool monospace = false; ///< Courier New; otherwise Arial
    std::string text;
};

inline constexpr const char* kTableHeading = "Table of values (added Vol. [mL] and pH)";

/// The left column of the results page for a report too long for its fixed places (several
/// equivalence points): every line but the last (the table's heading, which stands over the
/// table), one under another from the first fixed place, 21 px apart and 12 px more before a
/// heading.
std::vector<ReportLine> flowingReportLines(const report::Report& report);

/// The printed results page: the report lines where the page has them (1/66 mm a twip,
/// 5 mm down), the table heading at 105 mm, or lower when the report reaches further, and
/// the table 7 mm under it, 4 mm a line. A line whose `lineHeightMm` would reach below
/// `printableHeightMm` starts a new page at 5 mm, so a long report or table on a short page
/// loses no line.
std::vector<PrintedLine> tablePrintout(std::span<const ReportLine> report, const std::string& table,
                                       double printableHeightMm, double lineHeightMm);

/// The clipboard text: the report captions, each with CR LF, then the table unchanged.
std::string clipboardText(const std::vector<std::string>& captions, const std::string& table);

/// The results as text, as they are copied, saved and printed by the command line's --report:
/// the clipboard text, then the readings' section (`measured`), each line with CR LF.
std::string resultsText(const std::vector<std::string>& captions, const std::string& table,
                        const std::vector<std::string>& measured);

} // namespace output
