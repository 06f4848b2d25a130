#pragma once
// The command line: the inputs as options, mapped onto the same box texts the window reads, so
// that the refusals and the numbers are the window's own; and the actions — the report, the
// CSV table or curve, the JSON object, the chart file, pH values, a meter's readings
// (climeter.h), a worksheet (cliworksheet.h) — run without a window. Every value is checked whole
// here: a slip in a script is a usage error, never another number. Qt's own options (-platform,
// -style, ...) are left to QApplication when the window opens.

#include "app/climeter.h"
#include "app/cliteach.h"
#include "app/cliworksheet.h"
#include "indicators/schematic.h"
#include "lab/readings.h"
#include "output/writers.h"
#include "session/session.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>
#include <vector>

namespace app::cli {

/// The actions asked for, beside what the user set up.
struct Options
{
    /// What the window's document holds for the same inputs: the type, the boxes' texts, the
    /// indicator, the fit's choice and the derivative. The window opened from the command line
    /// starts from it.
    session::Session setup;
    bool report = false, crlf = false, csv = false;
    bool json = false; ///< the run as one JSON object, alone on standard output
    double step = 0;   ///< --step in mL: the curve as CSV instead of the table; 0 for none
    /// A chart's file, as the file system's bytes, and its format: by the file's extension, PDF
    /// for a pipe or a device.
    struct ChartFile
    {
        QByteArray path;
        output::ChartFormat format = output::ChartFormat::Pdf;
    };
    std::vector<ChartFile> charts;     ///< --chart, each written
    std::vector<double> volumes;       ///< --ph, in mL
    std::optional<double> explain;     ///< --explain, in mL
    QByteArray dataPath;               ///< measured readings' file, as the file system's bytes
    lab::ReadOptions readOptions;      ///< --columns and --run
    std::string seriesSpec;            ///< --series: an input's name and its values, for the chart
    std::optional<MeterOptions> meter; ///< --meter with --listen or --record
    std::optional<WorksheetOptions> worksheet;
    std::optional<TeachOptions> teach; ///< --exercise or --quiz

    bool hasAction() const
    {
        return report || csv || json || !charts.empty() || !volumes.empty() || explain || worksheet;
    }
};

/// What the command line asks for.
struct Request
{
    std::optional<Options> options; ///< none for help, version, a list or a usage error
    QString text;                   ///< the help, version or list text, or the usage error
    bool usageError = false;
};

/// Reads the arguments (the program's name first), as argumentText gives them.
Request parse(const QStringList& arguments);

/// Runs the actions: 0 when done; 1 when the inputs are refused or a file or standard output
/// cannot be written, 2 when --step makes too many rows (one line on `err`). The chart needs a
/// QGuiApplication; the rest none.
int run(const Options& options, std::ostream& out, std::ostream& err);

/// Says why the outcome refuses the inputs, in one line on `err`, a missing input by its
/// option; false when it does not.
bool saidRefusal(const Options& options, const session::Outcome& outcome, std::ostream& err);

/// Writes `text` to `out` and flushes it: whether all of it got there; if not, one line on `err`
/// with the system's words ("acidora: standard output: No space left on device").
bool written(std::ostream& out, const std::string& text, std::ostream& err);

/// An argument as text, losslessly: UTF-8 as it is, anything else with each byte above ASCII
/// kept as a lone surrogate, so that a file name reaches the file system unchanged.
QString argumentText(const char* argument);
/// The file name's bytes that argumentText kept in a text.
QByteArray argumentBytes(const QString& text);

} // namespace app::cli
