#include "app/cli.h"

#include "app/appinfo.h"
#include "app/cliexplain.h"
#include "app/clilists.h"
#include "app/readingsfile.h"
#include "lab/measured.h"
#include "output/writers.h"
#include "report/calculationrun.h"
#include "report/captions.h"
#include "report/constanttext.h"
#include "report/jsonreport.h"
#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/substances.h"
#include "report/table.h"
#include "report/typenames.h"
#include "session/document.h"
#include "session/session.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <variant>

#include <sys/stat.h>

namespace app::cli {

namespace {

/// Qt's own options, which QApplication takes when the window opens: first those with a value
/// ("-style fusion" or "-style=fusion"), then the flags.
const char* const kQtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "name",          "title"};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

bool isOneOf(const QString& name, const auto& names)
{
    return std::find(std::begin(names), std::end(names), name.toStdString()) != std::end(names);
}

/// The arguments without Qt's own options, and without a value that follows one of ours.
QStringList withoutQtOptions(const QStringList& arguments, const QList<QCommandLineOption>& ours)
{
    QStringList valued;
    for (const QCommandLineOption& option : ours)
        if (!option.valueName().isEmpty())
            for (const QString& name : option.names())
                valued << "--" + name;
    QStringList kept{arguments.value(0)};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--") {
            kept += arguments.mid(i);
            break;
        }
        if (valued.contains(a)) {
            kept << a;
            if (i + 1 < arguments.size())
                kept << arguments[++i];
            continue;
        }
        const QString name =
            a.startsWith('-') && !a.startsWith("--") ? a.mid(1).section('=', 0, 0) : QString();
        if (isOneOf(name, kQtValueOptions))
            i += a.contains('=') ? 0 : 1;
        else if (!isOneOf(name, kQtFlags))
            kept << a;
    }
    return kept;
}

/// The text the constant box takes from --ka or --kb, or none: a number in full where the box
/// reads a number, else constants or a name, which the refresh reads and refuses as the box's own.
std::optional<std::string> constantBoxText(const QString& typed)
{
    const std::string text = typed.toStdString();
    if (report::readsAsNumber(text) && !report::ReadWholeNumber(text))
        return std::nullopt;
    return text;
}

/// The refusal as the command line says it: a missing input by its option.
std::string refusalText(const Options& o, const indicators::Refusal& refusal)
{
    if (refusal.kind != indicators::Refusal::Kind::Missing)
        return refusal.text;
    if (refusal.input == report::Input::None)
        return "--titration is missing";
    const report::InputDescription& d = report::describe(refusal.input);
    const std::string option = std::string("--") + d.optionFor(o.setup.type);
    if (!d.weakOnly)
        return option + " is missing";
    return (o.setup.type == chem::TitrationType::WeakBaseStrongAcid ? "a weak base needs "
                                                                    : "a weak acid needs ") +
           option;
}

/// A number as --ph prints it: every digit a double needs, whatever the locale.
std::string fullPrecision(double x)
{
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, x, std::chars_format::general, 17).ptr};
}

/// The options as typed, before they are checked: what each option sets.
struct Typed
{
    bool help = false, version = false, listIndicators = false, listSubstances = false;
    bool indicatorNames = false, substanceNames = false; ///< for the shell's completion
    std::optional<QString> titration, titrant, analyte, volume, ka, kb, indicator, activity;
    bool report = false, crlf = false, csv = false, json = false;
    std::optional<QString> step, data, columns, run, fit, series, volumeUncertainty;
    QStringList ph, chart, explain;
    bool derivative = false;
};

/// One option: its names, its value's name (none for a flag), its help, and what it sets.
struct OptionRow
{
    const char* names; ///< separated by commas, the long one last
    const char* valueName;
    const char* help;
    std::variant<bool Typed::*, std::optional<QString> Typed::*, QStringList Typed::*> sets;
    bool hidden = false;
};

