#include "app/cliworksheet.h"

#include "app/cli.h"
#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/substances.h"
#include "report/table.h"
#include "report/typenames.h"
#include "session/session.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <array>
#include <charconv>
#include <cmath>
#include <random>

#include <sys/stat.h>

namespace app::cli {

namespace {

/// A whole number below `n`, the same from every standard library (their distributions are
/// not): the 32-bit draw scaled to n.
std::size_t below(std::mt19937& random, std::size_t n)
{
    return std::size_t((std::uint64_t(random()) * n) >> 32);
}

/// A volume or concentration as a teacher writes it: 12.5, 0.05.
std::string shortest(double x)
{
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, x).ptr};
}

/// "a", "a and b", "a, b and c".
std::string listed(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

constexpr const char* kStrongAcid = "hydrochloric acid, HCl";
constexpr const char* kStrongBase = "sodium hydroxide, NaOH";

/// The analyte: a library substance with its constants, or the strong acid or base.
std::string analyteLine(chem::TitrationType type, const report::Substance* s)
{
    if (!s)
        return chem::titrantIsBase(type) ? kStrongAcid : kStrongBase;
    std::vector<std::string> pKa;
    for (const double p : s->pKa)
        pKa.push_back(report::NumberText(p));
    return s->name + ", " + s->formula + " (pKa " + listed(pKa) +
           (s->base ? (s->pKa.size() > 1 ? " of its conjugate acids)" : " of its conjugate acid)")
                    : ")");
}

/// One titration drawn by `random`, as the window would take it; none when it is refused.
std::optional<output::WorksheetProblem> drawnProblem(std::mt19937& random)
{
    const chem::TitrationType type = report::kTitrationTypes[below(random, 4)];
    std::vector<const report::Substance*> kind;
    for (const report::Substance& s : report::substanceLibrary())
        if (s.base != chem::titrantIsBase(type))
            kind.push_back(&s);
    const report::Substance* s = chem::isWeak(type) ? kind[below(random, kind.size())] : nullptr;
    const double analyte = std::array{0.05, 0.1, 0.2}[below(random, 3)];
    const double volume = std::array{10.0, 20.0, 25.0}[below(random, 3)];
    const bool curve = below(random, 2) == 0;
    const double fraction = std::array{0.25, 0.5, 0.9, 1.1, 1.5}[below(random, 5)];

    session::Session setup;
    setup.type = type;
    setup.boxes = {"0.1", shortest(volume), shortest(analyte), s ? s->name : ""};
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    const session::Outcome outcome = session::compute(setup, catalogue);
    if (!outcome.report)
        return std::nullopt;
    const report::TitrationModel& model = *outcome.report->model;
    const double at = std::round(2 * fraction * model.equivalenceVolumes().front()) / 2;
    std::vector<std::string> volumes;
    for (const report::EquivalencePoint& p : outcome.report->points)
        volumes.push_back(report::FixedText(p.volume, 2) + " mL");
    const report::TypeNames& names = report::typeNames(type);
    output::WorksheetProblem p;
    p.title = std::string(names.analyte) + " with " + names.titrant;
    p.given = {shortest(volume) + " mL of " + shortest(analyte) + " mol/L " + analyteLine(type, s),
               std::string("titrant: 0.1 mol/L ") +
                   (chem::titrantIsBase(type) ? kStrongBase : kStrongAcid)};
    const std::string verb = curve ? "Read from the curve" : "Calculate";
    const std::string plural = volumes.size() > 1 ? "volumes" : "volume";
    p.questions = {verb + " the pH after " + shortest(at) + " mL of titrant.",
                   verb + " the equivalence " + plural + '.'};
    p.answers = {"pH " + report::FixedText(model.pH(at).value, 2), listed(volumes)};
    if (curve) {
        p.curve = session::chartModel(setup, outcome, catalogue);
    } else {
        p.lastVolume = report::curveEnd(model);
        p.questions.push_back("Sketch the curve on the grid.");
        p.answers.push_back("from pH " + report::FixedText(model.analyteAlonePH().value, 2) +
                            " at the start, through pH " +
                            report::FixedText(outcome.report->points.front().pH, 2) + " at " +
                            volumes.front());
    }
    return p;
}

} // namespace

std::vector<output::WorksheetProblem> worksheetProblems(int count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<output::WorksheetProblem> problems;
    while (int(problems.size()) < count) {
        // A drawing the window would refuse (an equivalence volume beyond its range) is drawn
        // again: the seed still decides.
        std::optional<output::WorksheetProblem> p = drawnProblem(random);
        if (!p)
            continue;
        p->title = "Problem " + std::to_string(problems.size() + 1) + ": " + p->title;
        problems.push_back(std::move(*p));
    }
    return problems;
}

QList<QCommandLineOption> worksheetOptions()
{
    return {{QStringLiteral("worksheet"),
             QStringLiteral("Writes a worksheet of this many titration problems (1 to 30) to "
                            "--output, with --seed: mixed types and substances, each with a curve "
                            "to read from or an empty grid to sketch on, then the answer key on "
                            "pages of its own. The same seed, the same problems."),
             QStringLiteral("N")},
            {QStringLiteral("output"), QStringLiteral("With --worksheet: the PDF file."),
             QStringLiteral("file")}};
}

std::optional<QString> readWorksheet(const QCommandLineParser& p, Options& o)
{
    const QStringList mine = {"worksheet", "seed", "output"};
    if (!p.isSet(mine[0]))
        return p.isSet(mine[2]) ? std::optional(QStringLiteral("--output needs --worksheet"))
                                : std::nullopt;
    for (const QString& name : p.optionNames())
        if (!mine.contains(name))
            return "--worksheet and --" + name + " together";
    for (const QString& name : mine) {
        if (p.values(name).size() > 1)
            return "--" + name + " given twice";
        if (!p.isSet(name))
            return "--worksheet needs --" + name;
    }
    WorksheetOptions w;
    bool whole = false;
    const QString count = p.value(mine[0]), seed = p.value(mine[1]), file = p.value(mine[2]);
    w.problems = count.toInt(&whole);
    if (!whole || count.front() == '+' || w.problems < 1 || w.problems > kMostWorksheetProblems)
        return "--worksheet: '" + count + "' is not a number of problems from 1 to 30";
    if (!seedOf(seed))
        return "--seed: '" + seed + "' is not a whole number from 0 to 4294967295";
    w.seed = *seedOf(seed);
    w.outputPath = argumentBytes(file);
    // A pipe or a device (/dev/stdout) takes the PDF too.
    struct stat target
    {};
    if (QFileInfo(file).suffix().toLower() != QLatin1String("pdf") &&
        (::stat(w.outputPath.constData(), &target) != 0 ||
         !(S_ISFIFO(target.st_mode) || S_ISCHR(target.st_mode))))
        return "--output needs a .pdf file: '" + file + "'";
    o.worksheet = std::move(w);
    return std::nullopt;
}

int runWorksheet(const Options& o, std::ostream& err)
{
    const WorksheetOptions& w = *o.worksheet;
    const QByteArray pdf =
        output::worksheetPdf(worksheetProblems(w.problems, w.seed), "Titration worksheet");
    const std::optional<QString> failure =
        pdf.isEmpty() ? std::optional(QStringLiteral("the worksheet could not be drawn"))
                      : output::saveNativeFile(w.outputPath, pdf);
    if (!failure)
        return 0;
    err << "acidora: "
        << report::oneLine(w.outputPath.toStdString() + ": " + failure->toStdString()) << '\n';
    return 1;
}

} // namespace app::cli
