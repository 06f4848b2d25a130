#include "app/cli.h"

#include "app/appinfo.h"
#include "app/readingsfile.h"
#include "lab/measured.h"
#include "output/writers.h"
#include "report/calculationrun.h"
#include "report/captions.h"
#include "report/jsonreport.h"
#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/substances.h"
#include "report/table.h"
#include "report/typenames.h"
#include "session/session.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <charconv>

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

/// The text the constant box takes from --ka or --kb, or none: a number in full, or constants or
/// a name (beginning with a letter), which the refresh reads and refuses as the box's own.
std::optional<std::string> constantBoxText(const QString& typed)
{
    const QString text = typed.trimmed();
    if (!report::ReadWholeNumber(typed.toStdString()) && !(!text.isEmpty() && text[0].isLetter()))
        return std::nullopt;
    return typed.toStdString();
}

/// The file name's bytes that argumentText kept in a text.
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

QString listIndicators(const indicators::IndicatorCatalogue& catalogue, bool namesOnly)
{
    qsizetype width = 0;
    for (int k = 1; k <= catalogue.indicatorCount; ++k)
        width = std::max(width, qsizetype(catalogue.table[k].name.size()));
    QString list;
    for (int k = 1; k <= catalogue.indicatorCount; ++k) {
        const indicators::Indicator& i = catalogue.table[k];
        const QString name = QString::fromStdString(i.name);
        list += namesOnly ? name + '\n'
                          : QStringLiteral("%1  %2  pH %3 - %4  %5 -> %6\n")
                                .arg(k, 2)
                                .arg(name, -int(width))
                                .arg(i.pHLow, 4, 'f', 1)
                                .arg(i.pHHigh, 4, 'f', 1)
                                .arg(QString::fromStdString(i.acidColourName),
                                     QString::fromStdString(i.basicColourName));
    }
    return list;
}

/// The substance library, one a line: name, formula, acid or base, pKa values, source; or for
/// the completion, "acid" or "base", a tab and the name.
QString listSubstances(bool namesOnly)
{
    if (namesOnly) {
        QString list;
        for (const report::Substance& s : report::substanceLibrary())
            list += QString::fromStdString((s.base ? "base\t" : "acid\t") + s.name + '\n');
        return list;
    }
    qsizetype nameWidth = 0, formulaWidth = 0;
    for (const report::Substance& s : report::substanceLibrary()) {
        nameWidth = std::max(nameWidth, qsizetype(s.name.size()));
        formulaWidth = std::max(formulaWidth, qsizetype(s.formula.size()));
    }
    QString list;
    for (const report::Substance& s : report::substanceLibrary()) {
        QString values;
        for (const double pKa : s.pKa)
            values += QString::fromStdString(' ' + report::NumberText(pKa));
        list += QStringLiteral("%1  %2  %3  pKa%4  (%5)\n")
                    .arg(QString::fromStdString(s.name), -int(nameWidth))
                    .arg(QString::fromStdString(s.formula), -int(formulaWidth))
                    .arg(s.base ? QStringLiteral("base") : QStringLiteral("acid"), values,
                         QString::fromStdString(s.source));
    }
    return list;
}

/// The refusal as the command line says it: a missing input by its option.
std::string refusalText(const Options& o, const indicators::Refusal& refusal)
{
    using In = indicators::Refusal::Input;
    if (refusal.kind != indicators::Refusal::Kind::Missing)
        return refusal.text;
    switch (refusal.input) {
    case In::None:
        return "--titration is missing";
    case In::TxCBur:
        return "--titrant is missing";
    case In::TxVErl:
        return "--analyte-volume is missing";
    case In::TxCErl:
        return "--analyte is missing";
    case In::TxKaKb:
        break;
    }
    return o.type == chem::TitrationType::WeakBaseStrongAcid ? "a weak base needs --kb"
                                                             : "a weak acid needs --ka";
}

/// A number as --ph prints it: every digit a double needs, whatever the locale.
std::string fullPrecision(double x)
{
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, x, std::chars_format::general, 17).ptr};
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

