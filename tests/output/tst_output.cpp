// The printed results page in millimetres, and the saved files, each valid and holding what it
// must as another program reads it; a write that fails leaves what was there.
#include "output/qtdrawingsurface.h"
#include "output/tableprintout.h"
#include "output/writers.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

using namespace output;

namespace {

std::array<ReportLine, 16> reportLines()
{
    const int tops[16] = {60,   555,  870,  1380, 1695, 2040, 2595, 2895,
                          3465, 3765, 4275, 4575, 5070, 5355, 5700, 6030};
    std::array<ReportLine, 16> lines;
    for (int i = 0; i < 16; ++i)
        lines[static_cast<std::size_t>(i)] = {"line " + std::to_string(i), i % 3 == 0, tops[i]};
    return lines;
}

/// The table of a run with `rows` rows after its heading.
std::string table(int rows)
{
    std::string t = "    Vol.    pH\r\n";
    for (int i = 0; i < rows; ++i)
        t += "   " + std::to_string(10 + i) + ".00    7.00\r\n";
    return t;
}

chart::ChartModel weakAcid()
{
    report::CalculationInput in;
    in.type = chem::TitrationType::WeakAcidStrongBase;
    in.inputs = {0.1, 0.1, 25, 1.8e-5};
    return chart::ChartModel(*report::TitrationModel::make(*in.type, in.inputs, std::nullopt),
                             report::runCalculation(in)->points,
                             {{}, "Calculated curve", 4, &indicators::filledCatalogue()},
                             {"Titration of weak acid with strong base", "phenolphthalein", ""});
}

/// pdfinfo's and pdftotext's view of a PDF, or with `boxes` the box of each word, in points.
QString readPdf(const QByteArray& pdf, bool boxes = false)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("f.pdf"));
    saveFile(file, pdf);
    QString out;
    const QList<QStringList> commands =
        boxes ? QList<QStringList>{{"pdftotext", "-bbox", file, "-"}}
              : QList<QStringList>{{"pdfinfo", file}, {"pdftotext", "-layout", file, "-"}};
    for (const QStringList& command : commands) {
        QProcess p;
        p.start(command[0], command.mid(1));
        p.waitForFinished(20000);
        out += QString::fromUtf8(p.readAllStandardOutput());
    }
    return out.simplified();
}

/// pdftotext's text of each page, blanks simplified.
QStringList pdfPages(const QByteArray& pdf)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("w.pdf"));
    saveFile(file, pdf);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    p.waitForFinished(20000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    pages.removeLast(); // after the last page's form feed
    for (QString& page : pages)
        page = page.simplified();
    return pages;
}

/// `count` problems as a generator makes them, every other one with a curve to read from and
/// the others with one more question, under an empty grid; each question with its answer.
std::vector<WorksheetProblem> worksheetProblems(int count, int questions)
{
    std::vector<WorksheetProblem> problems(static_cast<std::size_t>(count));
    for (int k = 1; k <= count; ++k) {
        WorksheetProblem& p = problems[std::size_t(k - 1)];
        p.title = "Problem " + std::to_string(k) + ": weak acid with strong base";
        p.given = {"25 mL of 0.1 mol/L acetic acid (pKa 4.76)", "titrant: 0.1 mol/L NaOH"};
        if (k % 2)
            p.curve = weakAcid();
        for (int q = 1; q <= questions + 1 - k % 2; ++q) {
            const std::string number = std::to_string(k) + '.' + std::to_string(q) + ')';
            p.questions.push_back("Question (" + number);
            p.answers.push_back("answer (" + number);
        }
    }
    return problems;
}

} // namespace

class TestOutput : public QObject
{
    Q_OBJECT

private slots:
    void printedPage();
    void surfaceInDevicePixels();
    void chartFiles();
    void resultsFiles();
    void savedWhereTheNameLeads_data();
    void savedWhereTheNameLeads();
    void worksheet_data();
    void worksheet();
};

