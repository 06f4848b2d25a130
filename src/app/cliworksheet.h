#pragma once
// --worksheet N --seed S --output sheet.pdf: N titration problems made from the seed, printed
// as a PDF with the answer key on pages of its own (output/worksheet.h lays them out). Its
// options, their reading and the run live here, so that the command line's main unit only
// hooks them in. A worksheet is all such a run does: no other option goes with it.

#include "output/worksheet.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

class QCommandLineParser;

namespace app::cli {

struct Options;

/// The most problems a worksheet takes.
inline constexpr int kMostWorksheetProblems = 30;

struct WorksheetOptions
{
    int problems = 0;
    std::uint32_t seed = 0; ///< the same seed, the same problems
    QByteArray outputPath;  ///< the PDF's name, as the file system's bytes
};

/// --worksheet and --output, which the help lists after the others (--seed is the meter's
/// option, which a worksheet shares).
QList<QCommandLineOption> worksheetOptions();

/// Reads --worksheet with its --seed and --output into `options.worksheet` (left empty without
/// --worksheet): the usage error when one is missing, misread or given twice, or another option
/// comes with them.
std::optional<QString> readWorksheet(const QCommandLineParser& parser, Options& options);

/// The worksheet's problems: `count` titrations drawn from the substance library and the four
/// types by `seed`, each asking for the pH after a volume and the equivalence volumes, with
/// the answers the report gives for the same inputs. Every standard library draws the same.
std::vector<output::WorksheetProblem> worksheetProblems(int count, std::uint32_t seed);

/// Writes the worksheet of options.worksheet: 0 when written; 1 when it could not be (the
/// reason on `err`). Needs a QGuiApplication, for the fonts.
int runWorksheet(const Options& options, std::ostream& err);

} // namespace app::cli