constexpr const char* kDescription =
    "Acid-base titration curves: the report, the table of values and the chart of a titration, "
    "on the command line or in the window.\nWithout an action the window opens with the inputs "
    "given; Qt's own options (-platform, -style, -display, -geometry, -reverse) then apply to it.";

/// Every option, in the order the help lists them.
const OptionRow kOptions[] = {
    {"h,help", nullptr, "Shows this help.", &Typed::help},
    {"v,version", nullptr, "Shows the version.", &Typed::version},
    {"list-indicators", nullptr, "Lists the indicators: number, name, pH range and colours.",
     &Typed::listIndicators},
    {"list-substances", nullptr,
     "Lists the acids and bases known by name: formula, acid or base, pKa values (of the "
     "conjugate acid for a base) and their source.",
     &Typed::listSubstances},
    {"titration", "type",
     "The analyte: strong-acid, weak-acid, strong-base or weak-base; the titrant is the strong "
     "base or acid that neutralises it.",
     &Typed::titration},
    {"titrant", "mol/L", "Titrant concentration, mol/L.", &Typed::titrant},
    {"analyte", "mol/L", "Analyte concentration, mol/L.", &Typed::analyte},
    {"analyte-volume", "mL", "Analyte volume, mL.", &Typed::volume},
    {"ka", "K",
     "Acidity constant of a weak acid: Ka as a number, the stepwise constants (\"pKa 2.15 7.20 "
     "12.35\", \"Ka 7.1E-3 6.3E-8\") or a name from --list-substances (\"phosphoric acid\").",
     &Typed::ka},
    {"kb", "K",
     "Basicity constant of a weak base: Kb as a number, the stepwise constants (\"pKb 3.67 "
     "7.65\", \"Kb 2.1E-4 2.2E-8\", or the pKa or Ka of its conjugate acid) or a name from "
     "--list-substances (\"sodium carbonate\").",
     &Typed::kb},
    {"indicator", "name",
     "Indicator: its name (case does not matter; a fluorescent one also without its \"(F) \") "
     "or its number, 1 to 27.",
     &Typed::indicator},
    {"activity", "model",
     "The pH with activities: 'none' (the default: concentrations stand for activities) or "
     "'davies' (activity coefficients by the Davies equation at 25 degrees Celsius from the ionic "
     "strength at each point; the constants are thermodynamic and the pH is the meter's, -log "
     "a(H+)).",
     &Typed::activity},
    {"report", nullptr, "Prints the report and the table of values.", &Typed::report},
    {"crlf", nullptr, "Ends the report's lines with CR LF, as the clipboard does.", &Typed::crlf},
    {"csv", nullptr,
     "Prints the table of values as CSV; with --data the readings with the fitted pH and the "
     "residual, then the end points and the fit.",
     &Typed::csv},
    {"json", nullptr,
     "Prints the titration as one JSON object: the inputs, the pKa values, each equivalence "
     "point, the indicator's verdict and the table, in full precision. Not with --report, --csv "
     "or --ph.",
     &Typed::json},
    {"step", "mL",
     "With --csv: the curve every this many mL from 0 to twice the equivalence volume instead, "
     "the pH with 3 decimals.",
     &Typed::step},
    {"chart", "file",
     "Saves the chart: PDF, SVG or PNG by the file's extension; PDF to a pipe or a device such "
     "as /dev/stdout (repeatable: each file is written).",
     &Typed::chart},
    {"ph", "mL", "Prints the pH after this many mL of titrant (repeatable).", &Typed::ph},
    {"explain", "mL", kExplainHelp, &Typed::explain},
    {"data", "file",
     "Measured readings (a line a reading; comma, semicolon, tab or blanks between; a volume in mL "
     "and a pH, or the columns of a meter's or a data logger's export): their end points and the "
     "fitted concentration follow the report, join the JSON object or the CSV and are drawn on "
     "the chart. Where the volume is typed only when it changes, each volume's reading is the "
     "median of its last ten logged ones.",
     &Typed::data},
    {"columns", "V,P",
     "With --data: the volume's and the pH's columns, each by its number (from 1) or a part of "
     "its header (\"3,2\", \"Volume,pH\"). Without it, the headers say (volume, mL, cm3, "
     "titrant, added, ...; pH), else the first two columns of numbers.",
     &Typed::columns},
    {"run", "N",
     "With --data: the run whose headers say \"Run N\" in a data logger's export; the first "
     "run without it.",
     &Typed::run},
    {"fit", "what",
     "With --data: what the fit varies besides the concentration, a comma list: 'pka' (the pKa "
     "values), 'offset' (an electrode's calibration offset, pH); 'concentration' alone is the "
     "default.",
     &Typed::fit},
    {"volume-uncertainty", "mL",
     "With --data: the standard uncertainty of each burette reading (0.02 mL unless given), "
     "which widens every end point's interval and the fitted concentration's error.",
     &Typed::volumeUncertainty},
    {"series", "input values",
     "With --chart: a family of curves over one input, named as its option without the dashes "
     "(titrant, analyte, analyte-volume, ka, kb), then up to 20 values, between them blanks or "
     "semicolons: \"ka 1E-3 1E-5 1E-7\". The first value's curve is labelled; the others are "
     "drawn beside it with a legend.",
     &Typed::series},
    {"derivative", nullptr,
     "With --chart: dpH/dV of the curve (and of the readings) on a second axis on the right.",
     &Typed::derivative},
    {"help-indicators", nullptr, "Lists the indicators' names, one a line.", &Typed::indicatorNames,
     true},
    {"help-substances", nullptr, "Lists the substances' kinds and names, one a line.",
     &Typed::substanceNames, true},
};

