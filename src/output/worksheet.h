#pragma once
// Worksheets: titration problems printed for a class, each with what is given, its questions
// with room to write, and a curve to read from or an empty grid to sketch one on; then the
// answer key on pages of its own. The problems come as plain descriptions, whoever makes them;
// the pages are laid out here, and the curve and the grid are drawn by the chart's own routines.

#include "chart/titrationchart.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

class QPagedPaintDevice;

namespace output {

/// One problem of a worksheet.
struct WorksheetProblem
{
    std::string title;              ///< "Problem 3: weak acid with strong base"
    std::vector<std::string> given; ///< a line each: "titrant: 0.1 mol/L NaOH"
    std::vector<std::string> questions;
    /// The curve to read from, drawn without its equivalence points' marks; none for an empty
    /// pH-against-volume grid to sketch on.
    std::optional<chart::ChartModel> curve;
    double lastVolume = 50;           ///< the end of the empty grid's volume axis, mL
    std::vector<std::string> answers; ///< the key, one for each question
};

/// The worksheet on `device`, portrait on its paper, at least 12 mm from every edge: the
/// problems, two to a page where they fit, each page headed by `title` with a line for the
/// student's name; then the answer key, each problem's answers under its title; "Page k of n"
/// at the foot of every page. A problem too long for one page goes on over the next. False
/// when the pages could not be drawn.
bool drawWorksheet(QPagedPaintDevice& device, std::span<const WorksheetProblem> problems,
                   const std::string& title);

} // namespace output