void TestOutput::printedPage()
{
    // The report as on screen, 1/66 mm a twip and 5 mm down; the heading at 105 mm; then the
    // longest table a run writes, 39 rows and its heading, 4 mm apart on one A4 page.
    const auto printed = tablePrintout(reportLines(), table(39), 287, 4.4); // A4's printable height
    QVERIFY(printed[0].text == "line 0" && printed[0].xMm == 12 && printed[3].bold &&
            !printed[4].bold && qAbs(printed[0].yMm - 5.91) < 0.005 &&
            qAbs(printed[15].yMm - 96.36) < 0.005);
    QVERIFY(printed[16].text == kTableHeading && printed[16].yMm == 105 && printed[16].bold);
    QVERIFY(printed.size() == 17 + 40 && printed[17].text == "    Vol.    pH");
    for (std::size_t i = 17; i < printed.size(); ++i)
        QVERIFY2(printed[i].page == 0 && printed[i].xMm == 16 && printed[i].monospace &&
                     printed[i].bold && printed[i].yMm == 112.0 + 4.0 * double(i - 17),
                 printed[i].text.c_str());
    // Six points on short paper: every line once, as the clipboard has them, down each page.
    report::CalculationInput in;
    in.type = chem::TitrationType::WeakAcidStrongBase;
    in.inputs = {0.1, 0.1, 10, 1e-2};
    in.constants = report::AnalyteConstants{{2, 4, 6, 8, 10, 12}, "", ""};
    const std::optional<report::Report> r = report::runCalculation(in);
    QVERIFY(r);
    const auto lines = tablePrintout(flowingReportLines(*r), r->table, 100, 4);
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const PrintedLine &line = lines[i], &above = lines[i ? i - 1 : 0];
        text += line.text + "\r\n";
        QVERIFY2(line.yMm >= 0 && line.yMm + 4 <= 100 &&
                     (i == 0 || line.page == above.page + 1 || line.yMm - above.yMm > 3.99),
                 line.text.c_str());
    }
    QCOMPARE(text, clipboardText(r->lines, r->table));
    // A line that ends exactly at the foot of the printable area stays on its page; the next
    // starts the next page at the top. A line of one character is a line too.
    const auto foot = tablePrintout(reportLines(), table(1) + "x\r\n", 116, 4);
    QVERIFY(foot.size() == 16 + 4 && foot[17].page == 0 && foot[17].yMm == 112 &&
            foot[18].page == 1 && foot[18].yMm == 5 && foot[19].text == "x");
}

void TestOutput::surfaceInDevicePixels()
{
    // Three device pixels a unit: a box from either corner, a line; a dot as wide as the pen
    // whatever the scale.
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtDrawingSurface surface(painter, 3, Qt::black);
    const indicators::Colour red = indicators::rgb(255, 0, 0), blue = indicators::rgb(0, 0, 255);
    surface.Box(2, 2, 4, 3, red);      // pixels 6..18, 6..15
    surface.Box(12, 12, -2, -2, blue); // 30..36
    surface.Line(0, 8, 8, 8, blue);    // y 24, x 0..24
    surface.setDrawWidth(4);
    surface.PSet(2, 10, red); // radius 2 round (6, 30)
    painter.end();
    const QString expected = "RwwBwBwwwRw", got = [&] {
        QString g;
        for (const QPoint p : {QPoint(12, 10), QPoint(20, 10), QPoint(12, 17), QPoint(33, 33),
                               QPoint(38, 33), QPoint(12, 24), QPoint(12, 27), QPoint(28, 24),
                               QPoint(6, 26), QPoint(6, 30), QPoint(10, 30)})
            g += image.pixel(p) == 0xffff0000u ? 'R' : image.pixel(p) == 0xff0000ffu ? 'B' : 'w';
        return g;
    }();
    QCOMPARE(got, expected);
}