Request parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Acid-base titration curves: the report, the table of values and the chart of a "
        "titration, on the command line or in the window.\nWithout an action the window opens "
        "with the inputs given; Qt's own options (-platform, -style, -display, -geometry, "
        "-reverse) then apply to it."));
    const QCommandLineOption help({"h", "help"}, "Shows this help."),
        version({"v", "version"}, "Shows the version."),
        list("list-indicators", "Lists the indicators: number, name, pH range and colours."),
        substances("list-substances",
                   "Lists the acids and bases known by name: formula, acid or base, pKa "
                   "values (of the conjugate acid for a base) and their source."),
        titration("titration",
                  "The analyte: strong-acid, weak-acid, strong-base or weak-base; "
                  "the titrant is the strong base or acid that neutralises it.",
                  "type"),
        titrant("titrant", "Titrant concentration, mol/L.", "mol/L"),
        analyte("analyte", "Analyte concentration, mol/L.", "mol/L"),
        volume("analyte-volume", "Analyte volume, mL.", "mL"),
        ka("ka",
           "Acidity constant of a weak acid: Ka as a number, the stepwise constants (\"pKa "
           "2.15 7.20 12.35\", \"Ka 7.1E-3 6.3E-8\") or a name from --list-substances "
           "(\"phosphoric acid\").",
           "K"),
        kb("kb",
           "Basicity constant of a weak base: Kb as a number, the stepwise constants "
           "(\"pKb 3.67 7.65\", \"Kb 2.1E-4 2.2E-8\", or the pKa or Ka of its conjugate "
           "acid) or a name from --list-substances (\"sodium carbonate\").",
           "K"),
        indicator("indicator",
                  "Indicator: its name (case does not matter; a fluorescent one also without "
                  "its \"(F) \") or its number, 1 to 27.",
                  "name"),
        reportOption("report", "Prints the report and the table of values."),
        crlf("crlf", "Ends the report's lines with CR LF, as the clipboard does."),
        csv("csv", "Prints the table of values as CSV."),
        json("json", "Prints the titration as one JSON object: the inputs, the pKa values, each "
                     "equivalence point, the indicator's verdict and the table, in full precision. "
                     "Not with --report, --csv or --ph."),
        step("step",
             "With --csv: the curve every this many mL from 0 to twice the equivalence "
             "volume instead, the pH with 3 decimals.",
             "mL"),
        chart("chart",
              "Saves the chart: PDF, SVG or PNG by the file's extension; PDF to a pipe or a "
              "device such as /dev/stdout.",
              "file"),
        ph("ph", "Prints the pH after this many mL of titrant (repeatable).", "mL"),
        data("data",
             "Measured readings (volume in mL and pH a line; comma, semicolon, tab or blanks "
             "between): their end points and the fitted concentration follow the report, join "
             "the JSON object and are drawn on the chart.",
             "file"),
        series("series",
               "With --chart: a family of curves over one input, named as its option without the "
               "dashes (titrant, analyte, analyte-volume, ka, kb), then its values: "
               "\"ka 1E-3 1E-5 1E-7\". The first value's curve is labelled; the others are "
               "drawn beside it with a legend.",
               "input values"),
        derivative("derivative", "With --chart: dpH/dV of the curve (and of the readings) on a "
                                 "second axis on the right."),
        fit("fit",
            "With --data: what the fit varies: 'concentration' (the default) or 'pka' (the "
            "pKa values too).",
            "what");
    // For the completion: the indicators' names, the substances' kinds and names.
    QCommandLineOption names("help-indicators", "Lists the indicators' names, one a line."),
        substanceNames("help-substances", "Lists the substances' kinds and names, one a line.");
    names.setFlags(QCommandLineOption::HiddenFromHelp);
    substanceNames.setFlags(QCommandLineOption::HiddenFromHelp);
    const QList<QCommandLineOption> options{
        help,  version, list,      substances,   titration, titrant,    analyte, volume,
        ka,    kb,      indicator, reportOption, crlf,      csv,        json,    step,
        chart, ph,      data,      fit,          series,    derivative, names,   substanceNames};
    parser.addOptions(options);
    const auto usageError = [](const QString& text) { return Request{{}, text, true}; };
    const auto notANumber = [&](const QString& option, const QString& typed) {
        return usageError("--" + option + ": '" + typed + "' is not a number");
    };
    if (!parser.parse(withoutQtOptions(arguments, options)))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError("unexpected argument '" + parser.positionalArguments().first() + "'");
    if (parser.isSet(help))
        return {{}, parser.helpText().replace("<executable_name>", "acidora"), false};
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    if (parser.isSet(list) || parser.isSet(names))
        return {{}, listIndicators(catalogue, parser.isSet(names)), false};
    if (parser.isSet(substances) || parser.isSet(substanceNames))
        return {{}, listSubstances(parser.isSet(substanceNames)), false};
    if (parser.isSet(version))
        return {{}, QStringLiteral("Acidora %1.%2\n").arg(kVersionMajor).arg(kVersionMinor), false};

    Options o;
    if (parser.isSet(titration)) {
        const std::string wanted = parser.value(titration).toStdString();
        const auto* type = std::find_if(
            report::kTitrationTypes.begin(), report::kTitrationTypes.end(),
            [&](chem::TitrationType t) { return wanted == report::typeNames(t).commandName; });
        if (type == report::kTitrationTypes.end())
            return usageError("unknown titration '" + parser.value(titration) +
                              "' (strong-acid, weak-acid, strong-base, weak-base)");
        o.type = *type;
    }
    for (const auto& [option, box] :
         {std::pair{&titrant, &o.boxes.TxCBur}, std::pair{&volume, &o.boxes.TxVErl},
          std::pair{&analyte, &o.boxes.TxCErl}}) {
        if (!parser.isSet(*option))
            continue;
        *box = parser.value(*option).toStdString();
        if (!report::ReadWholeNumber(*box))
            return notANumber(option->names().first(), parser.value(*option));
    }
    if (parser.isSet(ka) || parser.isSet(kb)) {
        const QCommandLineOption& given = parser.isSet(ka) ? ka : kb;
        const QString name = "--" + given.names().first();
        if (parser.isSet(ka) && parser.isSet(kb))
            return usageError(QStringLiteral("--ka and --kb together"));
        // Without --titration the window opens with the constant typed, for either type.
        if (o.type && !chem::isWeak(*o.type))
            return usageError(name + " does not apply to " + parser.value(titration));
        if (o.type && (*o.type == chem::TitrationType::WeakBaseStrongAcid) != (&given == &kb))
            return usageError(name + " does not apply to " + parser.value(titration) + "; use " +
                              (&given == &ka ? "--kb" : "--ka"));
        const std::optional<std::string> constant = constantBoxText(parser.value(given));
        if (!constant)
            return notANumber(given.names().first(), parser.value(given));
        o.boxes.TxKaKb = *constant;
    }
    if (parser.isSet(indicator)) {
        o.indicator = indicators::findIndicator(catalogue, parser.value(indicator).toStdString());
        if (!o.indicator)
            return usageError("unknown indicator '" + parser.value(indicator) +
                              "' (see --list-indicators)");
    }
    o.report = parser.isSet(reportOption);
    o.crlf = parser.isSet(crlf);
    o.csv = parser.isSet(csv);
    if (o.crlf && !o.report)
        return usageError(QStringLiteral("--crlf needs --report"));
    // The JSON object is all a script reads from standard output; the chart goes to its file.
    o.json = parser.isSet(json);
    for (const QCommandLineOption* printing : {&reportOption, &csv, &ph})
        if (o.json && parser.isSet(*printing))
            return usageError("--json and --" + printing->names().first() + " together");
    if (parser.isSet(step)) {
        const QString typed = parser.value(step);
        const std::optional<double> mL = report::ReadWholeNumber(typed.toStdString());
        if (!o.csv)
            return usageError(QStringLiteral("--step needs --csv"));
        if (!mL)
            return notANumber("step", typed);
        if (!(*mL > 0))
            return usageError("--step: '" + typed + "' is not a step above 0 mL");
        o.step = *mL;
    }
    if (parser.isSet(chart)) {
        o.chartPath = argumentBytes(parser.value(chart));
        o.chartFormat = QFileInfo(parser.value(chart)).suffix().toLower();
        if (o.chartPath.isEmpty())
            return usageError(QStringLiteral("--chart needs a file name"));
        // A pipe or a device (/dev/stdout) has no extension to tell the format: PDF, the page.
        struct stat target
        {};
        if (o.chartFormat != "pdf" && o.chartFormat != "svg" && o.chartFormat != "png") {
            if (::stat(o.chartPath.constData(), &target) != 0 ||
                !(S_ISFIFO(target.st_mode) || S_ISCHR(target.st_mode)))
                return usageError("--chart needs a .pdf, .svg or .png file: '" +
                                  parser.value(chart) + "'");
            o.chartFormat = QStringLiteral("pdf");
        }
    }
    if (parser.isSet(data)) {
        o.dataPath = argumentBytes(parser.value(data));
        if (o.dataPath.isEmpty())
            return usageError(QStringLiteral("--data needs a file name"));
    }
    o.seriesSpec = parser.value(series).toStdString();
    o.derivative = parser.isSet(derivative);
    for (const QCommandLineOption* drawn : {&series, &derivative})
        if (parser.isSet(*drawn) && !parser.isSet(chart))
            return usageError("--" + drawn->names().first() + " needs --chart");
    if (parser.isSet(fit)) {
        const QString what = parser.value(fit).toLower();
        if (o.dataPath.isEmpty())
            return usageError(QStringLiteral("--fit needs --data"));
        if (what != QLatin1String("pka") && what != QLatin1String("concentration"))
            return usageError("--fit: '" + parser.value(fit) +
                              "' is neither 'concentration' nor 'pka'");
        o.fitPKa = what == QLatin1String("pka");
    }
    for (const QString& typed : parser.values(ph)) {
        const std::optional<double> mL = report::ReadWholeNumber(typed.toStdString());
        if (!mL)
            return notANumber("ph", typed);
        if (*mL < 0)
            return usageError("--ph: '" + typed + "' is below 0 mL");
        o.volumes.push_back(*mL);
    }
    // Without an action the window opens with the readings.
    if (!o.dataPath.isEmpty() && o.hasAction() && !o.report && !o.json && o.chartPath.isEmpty())
        return usageError(QStringLiteral("--data needs --report, --json or --chart"));
    return {o, {}, false};
}

