// The wiring of the main window: that typing and the picture buttons reach the core, and that
// what it returns reaches the page, the clipboard and the print service, whatever that service
// does. The behaviour itself is tested where it lives, in the libraries; the real display,
// clipboard and print server in the end-to-end run.
#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/printcommand.h"
#include "app/tablepage.h"
#include "fakeplatform.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace app;
using Service = FakePrintSystem::Service;

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void tableCopyAndCurve();
    void typedMarkupStaysText();
    void printOutcomes_data();
    void printOutcomes();
    void silentServiceNeverHoldsTheWindow();

private:
    template <typename T> T* child(const char* name) const
    {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }
    /// The weak-acid example, typed as a user does; the constant as given.
    void typeExample(const QString& constant)
    {
        QTest::mouseClick(child<QRadioButton>("Option1(1)"), Qt::LeftButton);
        const std::pair<const char*, QString> boxes[] = {
            {"TxCBur", "0.1"}, {"TxVErl", "25"}, {"TxCErl", "0,1"}, {"TxKaKb", constant}};
        for (const auto& [box, text] : boxes) {
            child<QLineEdit>(box)->setFocus();
            QTest::keyClicks(child<QLineEdit>(box), text);
            QTest::keyClick(child<QLineEdit>(box), Qt::Key_Return);
        }
        window_->findChild<QWidget*>(QStringLiteral("ComboIND"))->setProperty("currentIndex", 4);
    }
    void click(const char* picture)
    {
        QTest::mouseClick(child<QWidget>(picture), Qt::LeftButton, {}, QPoint(10, 10));
    }
    QString printedText() const
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {fake_.printers.outputFile, QStringLiteral("-")});
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }

    QTemporaryDir dir_;
    FakePlatform fake_;
    std::unique_ptr<FormMain> window_;
};

void TestWindow::init()
{
    fake_.printers.service = Service::Accepts;
    fake_.printers.printers = {QStringLiteral("Office"), QStringLiteral("<b>TestPDF</b>")};
    fake_.printers.defaultName = QStringLiteral("<b>TestPDF</b>");
    fake_.printers.outputFile = dir_.filePath(QStringLiteral("job.pdf"));
    fake_.printers.jobs = 0;
    fake_.shown.clear();
    window_ = std::make_unique<FormMain>(fake_.platform);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    // The pages use the background query's latest answer.
    QTRY_VERIFY(window_->latestPrinter());
}

void TestWindow::tableCopyAndCurve()
{
    typeExample(QStringLiteral("1.8E-5"));
    QCOMPARE(child<QLabel>("LblpHErl")->text(), QStringLiteral("pH = 2.876"));
    click("Image4");
    QVERIFY(window_->tablePage()->isVisible() && !window_->inputPage()->isVisible());
    // The printer's name is shown as it is, markup and all.
    QCOMPARE(window_->tablePage()->printButton()->toolTip(),
             QStringLiteral("<p style='white-space:pre'>&lt;b&gt;TestPDF&lt;/b&gt;</p>"));
    QTest::mouseClick(child<QPushButton>("CmdCopiar"), Qt::LeftButton);
    QVERIFY(fake_.clipboard.startsWith("Titration of weak acid with strong base\r\n"));
    fake_.refuseClipboard = true;
    QTest::mouseClick(child<QPushButton>("CmdCopiar"), Qt::LeftButton);
    QCOMPARE(fake_.shown.value(1),
             QStringLiteral("Sorry, the clipboard could not be set. Please try again."));
    fake_.refuseClipboard = false;
    click("Image5");
    QCOMPARE(window_->curvePage()->title()->text(),
             QStringLiteral("Titration of weak acid with strong base"));
    QVERIFY(window_->curvePage()->printButton()->isVisible());
}

void TestWindow::typedMarkupStaysText()
{
    // Rich text nested this deep kept the layout busy for minutes.
    const QString markup =
        QStringLiteral("1e-5<b>x</b>\n") + QStringLiteral("<TABLE><TR><TD>").repeated(25);
    typeExample(QStringLiteral("1"));
    child<QLineEdit>("TxKaKb")->setText(markup); // as pasted, line break included
    click("Image4");
    auto* line = child<QLabel>("Label1(5)");
    QCOMPARE(line->textFormat(), Qt::PlainText);
    QCOMPARE(line->text(), QStringLiteral("  Acidity constant Ka = ") +
                               markup.toUpper().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    QCOMPARE(child<QLabel>("Label1(7)")->text(),
             QStringLiteral("  Volume added  25 mL,  pH = 8.85"));
}

void TestWindow::printOutcomes_data()
{
    QTest::addColumn<bool>("table");
    QTest::addColumn<Service>("service");
    QTest::addColumn<bool>("printer");
    QTest::addColumn<QString>("message");
    const QString refused =
        QStringLiteral("could not be printed.\nserver-error-not-accepting-jobs");
    QTest::newRow("table printed") << true << Service::Accepts << true << QString();
    QTest::newRow("curve printed") << false << Service::Accepts << true << QString();
    QTest::newRow("table refused")
        << true << Service::Refuses << true << "Sorry, the table " + refused;
    QTest::newRow("curve refused")
        << false << Service::Refuses << true << "Sorry, the curve " + refused;
    QTest::newRow("table, printer removed")
        << true << Service::Accepts << false << "Sorry, no printer.";
    QTest::newRow("curve, printer removed")
        << false << Service::Accepts << false << "Sorry, no printer";
}

void TestWindow::printOutcomes()
{
    QFETCH(bool, table);
    QFETCH(Service, service);
    QFETCH(bool, printer);
    QFETCH(QString, message);
    typeExample(QStringLiteral("1.8E-5"));
    click(table ? "Image4" : "Image5");
    QPushButton* button =
        table ? window_->tablePage()->printButton() : window_->curvePage()->printButton();
    fake_.printers.service = service;
    if (!printer)
        fake_.printers.printers.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!button->findChild<PrintCommand*>()->busy(), 10000);
    QCOMPARE(fake_.shown.value(1), message);
    QCOMPARE(fake_.printers.jobs.load(), printer ? 1 : 0);
    QVERIFY(button->isEnabled());
    if (message.isEmpty()) // the page's own drawing, on the queue's paper
        QVERIFY(printedText().contains(table ? QLatin1String("Volume added 25 mL, pH = 8.722")
                                             : QLatin1String("Equivalence point. pH = 8.722")));
}

void TestWindow::silentServiceNeverHoldsTheWindow()
{
    fake_.printers.service = Service::Silent;
    typeExample(QStringLiteral("1.8E-5"));
    click("Image4");
    QElapsedTimer clock;
    clock.start();
    QPushButton* button = window_->tablePage()->printButton();
    for (int i = 0; i < 20; ++i) // impatient clicks make one command
        QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isEnabled());
    QVERIFY(clock.elapsed() < PrintCommand::kAnswerBoundMs);
    QTRY_COMPARE(fake_.shown.size(), 2);
    QCOMPARE(fake_.shown.value(1), QStringLiteral("Sorry, no printer."));
    QCOMPARE(fake_.printers.jobs.load(), 0);
    QVERIFY(button->isEnabled());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
