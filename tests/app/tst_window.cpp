// The wiring of the main window: what a click or a key reaches, and that what the core returns
// reaches the page, the clipboard or the print service. The behaviour itself is tested where
// it lives, in the libraries.
#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/printcommand.h"
#include "app/shape.h"
#include "app/tablepage.h"
#include "fakeplatform.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace app;

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void boxesRefreshTheSchematic_data();
    void boxesRefreshTheSchematic();
    void tableAndCopy();
    void typedMarkupStaysText();
    void curveAndItsPrintout();
    void printOutcomes_data();
    void printOutcomes();
    void silentServiceNeverHoldsTheWindow();

private:
    template <typename T> T* child(const char* name) const
    {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }
    QString text(const char* label) const { return child<QLabel>(label)->text(); }
    void enter(const char* box, const QString& text)
    {
        auto* edit = child<QLineEdit>(box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void enterExample(int type, const QString& constant = QStringLiteral("1.8E-5"))
    {
        QTest::mouseClick(child<QRadioButton>(qPrintable(QStringLiteral("Option1(%1)").arg(type))),
                          Qt::LeftButton);
        enter("TxCBur", QStringLiteral("0.1"));
        enter("TxVErl", QStringLiteral("25"));
        enter("TxCErl", QStringLiteral("0,1")); // typed comma read as a point
        if (type % 2)
            enter("TxKaKb", constant);
        child<QComboBox>("ComboIND")->setCurrentIndex(4); // phenolphthalein
    }
    void click(const char* picture)
    {
        QTest::mouseClick(child<QWidget>(picture), Qt::LeftButton, {}, QPoint(10, 10));
    }
    /// Waits for the first answer of the printer query, which the pages then use.
    void awaitPrinterQuery(bool printer)
    {
        QTRY_COMPARE(window_->latestPrinter().has_value(), printer);
    }
    void print(QPushButton* button)
    {
        auto* command = button->findChild<PrintCommand*>();
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!command->busy(), 10000);
    }
    static QString pdf(const QString& tool, const QString& file)
    {
        QProcess p;
        p.start(tool, tool == QLatin1String("pdfinfo") ? QStringList{file}
                                                       : QStringList{file, QStringLiteral("-")});
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QTemporaryDir dir_;
    FakePlatform fake_;
    std::unique_ptr<FormMain> window_;
};

void TestWindow::init()
{
    fake_.printers.service = FakePrintSystem::Service::Accepts;
    fake_.printers.printers = {QStringLiteral("Office"), QStringLiteral("<b>TestPDF</b>")};
    fake_.printers.defaultName = QStringLiteral("<b>TestPDF</b>");
    fake_.printers.outputFile = dir_.filePath(QStringLiteral("job.pdf"));
    fake_.printers.jobs = 0;
    fake_.messages.shown.clear();
    QFile::remove(fake_.printers.outputFile);
    window_ = std::make_unique<FormMain>(fake_.platform);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestWindow::cleanup()
{
    window_.reset();
}

void TestWindow::boxesRefreshTheSchematic_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("burette");
    QTest::addColumn<QString>("flask");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QColor>("flaskColour");
    QTest::newRow("strong acid") << 0 << "pH = 13"
                                 << "pH = 1"
                                 << "Appropriate" << QColor(248, 248, 248);
    QTest::newRow("weak base") << 3 << "pH = 1"
                               << "pH = 11.125"
                               << "Inappropriate" << QColor(224, 128, 255);
}

void TestWindow::boxesRefreshTheSchematic()
{
    QFETCH(int, type);
    QFETCH(QString, burette);
    QFETCH(QString, flask);
    QFETCH(QString, verdict);
    QFETCH(QColor, flaskColour);
    enterExample(type);
    QCOMPARE(text("LblpHBur"), burette);
    QCOMPARE(text("LblpHErl"), flask);
    QCOMPARE(text("Label5(10)"), verdict);
    QCOMPARE(child<Shape>("ShErlem")->fillColour(), flaskColour);
}

void TestWindow::tableAndCopy()
{
    awaitPrinterQuery(true);
    enterExample(1);
    click("Image4");
    QVERIFY(window_->tablePage()->isVisible());
    QVERIFY(!window_->inputPage()->isVisible());
    QCOMPARE(text("Label1(7)"), QStringLiteral("  Volume added  25 mL,  pH = 8.722"));
    // The printer's name is shown as it is, markup and all.
    QCOMPARE(window_->tablePage()->printButton()->toolTip(),
             QStringLiteral("<p style='white-space:pre'>&lt;b&gt;TestPDF&lt;/b&gt;</p>"));

    QTest::mouseClick(child<QPushButton>("CmdCopiar"), Qt::LeftButton);
    QFile expected(QStringLiteral(ACIDORA_SOURCE_DIR "/scripts/e2e-expected/weak-acid.txt"));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(fake_.clipboard.text, QString::fromLatin1(expected.readAll()));

    fake_.clipboard.refuse = true;
    QTest::mouseClick(child<QPushButton>("CmdCopiar"), Qt::LeftButton);
    QCOMPARE(fake_.messages.shown.value(1),
             QStringLiteral("Sorry, the clipboard could not be set. Please try again."));
    fake_.clipboard.refuse = false;
}

void TestWindow::typedMarkupStaysText()
{
    // Rich text nested this deep kept the layout busy for minutes.
    const QString markup =
        QStringLiteral("1e-5<b>x</b>\n") + QStringLiteral("<TABLE><TR><TD>").repeated(25);
    enterExample(1, QStringLiteral("1e-5"));
    child<QLineEdit>("TxKaKb")->setText(markup); // as pasted, line break included
    click("Image4");
    auto* line = child<QLabel>("Label1(5)");
    QCOMPARE(line->textFormat(), Qt::PlainText);
    QCOMPARE(line->text(), QStringLiteral("  Acidity constant Ka = ") +
                               markup.toUpper().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    QCOMPARE(text("Label1(7)"), QStringLiteral("  Volume added  25 mL,  pH = 8.85"));
    QTest::mouseClick(child<QPushButton>("CmdCopiar"), Qt::LeftButton);
    QCOMPARE(fake_.clipboard.text.count(QStringLiteral("\r\n")), 43); // as the worked example
}

void TestWindow::curveAndItsPrintout()
{
    awaitPrinterQuery(true);
    enterExample(1);
    click("Image5");
    ChartPage* page = window_->curvePage();
    QCOMPARE(page->title()->text(), QStringLiteral("Titration of weak acid with strong base"));
    QCOMPARE(page->indicatorName()->text(), QStringLiteral("phenolphthalein"));
    // The chart reached the picture (what it draws is checked on the chart itself).
    const QImage shot = page->picture();
    int inked = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            inked += shot.pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY(inked > 5000);

    print(page->printButton());
    QCOMPARE(fake_.printers.jobs.load(), 1);
    const QString info = pdf(QStringLiteral("pdfinfo"), fake_.printers.outputFile);
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+842 x 595 pts"))),
             qPrintable(info));
    const QString text = pdf(QStringLiteral("pdftotext"), fake_.printers.outputFile).simplified();
    QVERIFY(text.contains(QLatin1String("phenolphthalein")));
    QVERIFY(text.contains(QLatin1String("Equivalence point. pH = 8.722")));
}

void TestWindow::printOutcomes_data()
{
    QTest::addColumn<bool>("table");
    QTest::addColumn<int>("service");
    QTest::addColumn<bool>("printer");
    QTest::addColumn<QString>("message");
    const int accepts = int(FakePrintSystem::Service::Accepts);
    const int refuses = int(FakePrintSystem::Service::Refuses);
    QTest::newRow("table printed") << true << accepts << true << QString();
    QTest::newRow("table refused")
        << true << refuses << true
        << "Sorry, the table could not be printed.\nserver-error-not-accepting-jobs";
    QTest::newRow("curve refused")
        << false << refuses << true
        << "Sorry, the curve could not be printed.\nserver-error-not-accepting-jobs";
    QTest::newRow("table, printer removed") << true << accepts << false << "Sorry, no printer.";
    QTest::newRow("curve, printer removed") << false << accepts << false << "Sorry, no printer";
}

void TestWindow::printOutcomes()
{
    QFETCH(bool, table);
    QFETCH(int, service);
    QFETCH(bool, printer);
    QFETCH(QString, message);
    awaitPrinterQuery(true);
    enterExample(1);
    click(table ? "Image4" : "Image5");
    QPushButton* button =
        table ? window_->tablePage()->printButton() : window_->curvePage()->printButton();
    QVERIFY(button->isVisible());
    fake_.printers.service = FakePrintSystem::Service(service);
    if (!printer)
        fake_.printers.printers.clear();
    print(button);
    QCOMPARE(fake_.messages.shown.value(1), message);
    QCOMPARE(fake_.printers.jobs.load(), printer ? 1 : 0);
    QVERIFY(button->isEnabled());
    if (message.isEmpty()) {
        const QString page = pdf(QStringLiteral("pdftotext"), fake_.printers.outputFile);
        QVERIFY(page.contains(QLatin1String("Table of values")));
        QVERIFY(page.contains(QLatin1String("12.52"))); // the last row
    }
}

void TestWindow::silentServiceNeverHoldsTheWindow()
{
    awaitPrinterQuery(true);
    fake_.printers.service = FakePrintSystem::Service::Silent;
    enterExample(1);
    click("Image4");
    QElapsedTimer clock;
    clock.start();
    QPushButton* button = window_->tablePage()->printButton();
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isEnabled());
    for (int i = 0; i < 20; ++i) // impatient clicks make no further job
        QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(clock.elapsed() < PrintCommand::kAnswerBoundMs);
    QTRY_COMPARE(fake_.messages.shown.size(), 2);
    QCOMPARE(fake_.messages.shown.value(1), QStringLiteral("Sorry, no printer."));
    QCOMPARE(fake_.printers.jobs.load(), 0);
    QVERIFY(button->isEnabled());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