QCommandLineOption commandLineOption(const OptionRow& row)
{
    QCommandLineOption option(QString::fromLatin1(row.names).split(','),
                              QString::fromLatin1(row.help), QString::fromLatin1(row.valueName));
    if (row.hidden)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

/// The option's long name, as usage errors name it: "analyte-volume".
template <class Field> QString nameOf(Field Typed::*field)
{
    for (const OptionRow& row : kOptions)
        if (const auto* sets = std::get_if<Field Typed::*>(&row.sets); sets && *sets == field)
            return QString::fromLatin1(row.names).section(',', -1);
    return {};
}

Typed typedOptions(const QCommandLineParser& parser, const QList<QCommandLineOption>& options)
{
    Typed t;
    for (qsizetype i = 0; i < options.size(); ++i) {
        const QCommandLineOption& option = options[i];
        const auto& sets = kOptions[i].sets;
        if (const auto* flag = std::get_if<bool Typed::*>(&sets))
            t.*(*flag) = parser.isSet(option);
        else if (const auto* text = std::get_if<std::optional<QString> Typed::*>(&sets))
            t.*(*text) = parser.isSet(option) ? std::optional(parser.value(option)) : std::nullopt;
        else
            t.*std::get<QStringList Typed::*>(sets) = parser.values(option);
    }
    return t;
}

/// A volume typed in full; none for what is not a number or overflows (1e999 reads as the
/// largest double).
std::optional<double> wholeNumber(const QString& typed)
{
    const std::optional<double> x = report::ReadWholeNumber(typed.toStdString());
    return x && std::fabs(*x) < std::numeric_limits<double>::max() ? x : std::nullopt;
}

QString notANumber(const QString& option, const QString& typed)
{
    return "--" + option + ": '" + typed + "' is not a number";
}

/// --ka or --kb: whether it fits the titration, and the text the constant box takes from it.
std::optional<QString> readConstant(const Typed& t, Options& o)
{
    if (!t.ka && !t.kb)
        return std::nullopt;
    const bool ka = t.ka.has_value();
    const QString name = nameOf(ka ? &Typed::ka : &Typed::kb);
    if (t.ka && t.kb)
        return QStringLiteral("--ka and --kb together");
    // Without --titration the window opens with the constant typed, for either type.
    if (o.setup.type && !chem::isWeak(*o.setup.type))
        return "--" + name + " does not apply to " + *t.titration;
    if (o.setup.type && (*o.setup.type == chem::TitrationType::WeakBaseStrongAcid) == ka)
        return "--" + name + " does not apply to " + *t.titration + "; use " +
               (ka ? "--kb" : "--ka");
    const QString& typed = ka ? *t.ka : *t.kb;
    const std::optional<std::string> constant = constantBoxText(typed);
    // A name in another script is read as a number, as the box reads it, and is not one.
    if (!constant && !typed.isEmpty() && typed.front().isLetter())
        return "--" + name + ": '" + typed +
               "' is neither a number nor a name from --list-substances";
    if (!constant)
        return notANumber(name, typed);
    o.setup.boxes.TxKaKb = *constant;
    return std::nullopt;
}

/// The inputs: the titration, the boxes' texts and the indicator.
std::optional<QString> readInputs(const Typed& t, Options& o)
{
    if (t.titration) {
        const std::string wanted = t.titration->toStdString();
        const auto* type = std::find_if(
            report::kTitrationTypes.begin(), report::kTitrationTypes.end(),
            [&](chem::TitrationType k) { return wanted == report::typeNames(k).commandName; });
        if (type == report::kTitrationTypes.end())
            return "unknown titration '" + *t.titration +
                   "' (strong-acid, weak-acid, strong-base, weak-base)";
        o.setup.type = *type;
    }
    for (const auto& [field, box] : {std::pair{&Typed::titrant, &o.setup.boxes.TxCBur},
                                     std::pair{&Typed::volume, &o.setup.boxes.TxVErl},
                                     std::pair{&Typed::analyte, &o.setup.boxes.TxCErl}}) {
        const std::optional<QString>& typed = t.*field;
        if (!typed)
            continue;
        *box = typed->toStdString();
        if (!report::ReadWholeNumber(*box))
            return notANumber(nameOf(field), *typed);
    }
    if (const std::optional<QString> error = readConstant(t, o))
        return error;
    if (t.indicator) {
        o.setup.indicatorPosition =
            indicators::findIndicator(indicators::filledCatalogue(), t.indicator->toStdString());
        if (!o.setup.indicatorPosition)
            return "unknown indicator '" + *t.indicator + "' (see --list-indicators)";
    }
    if (t.activity) {
        const QString model = t.activity->toLower();
        if (model != QLatin1String("none") && model != QLatin1String("davies"))
            return "--activity: '" + *t.activity + "' is neither 'none' nor 'davies'";
        o.setup.activity = model == QLatin1String("davies") ? chem::ActivityModel::Davies
                                                            : chem::ActivityModel::None;
    }
    return std::nullopt;
}

/// The charts' files and their formats.
std::optional<QString> readCharts(const Typed& t, Options& o)
{
    for (const QString& typed : t.chart) {
        Options::ChartFile file{argumentBytes(typed)};
        if (file.path.isEmpty())
            return QStringLiteral("--chart needs a file name");
        if (const auto format = output::chartFormatOf(QFileInfo(typed).suffix())) {
            file.format = *format;
        } else {
            // A pipe or a device (/dev/stdout) has no extension to tell the format: PDF, the
            // page.
            struct stat target
            {};
            if (::stat(file.path.constData(), &target) != 0 ||
                !(S_ISFIFO(target.st_mode) || S_ISCHR(target.st_mode)))
                return "--chart needs a .pdf, .svg or .png file: '" + typed + "'";
        }
        o.charts.push_back(file);
    }
    return std::nullopt;
}

/// What is printed, and the charts' files.
std::optional<QString> readOutputs(const Typed& t, Options& o)
{
    o.report = t.report;
    o.crlf = t.crlf;
    o.csv = t.csv;
    if (o.crlf && !o.report)
        return QStringLiteral("--crlf needs --report");
    // The JSON object is all a script reads from standard output; the chart goes to its file.
    o.json = t.json;
    for (const auto& [name, given] :
         {std::pair{nameOf(&Typed::report), t.report}, std::pair{nameOf(&Typed::csv), t.csv},
          std::pair{nameOf(&Typed::ph), !t.ph.isEmpty()}})
        if (o.json && given)
            return "--json and --" + name + " together";
    if (t.step) {
        const std::optional<double> mL = wholeNumber(*t.step);
        if (!o.csv)
            return QStringLiteral("--step needs --csv");
        if (!mL)
            return notANumber(QStringLiteral("step"), *t.step);
        if (!(*mL > 0))
            return "--step: '" + *t.step + "' is not a step above 0 mL";
        o.step = *mL;
    }
    return readCharts(t, o);
}

/// Which columns and which run of the readings' file.
std::optional<QString> readColumns(const Typed& t, Options& o)
{
    for (const auto& [name, given] : {std::pair{nameOf(&Typed::columns), t.columns.has_value()},
                                      std::pair{nameOf(&Typed::run), t.run.has_value()}})
        if (given && o.dataPath.isEmpty())
            return "--" + name + " needs --data";
    if (t.columns) {
        const auto picks = lab::parseColumns(t.columns->toStdString());
        if (!picks)
            return "--columns: '" + *t.columns +
                   "' is not two columns, each a number from 1 or a header's text: \"3,2\"";
        o.readOptions.volume = (*picks)[0];
        o.readOptions.pH = (*picks)[1];
    }
    if (t.run) {
        bool ok = false;
        const int run = t.run->trimmed().toInt(&ok);
        if (!ok || run < 1)
            return "--run: '" + *t.run + "' is not a run's number, from 1";
        o.readOptions.run = run;
    }
    return std::nullopt;
}

/// The readings, what the chart draws besides the curve, and the volumes for --ph.
std::optional<QString> readDrawing(const Typed& t, Options& o)
{
    if (t.data) {
        o.dataPath = argumentBytes(*t.data);
        if (o.dataPath.isEmpty())
            return QStringLiteral("--data needs a file name");
    }
    if (const std::optional<QString> misfit = readColumns(t, o))
        return misfit;
    o.seriesSpec = t.series.value_or(QString()).toStdString();
    if (t.series)
        if (const auto read = session::readFamilySpec(o.seriesSpec); !read)
            return "--series: " + QString::fromStdString(read.failure);
    o.setup.showDerivative = t.derivative;
    for (const auto& [name, given] : {std::pair{nameOf(&Typed::series), t.series.has_value()},
                                      std::pair{nameOf(&Typed::derivative), t.derivative}})
        if (given && t.chart.isEmpty())
            return "--" + name + " needs --chart";
    // Readings to analyse: a file's, or those a meter's recording keeps.
    const bool readings = !o.dataPath.isEmpty() || (o.meter && !o.meter->recordPath.isEmpty());
    if (t.fit) {
        if (!readings)
            return QStringLiteral("--fit needs --data");
        // The concentration is always fitted; the list says what else.
        for (const QString& what : t.fit->toLower().split(',')) {
            if (what == QLatin1String("pka"))
                o.setup.fitPKa = true;
            else if (what == QLatin1String("offset"))
                o.setup.fitOffset = true;
            else if (what != QLatin1String("concentration"))
                return "--fit: '" + what + "' is none of 'concentration', 'pka' and 'offset'";
        }
        if (o.setup.fitPKa && o.setup.type && !chem::isWeak(*o.setup.type))
            return "--fit pka does not apply to " + *t.titration + ", which has no pKa";
    }
    if (t.volumeUncertainty) {
        const std::optional<double> mL = wholeNumber(*t.volumeUncertainty);
        if (!readings)
            return QStringLiteral("--volume-uncertainty needs --data");
        if (!mL || !(*mL >= 0 && *mL <= 1))
            return "--volume-uncertainty: '" + *t.volumeUncertainty + "' is not from 0 to 1 mL";
        o.setup.volumeUncertainty = *mL;
    }
    for (const QString& typed : t.ph) {
        const std::optional<double> mL = wholeNumber(typed);
        if (!mL)
            return notANumber(QStringLiteral("ph"), typed);
        if (*mL < 0)
            return "--ph: '" + typed + "' is below 0 mL";
        o.volumes.push_back(*mL);
    }
    // Without an action the window opens with the readings.
    if (!o.dataPath.isEmpty() && o.step > 0)
        return QStringLiteral("--step and --data together");
    if (!o.dataPath.isEmpty() && o.hasAction() && !o.report && !o.json && !o.csv &&
        o.charts.empty())
        return QStringLiteral("--data needs --report, --json, --csv or --chart");
    return std::nullopt;
}

/// The session the options describe, with the readings and the family; none when either
/// cannot be had, the reason written to `err`. Readings that cannot be read end the run before
/// anything is printed.
std::optional<session::Session>
sessionFor(const Options& o, const indicators::IndicatorCatalogue& catalogue, std::ostream& err)
{
    std::optional<lab::Readings> readings;
    if (!o.dataPath.isEmpty()) {
        chem::Result<lab::Readings> read =
            readReadingsFile(QFile::decodeName(o.dataPath), o.readOptions).readings;
        if (!read) {
            err << "acidora: " << report::oneLine(o.dataPath.toStdString() + ": " + read.failure)
                << '\n';
            return std::nullopt;
        }
        readings = std::move(read.value);
    }
    session::Session session = o.setup;
    session.readings = std::move(readings);
    session.readingsName = QFileInfo(QFile::decodeName(o.dataPath)).fileName().toStdString();
    if (!o.seriesSpec.empty()) {
        chem::Result<session::Session> family = session::family(session, o.seriesSpec, catalogue);
        if (!family) {
            err << "acidora: " << report::oneLine("--series: " + family.failure) << '\n';
            return std::nullopt;
        }
        session = std::move(*family.value);
    }
    return session;
}

/// What goes to standard output for an accepted run: the report, the JSON, the CSV, the pH
/// values; none when --step makes too many rows, the reason written to `err`.
std::optional<std::string> printedText(const Options& o, const session::Outcome& outcome,
                                       std::ostream& err)
{
    const report::Report& r = *outcome.report;
    const std::optional<lab::Measured>& measured = outcome.measured;
    const std::optional<report::TitrationModel>& model = r.model;
    std::string text;
    if (o.report) {
        text = output::resultsText(r.lines, r.table,
                                   measured ? lab::measuredSection(*measured)
                                            : std::vector<std::string>());
        if (!o.crlf)
            for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
                text.erase(at, 1);
    }
    if (o.json)
        text = report::titrationJson(outcome.input, r, [&](report::JsonWriter& json) {
            if (measured)
                lab::measuredJson(json, *measured);
        });
    if (o.csv && o.step > 0) {
        const std::optional<std::string> curve = report::curveCsv(*model, o.step);
        if (!curve) {
            err << "acidora: --step: a step of " << report::NumberText(o.step)
                << " mL makes more than " << report::NumberText(report::kMaxCurveRows) << " rows\n";
            return std::nullopt;
        }
        text += *curve;
    } else if (o.csv) {
        text += measured ? lab::measuredCsv(*measured) : output::resultsCsv(r.table);
    }
    for (const double v : o.volumes)
        text += fullPrecision(model->pH(v).value) + '\n';
    return text;
}

} // namespace