void TestOutput::chartFiles()
{
    QImage image(8, 8, QImage::Format_RGB32); // text measured in the surface's own unit
    QPainter painter(&image);
    QtDrawingSurface pixels(painter, 1, Qt::black), quarters(painter, 4, Qt::black);
    QCOMPARE(quarters.TextWidth("pH") * 4 + quarters.TextHeight("pH") * 4,
             pixels.TextWidth("pH") + pixels.TextHeight("pH"));
    // A chart handed out carries its inputs in one line, under the chart.
    chart::ChartModel captioned = weakAcid();
    captioned.texts.caption = "25 mL of weak acid 0.1 mol/L, Ka 1.8E-5, titrated with strong base";
    // PDF: the printed page, one A4 landscape page.
    const QString pdf = readPdf(chartPdf(captioned));
    for (const char* part :
         {"Pages: 1 ", "Page size: 842 x 595 pts (A4)", "Equivalence point. pH = 8.722",
          "Titration of weak acid with strong base"})
        QVERIFY2(pdf.contains(QLatin1String(part)), qPrintable(pdf.left(400)));
    QVERIFY(pdf.endsWith(QString::fromStdString(captioned.texts.caption)));
    // SVG: parses, the screen's size and the caption's band, with the title and the
    // indicator's name.
    const QByteArray svg = chartSvg(captioned);
    QVERIFY(QSvgRenderer(svg).isValid() && QSvgRenderer(svg).viewBox() == QRect(0, 0, 768, 500) &&
            svg.contains("Titration of weak acid with strong base") &&
            svg.contains("phenolphthalein") && svg.contains("titrated with strong base"));
    // PNG: twice the screen, the red dot at the equivalence point (x 389, pH 8.722 at
    // y 436 - 9.722 · 456/18 on screen); without a caption, no band.
    const QImage png = QImage::fromData(chartPng(captioned), "PNG");
    const QColor dot = png.pixelColor(2 * 389, qRound(2 * (436 - 9.722 * 456 / 18)));
    QVERIFY(png.size() == QSize(1536, 1000) && dot.red() > 220 && dot.green() + dot.blue() < 60);
    QCOMPARE(chartImage(weakAcid(), 1).size(), QSize(768, 476));
}

void TestOutput::resultsFiles()
{
    // CSV: the header, then each row's two fields as the table shows them.
    QCOMPARE(resultsCsv("    Vol.    pH\r\n    0.00    2.88\r\n   25.00    8.72\r\n"
                        "    1.00   -0.70\r\n  600.00   12.52\r\n"),
             std::string("Volume (mL),pH\r\n0.00,2.88\r\n25.00,8.72\r\n1.00,-0.70\r\n"
                         "600.00,12.52\r\n"));
    // PDF: the printed page, A4 portrait, with a 39-row table on one page.
    std::array<ReportLine, 16> report = reportLines();
    report[0].caption = "Titration of weak acid with strong base";
    const QString pdf = readPdf(resultsPdf(report, table(39)));
    for (const char* part : {"Pages: 1 ", "Page size: 595 x 842 pts (A4)", "48.00 7.00",
                             "Titration of weak acid with strong base"})
        QVERIFY2(pdf.contains(QLatin1String(part)), qPrintable(pdf.left(400)));
    // Millimetres on paper: thirty rows of the table down is 120 mm, 340.16 pt.
    const QString boxes = readPdf(resultsPdf(report, table(39)), true);
    const auto top = [&](const char* word) {
        const QRegularExpression box(QStringLiteral("yMin=\"([0-9.]+)\"[^>]*>%1<").arg(word));
        return box.match(boxes).captured(1).toDouble();
    };
    QVERIFY2(qAbs(top("40.00") - top("10.00") - 120 / 25.4 * 72) < 0.2,
             qPrintable(boxes.left(400)));
}

void TestOutput::worksheet_data()
{
    QTest::addColumn<int>("problems");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("pages"); ///< of problems
    QTest::newRow("one") << 1 << 2 << 1;
    QTest::newRow("two share a page") << 2 << 2 << 1;
    QTest::newRow("three") << 3 << 2 << 2;
    QTest::newRow("ten") << 10 << 2 << 5;
    QTest::newRow("one longer than a page goes on overleaf") << 1 << 40 << 3;
}

void TestOutput::worksheet()
{
    QFETCH(int, problems);
    QFETCH(int, questions);
    QFETCH(int, pages);
    const std::vector<WorksheetProblem> sheet = worksheetProblems(problems, questions);
    const QStringList printed = pdfPages(worksheetPdf(sheet, "Titration worksheet"));
    // The problems' pages, each with the name's line, then the key on a page of its own.
    QCOMPARE(printed.size(), pages + 1);
    for (qsizetype k = 0; k < printed.size(); ++k) {
        QVERIFY(printed[k].startsWith("Titration worksheet"));
        QVERIFY(printed[k].endsWith(QStringLiteral("Page %1 of %2").arg(k + 1).arg(pages + 1)));
        QCOMPARE(printed[k].contains("Name:"), k < pages);
    }
    const QString problemPages = printed.mid(0, pages).join(' '), key = printed.last();
    QVERIFY(key.contains("Answer key"));
    for (const WorksheetProblem& p : sheet) {
        QCOMPARE(problemPages.count(QString::fromStdString(p.title)), 1);
        for (const std::string& q : p.questions)
            QCOMPARE(problemPages.count(QString::fromStdString(q)), 1);
        for (const std::string& a : p.answers)
            QVERIFY(key.contains(QString::fromStdString(a)) &&
                    !problemPages.contains(QString::fromStdString(a)));
    }
}