int run(const Options& o, std::ostream& out, std::ostream& err)
{
    // Readings that cannot be read end the run before anything is printed.
    std::optional<lab::Readings> readings;
    if (!o.dataPath.isEmpty()) {
        chem::Result<lab::Readings> read = readReadingsFile(QFile::decodeName(o.dataPath));
        if (!read) {
            err << "acidora: " << report::oneLine(o.dataPath.toStdString() + ": " + read.failure)
                << '\n';
            return 1;
        }
        readings = std::move(read.value);
    }

    // As the window does: one session, its boxes read and checked by the schematic refresh,
    // then the run and the readings' analysis.
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    session::Session session;
    session.type = o.type;
    session.boxes = o.boxes;
    session.indicatorPosition = o.indicator;
    session.readings = std::move(readings);
    session.readingsName = QFileInfo(QFile::decodeName(o.dataPath)).fileName().toStdString();
    session.fitPKa = o.fitPKa;
    session.showDerivative = o.derivative;
    if (!o.seriesSpec.empty()) {
        chem::Result<session::Session> family = session::family(session, o.seriesSpec, catalogue);
        if (!family) {
            err << "acidora: " << report::oneLine("--series: " + family.failure) << '\n';
            return 1;
        }
        session = std::move(*family.value);
    }
    const session::Outcome outcome = session::compute(session, catalogue);
    const indicators::SchematicState& s = outcome.schematic;
    const std::optional<report::Report>& r = outcome.report;
    if (!r) {
        err << "acidora: "
            << report::oneLine(outcome.refusal ? refusalText(o, *outcome.refusal)
                                               : std::string("the inputs are refused"))
            << '\n';
        return 1;
    }
    const report::CalculationInput& input = outcome.input;
    const std::optional<lab::Measured>& measured = outcome.measured;

    // The run accepted the inputs, so the model exists.
    const std::optional<report::TitrationModel> model =
        report::TitrationModel::make(*o.type, s.inputs, s.constants);
    std::string text;
    if (o.report) {
        text = output::clipboardText(r->lines, r->table);
        if (measured)
            for (const std::string& line : lab::measuredSection(*measured))
                text += line + "\r\n";
        if (!o.crlf)
            for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
                text.erase(at, 1);
    }
    if (o.json)
        text = report::titrationJson(input, *r, [&](report::JsonWriter& json) {
            if (measured)
                lab::measuredJson(json, *measured);
        });
    if (o.csv && o.step > 0) {
        const std::optional<std::string> curve = report::curveCsv(*model, o.step);
        if (!curve) {
            err << "acidora: --step: a step of " << report::NumberText(o.step)
                << " mL makes more than " << report::NumberText(report::kMaxCurveRows) << " rows\n";
            return 2;
        }
        text += *curve;
    } else if (o.csv) {
        text += output::resultsCsv(r->table);
    }
    for (const double v : o.volumes)
        text += fullPrecision(model->pH(v).value) + '\n';
    if (!o.chartPath.isEmpty()) {
        chart::ChartInput c = session::chartInput(session, outcome, catalogue);
        c.title = report::titrationTitle(*o.type);
        c.indicatorName = o.indicator ? catalogue.table[o.indicator].name : std::string();
        c.caption = report::titrationCaption(*o.type, s.inputs, session.boxes.TxKaKb, s.constants);
        const QByteArray bytes = o.chartFormat == "pdf"   ? output::chartPdf(c)
                                 : o.chartFormat == "svg" ? output::chartSvg(c)
                                                          : output::chartPng(c);
        if (const std::optional<QString> failure = output::saveNativeFile(o.chartPath, bytes)) {
            err << "acidora: "
                << report::oneLine(o.chartPath.toStdString() + ": " + failure->toStdString())
                << '\n';
            return 1;
        }
    }
    out << text;
    return 0;
}

} // namespace app::cli
