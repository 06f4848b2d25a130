// Build-time helper: turns docs/manual.html into Manual_ACDR.pdf — with the indicator table
// taken from the program's own catalogue, the substance table from its own library,
// screenshots of the real window and the measured-data example run through the real command
// line — and renders the icon at the sizes a desktop wants.
//
//   acidora-buildtool manual <manual.html> <Manual_ACDR.pdf>
//   acidora-buildtool icon <icon.svg> <size> <icon.png>

#include "app/appinfo.h"
#include "app/cli.h"
#include "app/formmain.h"
#include "app/platform.h"
#include "app/svgpicture.h"
#include "indicators/catalogue.h"
#include "report/numbertext.h"
#include "report/substances.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <tuple>

namespace {

/// A desktop with no printer and nothing to open: screenshots need none.
class Quiet : public app::PrintSystem,
              public app::Clipboard,
              public app::MessageBoxes,
              public app::Opener,
              public app::FileDialogs
{
public:
    std::optional<app::PrinterAnswer> query() const override { return std::nullopt; }
    std::optional<app::PaperAnswer> paper(const QString&) const override { return std::nullopt; }
    std::optional<QString> submit(const QString&, const QString&, const QString&) const override
    {
        return QString();
    }
    bool setText(const QString&) override { return true; }
    bool setImage(const QImage&) override { return true; }
    QString askSaveName(QWidget*, const QString&, const QString&,
                        const std::vector<app::FileFormat>&) override
    {
        return {};
    }
    void show(QWidget*, Icon, const QString&, const QString&) override {}
    int ask(QWidget*, const QString&, const QString&, const QStringList&) override { return -1; }
    void open(const QUrl&, QObject*, std::function<void(bool)> done) override { done(true); }
};

QString colourCell(indicators::Colour c, const std::string& name)
{
    const QString hex = QStringLiteral("#%1%2%3")
                            .arg(c & 0xff, 2, 16, QLatin1Char('0'))
                            .arg((c >> 8) & 0xff, 2, 16, QLatin1Char('0'))
                            .arg((c >> 16) & 0xff, 2, 16, QLatin1Char('0'));
    return QStringLiteral("<td><span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;"
                          "</span> %2</td>")
        .arg(hex, QString::fromStdString(name));
}

QString indicatorTable()
{
    indicators::IndicatorCatalogue catalogue;
    indicators::InicializarIndicadores(catalogue);
    QString html =
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
                       "<tr><th>No.</th><th>Indicator</th><th>pH range</th><th>Acid colour</th>"
                       "<th>Basic colour</th></tr>");
    for (int k = 1; k <= catalogue.indicatorCount; ++k) {
        const indicators::Indicator& i = catalogue.table[static_cast<std::size_t>(k)];
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3 &ndash; %4</td>%5%6</tr>")
                    .arg(k)
                    .arg(QString::fromStdString(i.name).toHtmlEscaped())
                    .arg(i.pHLow)
                    .arg(i.pHHigh)
                    .arg(colourCell(i.acidColour, i.acidColourName),
                         colourCell(i.basicColour, i.basicColourName));
    }
    return html + QStringLiteral("</table>");
}

/// A formula with its atom counts lowered: H3PO4 → H<sub>3</sub>PO<sub>4</sub>. A digit after a
/// letter or a closing bracket is a count; one at the start or after "·" is a coefficient.
QString formulaHtml(const std::string& formula)
{
    const QString text = QString::fromStdString(formula);
    QString html;
    bool inCount = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool count =
            c.isDigit() && i > 0 && (text[i - 1].isLetter() || text[i - 1] == ')' || inCount);
        if (count != inCount)
            html += count ? QStringLiteral("<sub>") : QStringLiteral("</sub>");
        inCount = count;
        html += QString(c).toHtmlEscaped();
    }
    return inCount ? html + QStringLiteral("</sub>") : html;
}

const QString kSubstanceHeading = QStringLiteral("Name (other names)");