QString argumentText(const char* argument)
{
    const QByteArray bytes(argument);
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes)
        return text;
    text.clear();
    for (const char c : bytes)
        text += uchar(c) < 0x80 ? QChar(c) : QChar(0xDC00 + uchar(c));
    return text;
}

QByteArray argumentBytes(const QString& text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            bytes += char(c.unicode() - 0xDC00);
        else if (c.unicode() < 0x80)
            bytes += char(c.unicode());
        else
            return text.toUtf8();
    }
    return bytes;
}

Request parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    QList<QCommandLineOption> options;
    for (const OptionRow& row : kOptions)
        options << commandLineOption(row);
    parser.addOptions(options);
    parser.addOptions(meterOptions());
    parser.addOptions(worksheetOptions());
    parser.addOptions(teachOptions());
    const auto usageError = [](const QString& text) { return Request{{}, text, true}; };
    if (!parser.parse(withoutQtOptions(arguments, options + meterOptions() + worksheetOptions() +
                                                      teachOptions())))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError("unexpected argument '" + parser.positionalArguments().first() + "'");
    const Typed t = typedOptions(parser, options);
    if (t.help)
        return {{}, parser.helpText().replace("<executable_name>", "acidora"), false};
    if (t.listIndicators || t.indicatorNames)
        return {{}, listIndicators(indicators::filledCatalogue(), t.indicatorNames), false};
    if (t.listSubstances || t.substanceNames)
        return {{}, listSubstances(t.substanceNames), false};
    if (t.version)
        return {{}, QStringLiteral("Acidora %1.%2\n").arg(kVersionMajor).arg(kVersionMinor), false};

    // In this order, so that of two slips the same one is named first.
    Options o;
    if (const std::optional<QString> error = readWorksheet(parser, o))
        return usageError(*error);
    if (o.worksheet)
        return {o, {}, false};
    for (const auto read : {readInputs, readOutputs})
        if (const std::optional<QString> error = read(t, o))
            return usageError(*error);
    // The exercise sets the meter's flask, and a quiz takes --seed; the meter before the
    // readings' options, which apply to a recording too.
    if (const std::optional<QString> error = readTeach(parser, o))
        return usageError(*error);
    if (const std::optional<QString> error = readMeter(parser, o))
        return usageError(*error);
    if (const std::optional<QString> error = readDrawing(t, o))
        return usageError(*error);
    if (const std::optional<QString> error = readExplain(t.explain, o))
        return usageError(*error);
    return {o, {}, false};
}

