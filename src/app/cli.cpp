#include "app/cli.h"

#include "app/appinfo.h"
#include "output/writers.h"
#include "report/calculationrun.h"
#include "report/numberreading.h"
#include "report/numbertext.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace app::cli {

namespace {

const char* const kTypeNames[] = {"strong-acid", "weak-acid", "strong-base", "weak-base"};

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

} // namespace

Request parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Acid-base titration curves: the report, the table of values and the chart of a "
        "titration, on the command line or in the window.\nWithout an action the window opens "
        "with the inputs given."));
    const QCommandLineOption help({"h", "help"}, "Shows this help."),
        version({"v", "version"}, "Shows the version."),
        titration("titration",
                  "The analyte: strong-acid, weak-acid, strong-base or weak-base; "
                  "the titrant is the strong base or acid that neutralises it.",
                  "type"),
        titrant("titrant", "Titrant concentration, mol/L.", "mol/L"),
        analyte("analyte", "Analyte concentration, mol/L.", "mol/L"),
        volume("analyte-volume", "Analyte volume, mL.", "mL"),
        ka("ka", "Acidity constant of a weak acid.", "K"),
        kb("kb", "Basicity constant of a weak base.", "K"),
        indicator("indicator", "Indicator: its name (case does not matter) or its number, 1 to 27.",
                  "name"),
        reportOption("report", "Prints the report and the table of values."),
        crlf("crlf", "Ends the report's lines with CR LF, as the clipboard does."),
        csv("csv", "Prints the table of values as CSV."),
        chart("chart", "Saves the chart: PDF, SVG or PNG by the file's extension.", "file"),
        ph("ph", "Prints the pH after this many mL of titrant (repeatable).", "mL");
    QCommandLineOption indicators("help-indicators", "Lists the indicators' names, one a line.");
    indicators.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, titration, titrant, analyte, volume, ka, kb, indicator,
                       reportOption, crlf, csv, chart, ph, indicators});
    const auto usageError = [](const QString& text) { return Request{{}, text, true}; };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError("unexpected argument '" + parser.positionalArguments().first() + "'");
    if (parser.isSet(help))
        return {{}, parser.helpText().replace("<executable_name>", "acidora"), false};
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    if (parser.isSet(indicators)) {
        QString names;
        for (int k = 1; k <= catalogue.indicatorCount; ++k)
            names += QString::fromStdString(catalogue.table[k].name) + '\n';
        return {{}, names, false};
    }
    if (parser.isSet(version))
        return {{}, QStringLiteral("Acidora %1.%2\n").arg(kVersionMajor).arg(kVersionMinor), false};

    Options o;
    if (parser.isSet(titration)) {
        const auto* name = std::find(std::begin(kTypeNames), std::end(kTypeNames),
                                     parser.value(titration).toStdString());
        if (name == std::end(kTypeNames))
            return usageError("unknown titration '" + parser.value(titration) +
                              "' (strong-acid, weak-acid, strong-base, weak-base)");
        o.type = chem::titrationTypeFromIndex(int(name - std::begin(kTypeNames)));
    }
    o.boxes = {parser.value(titrant).toStdString(), parser.value(volume).toStdString(),
               parser.value(analyte).toStdString(),
               parser.value(parser.isSet(kb) ? kb : ka).toStdString()};
    if (parser.isSet(ka) && parser.isSet(kb))
        return usageError(QStringLiteral("--ka and --kb together"));
    if (parser.isSet(indicator)) {
        const QString wanted = parser.value(indicator);
        bool isNumber = false;
        const int position = wanted.toInt(&isNumber);
        for (int k = 1; k <= catalogue.indicatorCount && !o.indicator; ++k)
            if (isNumber ? k == position
                         : wanted.compare(QString::fromStdString(catalogue.table[k].name),
                                          Qt::CaseInsensitive) == 0)
                o.indicator = k;
        if (!o.indicator)
            return usageError("unknown indicator '" + wanted + "'");
    }
    o.report = parser.isSet(reportOption);
    o.crlf = parser.isSet(crlf);
    o.csv = parser.isSet(csv);
    o.chart = parser.value(chart);
    const QString extension = QFileInfo(o.chart).suffix().toLower();
    if (!o.chart.isEmpty() && extension != "pdf" && extension != "svg" && extension != "png")
        return usageError("--chart needs a .pdf, .svg or .png file: '" + o.chart + "'");
    for (const QString& v : parser.values(ph))
        o.volumes.push_back(v.toStdString());
    return {o, {}, false};
}

int run(const Options& o, std::ostream& out, std::ostream& err)
{
    // As the window does: the boxes read and checked by the schematic refresh, then the run.
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    const indicators::SchematicState s =
        indicators::ActualizarColor_pH(o.type, o.boxes, o.indicator, catalogue);
    const report::CalculationInput input = indicators::calculationInput(
        o.type, s, o.boxes, o.indicator, catalogue,
        s.verdict ? indicators::verdictCaption(*s.verdict) : "Appropiate");
    const std::optional<report::Report> r = report::runCalculation(input);
    if (!r) {
        const std::optional<indicators::Refusal> why = indicators::whyRefused(o.type, s, o.boxes);
        err << "acidora: " << (why ? refusalText(o, *why) : "the inputs are refused") << '\n';
        return 1;
    }

    std::string text;
    if (o.report) {
        text = output::clipboardText(r->lines, r->table);
        if (!o.crlf)
            for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
                text.erase(at, 1);
    }
    if (o.csv)
        text += output::resultsCsv(r->table);
    for (const std::string& v : o.volumes) {
        char line[64];
        std::snprintf(line, sizeof line, "%.17g\n",
                      chem::Get_pH(o.type, s.inputs, report::ReadNumber(v)));
        text += line;
    }
    if (!o.chart.isEmpty()) {
        chart::ChartInput c{o.type,
                            s.inputs,
                            s.calcErrorFlag,
                            o.indicator,
                            &catalogue,
                            report::titrationTitle(*o.type),
                            o.indicator ? catalogue.table[o.indicator].name : std::string(),
                            report::titrationCaption(*o.type, s.inputs, o.boxes.TxKaKb)};
        const QString extension = QFileInfo(o.chart).suffix().toLower();
        const QByteArray bytes = extension == "pdf"   ? output::chartPdf(c)
                                 : extension == "svg" ? output::chartSvg(c)
                                                      : output::chartPng(c);
        if (const std::optional<QString> failure = output::saveFile(o.chart, bytes)) {
            err << "acidora: " << o.chart.toStdString() << ": " << failure->toStdString() << '\n';
            return 1;
        }
    }
    out << text;
    return 0;
}

} // namespace app::cli