/// The substance library as the constant box knows it, acids first, each kind by name; the
/// sources, which repeat, are numbered once in a list under the table. The table starts again,
/// with its heading, on a new page before each row numbered in `newPageBefore` (0 is the first).
QString substanceTable(const std::vector<std::size_t>& newPageBefore)
{
    std::vector<const report::Substance*> rows;
    for (const report::Substance& s : report::substanceLibrary())
        rows.push_back(&s);
    std::stable_sort(rows.begin(), rows.end(), [](const auto* a, const auto* b) {
        return std::tie(a->base, a->name) < std::tie(b->base, b->name);
    });
    const QString heading =
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"%1>"
                       "<thead><tr><th width=\"34%\">%2</th><th width=\"22%\">Formula</th>"
                       "<th width=\"9%\">Acid or base</th><th width=\"24%\">pKa values (of the "
                       "conjugate acid for a base)</th><th width=\"11%\">Source</th></tr></thead>");
    std::vector<std::string> sources;
    QString html;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const bool newPage = std::ranges::count(newPageBefore, k) > 0;
        if (k == 0 || newPage)
            html += (k == 0 ? QString() : QStringLiteral("</table>")) +
                    heading.arg(newPage ? QStringLiteral(" style=\"page-break-before: always\"")
                                        : QString(),
                                kSubstanceHeading);
        const report::Substance& s = *rows[k];
        QString names = QString::fromStdString(s.name).toHtmlEscaped();
        if (!s.synonyms.empty()) {
            QStringList others;
            for (const std::string& synonym : s.synonyms)
                others << QString::fromStdString(synonym).toHtmlEscaped();
            names += QStringLiteral(" <i>(%1)</i>").arg(others.join(QStringLiteral(", ")));
        }
        QStringList values;
        for (const double pKa : s.pKa)
            values << QString::fromStdString(report::NumberText(pKa));
        auto source = std::ranges::find(sources, s.source);
        if (source == sources.end())
            source = sources.insert(sources.end(), s.source);
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td>"
                               "<td align=\"center\">%5</td></tr>")
                    .arg(names, formulaHtml(s.formula),
                         s.base ? QStringLiteral("base") : QStringLiteral("acid"),
                         values.join(QLatin1Char(' ')).toHtmlEscaped(),
                         QString::number(source - sources.begin() + 1));
    }
    html += QStringLiteral("</table><p>Sources:</p><ol>");
    for (const std::string& source : sources)
        html += QStringLiteral("<li>%1</li>").arg(QString::fromStdString(source).toHtmlEscaped());
    return html + QStringLiteral("</ol>");
}

/// The document laid out as QTextDocument::print lays out one without pages of its own: a copy
/// on the printer, with 2 cm margins inside the printer's.
std::unique_ptr<QTextDocument> printedLayout(const QTextDocument& document,
                                             QPagedPaintDevice& printer)
{
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->documentLayout()->setPaintDevice(&printer);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const auto margin = [](qreal dpi) { return int(2 / 2.54 * qRound(dpi)); };
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setLeftMargin(margin(screen->logicalDotsPerInchX()));
    frame.setRightMargin(margin(screen->logicalDotsPerInchX()));
    frame.setTopMargin(margin(screen->logicalDotsPerInchY()));
    frame.setBottomMargin(margin(screen->logicalDotsPerInchY()));
    copy->rootFrame()->setFrameFormat(frame);
    copy->setPageSize(QSizeF(printer.width(), printer.height()));
    return copy;
}

/// The first row of the substance tables (counted over all of them, headings left out) that a
/// page break reaches: one split line by line, cell by cell, or one Qt moved whole to the next
/// page, leaving the row before it stretched to the foot of the page.
std::optional<std::size_t> firstRowAtPageBreak(const QTextDocument& laidOut)
{
    const QAbstractTextDocumentLayout* layout = laidOut.documentLayout();
    const qreal pageHeight = laidOut.pageSize().height();
    std::size_t row = 0;
    for (QTextFrame* frame : laidOut.rootFrame()->childFrames()) {
        const auto* table = qobject_cast<QTextTable*>(frame);
        if (!table || table->cellAt(0, 0).firstCursorPosition().block().text() != kSubstanceHeading)
            continue;
        int previousPage = -1;
        for (int r = 1; r < table->rows(); ++r, ++row) {
            int first = INT_MAX, last = INT_MIN;
            for (int c = 0; c < table->columns(); ++c)
                for (auto it = table->cellAt(r, c).begin(); !it.atEnd(); ++it) {
                    const QTextBlock block = it.currentBlock();
                    const qreal top = layout->blockBoundingRect(block).top();
                    for (int i = 0; i < block.layout()->lineCount(); ++i) {
                        const int page = int((top + block.layout()->lineAt(i).y()) / pageHeight);
                        first = std::min(first, page);
                        last = std::max(last, page);
                    }
                }
            if (first != last || (previousPage >= 0 && first != previousPage))
                return row;
            previousPage = last;
        }
    }
    return std::nullopt;
}

void click(QWidget* button)
{
    QMetaObject::invokeMethod(button, "clicked", Q_ARG(bool, false));
}

