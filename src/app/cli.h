#pragma once
// The command line: the inputs as options, mapped onto the same box texts the window reads, so
// that the refusals and the numbers are the window's own; and the actions — the report, the
// CSV table, the chart file, pH values — run without a window.

#include "indicators/schematic.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>
#include <vector>

namespace app::cli {

struct Options
{
    std::optional<chem::TitrationType> type;
    indicators::BoxTexts boxes;
    int indicator = 0; ///< chooser position, 0 for none
    bool report = false, crlf = false, csv = false;
    QString chart;                    ///< file to save the chart to, "" for none
    std::vector<std::string> volumes; ///< --ph, as typed

    bool hasAction() const { return report || csv || !chart.isEmpty() || !volumes.empty(); }
};

/// What the command line asks for.
struct Request
{
    std::optional<Options> options; ///< none for help, version or a usage error
    QString text;                   ///< the help or version text, or the usage error
    bool usageError = false;
};

/// Reads the arguments (the program's name first).
Request parse(const QStringList& arguments);

/// Runs the actions: 0 when done, 1 when the inputs are refused (one line on `err`, nothing on
/// `out`). The chart needs a QGuiApplication; the rest needs none.
int run(const Options& options, std::ostream& out, std::ostream& err);

} // namespace app::cli
