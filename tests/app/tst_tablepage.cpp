// "Table & results" as a user runs it: the results page, the copy on the clipboard, and the
// printed page read back from the PDF it produced.
#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/tablepage.h"
#include "fakeplatform.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace app;

namespace {

const char* const kWeakAcidReport =
    "Titration of weak acid with strong base\r\n"
    "Titrant (burette):\r\n"
    "  Strong base concentration 0.1 mol/L.  pH = 13\r\n"
    "Analyte (erlenmeyer flask): \r\n"
    "  25 mL of weak acid. Concentration 0.1 mol/L.  pH = 2.88\r\n"
    "  Acidity constant Ka = 1.8E-5\r\n"
    "Equivalence point:\r\n"
    "  Volume added  25 mL,  pH = 8.722\r\n"
    "Range of added titrant volume when error < 1%\r\n"
    "  [ 24.75 ,  25.25 ] mL\r\n"
    "Range of pH when error < 1%\r\n"
    "  [ 10.7 ,  6.74 ]\r\n"
    "Indicator:\r\n"
    "  phenolphthalein  [very appropriate]\r\n"
    "  Colour change: colourless (acid)  -  violet (basic)\r\n"
    "  pH range:  [ 8.2 ,  9.8 ]\r\n"
    "Table of values (added Vol. [mL] and pH)\r\n"
    "    Vol.    pH\r\n"
    "    0.00    2.88\r\n    5.00    4.15\r\n   10.00    4.57\r\n   15.00    4.92\r\n"
    "   20.00    5.35\r\n   22.00    5.61\r\n   23.00    5.81\r\n   24.00    6.13\r\n"
    "   24.75    6.74\r\n   24.80    6.84\r\n   24.85    6.96\r\n   24.90    7.14\r\n"
    "   24.95    7.44\r\n   25.00    8.72\r\n   25.05   10.00\r\n   25.10   10.30\r\n"
    "   25.15   10.48\r\n   25.20   10.60\r\n   26.00   11.29\r\n   27.00   11.59\r\n"
    "   30.00   11.96\r\n   35.00   12.22\r\n   40.00   12.36\r\n   45.00   12.46\r\n"
    "   50.00   12.52\r\n";

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return QStringLiteral("%1 failed: %2").arg(program, process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestTablePage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void copyPutsTheReportOnTheClipboard();
    void refusedRunHidesEveryPageAndKeepsTheReport();
    void printButtonOnlyWithAPrinter();
    void printsOnePortraitPage();
    void shortPageContinuesOverleaf();
    void noPrinterSaysSo();
    void clipboardRefusalSaysSo();

private:
    template <typename T> T* child(const QString& name) const
    {
        return window_->findChild<T*>(name);
    }
    void type(const QString& box, const QString& text)
    {
        auto* edit = child<QLineEdit>(box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void enterWeakAcidExample()
    {
        QTest::mouseClick(child<QRadioButton>(QStringLiteral("Option1(1)")), Qt::LeftButton);
        type(QStringLiteral("TxCBur"), QStringLiteral("0.1"));
        type(QStringLiteral("TxVErl"), QStringLiteral("25"));
        type(QStringLiteral("TxCErl"), QStringLiteral("0,1"));
        type(QStringLiteral("TxKaKb"), QStringLiteral("1.8E-5"));
        child<QComboBox>(QStringLiteral("ComboIND"))->setCurrentIndex(4); // phenolphthalein
    }
    void click(const char* name)
    {
        QWidget* w = child<QWidget>(QString::fromLatin1(name));
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(10, 10));
    }
    QString printedText(const QString& pdf) const
    {
        return run(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    }

    QTemporaryDir dir_;
    FakePlatform fake_;
    QtClipboard realClipboard_;
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<FormMain> window_;
};

void TestTablePage::init()
{
    fake_.printers.printers = {QStringLiteral("TestPDF")};
    fake_.printers.defaultName = QStringLiteral("TestPDF");
    fake_.printers.outputFile = dir_.filePath(QStringLiteral("table.pdf"));
    fake_.printers.pageSize = QPageSize(QPageSize::A4);
    fake_.printers.jobs = 0;
    fake_.messages.shown.clear();
    fake_.clipboard.refuse = false;
    platform_ = std::make_unique<Platform>(
        Platform{fake_.printers, realClipboard_, fake_.messages, fake_.opener});
    window_ = std::make_unique<FormMain>(*platform_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestTablePage::cleanup()
{
    window_.reset();
    if (qEnvironmentVariableIsSet("KEEP_PDF"))
        QFile::copy(fake_.printers.outputFile,
                    QStringLiteral("/tmp/kept-%1.pdf").arg(QTest::currentTestFunction()));
    QFile::remove(fake_.printers.outputFile);
}

void TestTablePage::copyPutsTheReportOnTheClipboard()
{
    enterWeakAcidExample();
    click("Image4");
    QVERIFY(window_->tablePage()->isVisible());
    QVERIFY(!window_->inputPage()->isVisible());
    QVERIFY(!window_->curvePage()->isVisible());

    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    click("CmdCopiar");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(kWeakAcidReport));
    QVERIFY(fake_.messages.shown.isEmpty());
}

void TestTablePage::refusedRunHidesEveryPageAndKeepsTheReport()
{
    enterWeakAcidExample();
    click("Image4");
    auto* equivalence = child<QLabel>(QStringLiteral("Label1(7)"));
    const QString before = equivalence->text();

    click("Image3");
    type(QStringLiteral("TxVErl"), QStringLiteral("4.99")); // Veq 4.99 mL
    click("Image4");
    QVERIFY(!window_->inputPage()->isVisible());
    QVERIFY(!window_->tablePage()->isVisible());
    QVERIFY(!window_->curvePage()->isVisible());
    QCOMPARE(equivalence->text(), before);

    click("Image3");
    QVERIFY(window_->inputPage()->isVisible());
}

void TestTablePage::printButtonOnlyWithAPrinter()
{
    enterWeakAcidExample();
    click("Image4");
    auto* print = child<QPushButton>(QStringLiteral("CmdPRINT"));
    QVERIFY(print->isVisible());
    QCOMPARE(print->toolTip(), QStringLiteral("TestPDF"));

    fake_.printers.printers.clear();
    click("Image4");
    QVERIFY(window_->tablePage()->isVisible());
    QVERIFY(!print->isVisible());
}

void TestTablePage::printsOnePortraitPage()
{
    enterWeakAcidExample();
    click("Image4");
    click("CmdPRINT");
    QCOMPARE(fake_.printers.jobs, 1);
    QVERIFY(!QApplication::overrideCursor());

    const QString info = run(QStringLiteral("pdfinfo"), {fake_.printers.outputFile});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595 x 842 pts"))),
             qPrintable(info));

    // Every report line and table row, in order (text extraction does not keep runs of
    // blanks, so they are compared simplified).
    const QString text = printedText(fake_.printers.outputFile).simplified();
    qsizetype at = 0;
    const QStringList lines = QString::fromLatin1(kWeakAcidReport).split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype found = text.indexOf(line.simplified(), at);
        QVERIFY2(found >= 0, qPrintable(line));
        at = found + line.simplified().size();
    }
}

void TestTablePage::shortPageContinuesOverleaf()
{
    fake_.printers.pageSize = QPageSize(QSizeF(210, 180), QPageSize::Millimeter);
    enterWeakAcidExample();
    click("Image4");
    click("CmdPRINT");

    const QString info = run(QStringLiteral("pdfinfo"), {fake_.printers.outputFile});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(info));
    const QString text = printedText(fake_.printers.outputFile);
    const QStringList pages = text.split(QLatin1Char('\f'));
    QVERIFY(pages.size() >= 2);
    QVERIFY(pages[0].simplified().contains(QStringLiteral("0.00 2.88")));
    QVERIFY(pages[1].simplified().contains(QStringLiteral("50.00 12.52")));
    // No row lost at the break: all 25 rows are there.
    int rowsFound = 0;
    for (auto it =
             QRegularExpression(QStringLiteral("\\d+\\.\\d\\d +-?\\d+\\.\\d\\d")).globalMatch(text);
         it.hasNext(); it.next())
        ++rowsFound;
    QCOMPARE(rowsFound, 25);
}

void TestTablePage::noPrinterSaysSo()
{
    fake_.printers.printers.clear();
    enterWeakAcidExample();
    click("Image4");
    window_->tablePage()->CmdPRINT_Click();
    QCOMPARE(fake_.messages.shown.size(), 1);
    QCOMPARE(fake_.messages.shown[0].text, QStringLiteral("Sorry, no printer."));
    QCOMPARE(fake_.printers.jobs, 0);
}

void TestTablePage::clipboardRefusalSaysSo()
{
    window_.reset();
    fake_.clipboard.refuse = true;
    window_ = std::make_unique<FormMain>(fake_.platform);
    window_->show();
    enterWeakAcidExample();
    click("Image4");
    click("CmdCopiar");
    QCOMPARE(fake_.messages.shown.size(), 1);
    QVERIFY(fake_.messages.shown[0].text.contains(QStringLiteral("clipboard")));
    QVERIFY(window_->tablePage()->isVisible());
}

QTEST_MAIN(TestTablePage)
#include "tst_tablepage.moc"