int run(const Options& o, std::ostream& out, std::ostream& err)
{
    if (o.teach)
        return runTeach(o, out, err);
    // As the window does: one document, its boxes read and checked by the schematic refresh,
    // then the run, and the readings analysed as the window's worker analyses them.
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    std::optional<session::Session> made = sessionFor(o, catalogue, err);
    if (!made)
        return 1;
    session::Document document(catalogue, std::move(*made));
    if (const std::optional<session::Document::AnalysisJob> job = document.analysisJob())
        document.deliverAnalysis(job->analysisRevision,
                                 session::Document::analyse(*job, catalogue));
    const session::Session& session = document.setup();
    const session::Outcome& outcome = document.outcome();
    if (saidRefusal(o, outcome, err))
        return 1;
    if (o.explain)
        return runExplain(o, *outcome.report->model, out, err);
    const std::optional<std::string> text = printedText(o, outcome, err);
    if (!text)
        return 2;
    // The run accepted the inputs: the session's chart exists.
    for (const Options::ChartFile& file : o.charts) {
        chart::ChartModel c = *document.chart();
        c.texts = session::chartTexts(session, outcome, catalogue);
        const QByteArray bytes = output::chartFile(c, file.format);
        if (const std::optional<QString> failure = output::saveNativeFile(file.path, bytes)) {
            err << "acidora: "
                << report::oneLine(file.path.toStdString() + ": " + failure->toStdString()) << '\n';
            return 1;
        }
    }
    return written(out, *text, err) ? 0 : 1;
}

bool saidRefusal(const Options& o, const session::Outcome& outcome, std::ostream& err)
{
    if (outcome.report)
        return false;
    err << "acidora: "
        << report::oneLine(outcome.refusal ? refusalText(o, *outcome.refusal)
                                           : std::string("the inputs are refused"))
        << '\n';
    return true;
}

bool written(std::ostream& out, const std::string& text, std::ostream& err)
{
    errno = 0;
    if (out.write(text.data(), std::streamsize(text.size())).flush())
        return true;
    const int error = errno;
    err << "acidora: standard output: " << (error ? std::strerror(error) : "write error") << '\n';
    return false;
}

} // namespace app::cli