/// The window with the weak-acid example typed in: its three pages, grabbed.
QList<std::pair<QString, QImage>> screenshots()
{
    Quiet quiet;
    app::Platform platform{quiet, quiet, quiet, quiet, quiet};
    app::FormMain window(platform);
    window.show();
    window.findChild<QRadioButton*>(QStringLiteral("Option1(1)"))->click();
    const std::pair<const char*, const char*> boxes[] = {
        {"TxCBur", "0.1"}, {"TxVErl", "25"}, {"TxCErl", "0.1"}, {"TxKaKb", "1.8E-5"}};
    for (const auto& [name, text] : boxes)
        window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
    window.findChild<QComboBox*>(QStringLiteral("ComboIND"))->setCurrentIndex(4);
    QList<std::pair<QString, QImage>> shots;
    shots.append({QStringLiteral("input.png"), window.grab().toImage()});
    click(window.findChild<QWidget*>(QStringLiteral("Image4")));
    shots.append({QStringLiteral("table.png"), window.grab().toImage()});
    click(window.findChild<QWidget*>(QStringLiteral("Image5")));
    shots.append({QStringLiteral("curve.png"), window.grab().toImage()});
    return shots;
}

/// The measured-data chapter's worked example, run as the manual tells the reader to run it:
/// the report's measured-data section, which the chapter quotes, and the chart with the
/// derivative, which it shows.
struct WorkedExample
{
    QString section;
    QImage chart;
};

std::optional<WorkedExample> measuredExample(const QString& docsFolder)
{
    QTemporaryDir folder;
    const QString chartFile = folder.filePath(QStringLiteral("measured.png"));
    // Paths may hold blanks, so they are added whole after the split.
    const QStringList arguments =
        QStringLiteral("acidora --titration weak-acid --titrant 0.1 --analyte 0.1 "
                       "--analyte-volume 25 --ka 1.8E-5 --report --derivative")
            .split(QLatin1Char(' '))
        << QStringLiteral("--data") << docsFolder + QStringLiteral("/examples/acetic-acid-lab.csv")
        << QStringLiteral("--chart") << chartFile;
    const app::cli::Request request = app::cli::parse(arguments);
    std::ostringstream out, err;
    if (!folder.isValid() || !request.options || app::cli::run(*request.options, out, err) != 0) {
        std::fprintf(stderr, "the measured-data example does not run: %s%s\n",
                     qPrintable(request.text), err.str().c_str());
        return std::nullopt;
    }
    const QString report = QString::fromStdString(out.str());
    const qsizetype start = report.indexOf(QStringLiteral("Measured data:"));
    if (start < 0) {
        std::fprintf(stderr, "the measured-data example's report has no measured-data section\n");
        return std::nullopt;
    }
    return WorkedExample{report.mid(start).trimmed(), QImage(chartFile)};
}

int manual(const QString& source, const QString& output)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(source));
        return 1;
    }
    QString html = QString::fromUtf8(file.readAll());
    html.replace(QStringLiteral("{{INDICATOR_TABLE}}"), indicatorTable());
    html.replace(QStringLiteral("{{VERSION}}"),
                 QStringLiteral("%1.%2").arg(app::kVersionMajor).arg(app::kVersionMinor));

    // The chapter explains the example line by line, so a quote the program no longer prints
    // stops the build rather than going out with numbers the reader cannot reproduce.
    const std::optional<WorkedExample> example = measuredExample(QFileInfo(source).absolutePath());
    if (!example)
        return 1;
    if (!html.contains(example->section.toHtmlEscaped())) {
        std::fprintf(stderr,
                     "%s: the worked example of measured data quotes a section the program no "
                     "longer prints; bring the quote and its explanation up to date with what "
                     "it prints now:\n%s\n",
                     qPrintable(source), qPrintable(example->section));
        return 1;
    }

    QTextDocument document;
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("measured.png")),
                         example->chart);
    for (const auto& [name, image] : screenshots())
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);

    QPdfWriter writer(output);
    writer.setTitle(QStringLiteral("Acidora user's manual"));
    writer.setCreator(QStringLiteral("Acidora"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));

    // Where a page ends inside the substance table, the table ends after the last whole row and
    // starts again, with its heading, on the next page; each round moves one row, and a row
    // taller than a page ends the search.
    std::vector<std::size_t> newPageBefore;
    for (;;) {
        document.setHtml(QString(html).replace(QStringLiteral("{{SUBSTANCE_TABLE}}"),
                                               substanceTable(newPageBefore)));
        const std::optional<std::size_t> split =
            firstRowAtPageBreak(*printedLayout(document, writer));
        if (!split || std::ranges::count(newPageBefore, *split) > 0)
            break;
        newPageBefore.push_back(*split);
    }
    document.print(&writer);
    return 0;
}

int icon(const QString& svg, int size, const QString& output)
{
    return app::renderSvg(svg, QSize(size, size)).save(output) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("manual"))
        return manual(args[2], args[3]);
    if (args.size() == 5 && args[1] == QLatin1String("icon"))
        return icon(args[2], args[3].toInt(), args[4]);
    std::fprintf(stderr, "usage: acidora-buildtool manual <in.html> <out.pdf>\n"
                         "       acidora-buildtool icon <in.svg> <size> <out.png>\n");
    return 2;
}