namespace {
/// The kind of what `path` names, links followed or not; 0 when nothing is there.
mode_t kind(const QByteArray& path, bool follow)
{
    struct stat st
    {};
    return (follow ? ::stat(path, &st) : ::lstat(path, &st)) == 0 ? st.st_mode & S_IFMT : 0;
}
QByteArray contents(const QByteArray& path)
{
    QFile file;
    const int fd = ::open(path, O_RDONLY);
    return fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle) ? file.readAll()
                                                                                 : "unreadable";
}
} // namespace

void TestOutput::savedWhereTheNameLeads_data()
{
    QTest::addColumn<QByteArray>("name");   // in a fresh folder, unless absolute
    QTest::addColumn<QByteArray>("linkTo"); // the name is first made a symlink to this
    QTest::addColumn<QString>("reason");    // "" when the write succeeds
    const QByteArray none;
    // clang-format off
    QTest::newRow("new name, not UTF-8, kept byte for byte") << QByteArray("\xff\xfe.pdf") << none << "";
    QTest::newRow("file replaced") << QByteArray("old.pdf") << none << "";
    QTest::newRow("link to a file stays a link") << QByteArray("c.pdf") << QByteArray("old.pdf") << "";
    QTest::newRow("link to /dev/null keeps the device") << QByteArray("c.pdf") << QByteArray("/dev/null") << "";
    QTest::newRow("pipe written in place") << QByteArray("fifo") << none << "";
    QTest::newRow("full device") << QByteArray("/dev/full") << none << "No space left on device";
    QTest::newRow("folder missing") << QByteArray("gone/c.pdf") << none << "No such file or directory";
    QTest::newRow("folder in the way") << QByteArray(".") << none << "Is a directory";
    // clang-format on
}

void TestOutput::savedWhereTheNameLeads()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, linkTo);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const QByteArray path = name.startsWith('/') ? name : folder + name;
    const QByteArray target = linkTo.startsWith('/') ? linkTo : folder + linkTo;
    const QByteArray bytes = "%PDF new and longer";
    if (!linkTo.isEmpty())
        QVERIFY(::symlink(target, path) == 0);
    if (name == "old.pdf" || linkTo == "old.pdf") {
        QFile old(dir.filePath(QStringLiteral("old.pdf")));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        QVERIFY(old.setPermissions(QFile::ReadOwner | QFile::WriteOwner)); // kept when replaced
    }
    QByteArray piped;
    std::thread reader;
    if (name == "fifo") {
        QVERIFY(::mkfifo(path, 0600) == 0);
        reader = std::thread([&] { piped = contents(path); });
    }
    const mode_t before = kind(path, true), linkBefore = kind(path, false);

    const std::optional<QString> failure = saveNativeFile(path, bytes);
    if (reader.joinable())
        reader.join();

    QCOMPARE(failure.value_or(QString()).contains(reason), true);
    QCOMPARE(failure.has_value(), !reason.isEmpty());
    // Nothing that was there changed its kind; a link stays a link; a file, through its link,
    // holds the new bytes.
    QCOMPARE(kind(path, false), linkBefore ? linkBefore : failure ? 0 : S_IFREG);
    QVERIFY(!before || kind(path, true) == before);
    if (name == "fifo")
        QCOMPARE(piped, bytes);
    else if (!failure && kind(path, true) == S_IFREG)
        QCOMPARE(contents(path), bytes);
    if (linkTo == "old.pdf" || name == "old.pdf")
        QCOMPARE(QFile::permissions(dir.filePath(QStringLiteral("old.pdf"))) & 0x0777, 0x0600);
    QVERIFY(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".tmp").isEmpty());
    if (path.startsWith(folder))
        ::unlink(path); // a name Qt cannot decode is beyond QTemporaryDir's clean-up
}

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
