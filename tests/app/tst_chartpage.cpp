// "Curve" as a user runs it: the chart drawn on the curve page, and the chart printed.
#include "app/chartpage.h"
#include "app/formmain.h"
#include "app/inputpage.h"
#include "app/tablepage.h"
#include "chart/titrationchart.h"
#include "fakeplatform.h"

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

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return QStringLiteral("%1 failed").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestChartPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void drawsTheCurveOnThePage();
    void refusedInputsLeaveThePageEmpty();
    void printsOneLandscapePage();
    void noPrinterSaysSo();

private:
    void type(const char* box, const char* text)
    {
        auto* edit = window_->findChild<QLineEdit*>(QString::fromLatin1(box));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(text));
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void enterWeakAcidExample(const char* volume = "25")
    {
        QTest::mouseClick(window_->findChild<QRadioButton*>(QStringLiteral("Option1(1)")),
                          Qt::LeftButton);
        type("TxCBur", "0.1");
        type("TxVErl", volume);
        type("TxCErl", "0.1");
        type("TxKaKb", "1.8E-5");
        window_->findChild<QComboBox*>(QStringLiteral("ComboIND"))->setCurrentIndex(4);
    }
    void clickCurve()
    {
        QTest::mouseClick(window_->findChild<QWidget*>(QStringLiteral("Image5")), Qt::LeftButton,
                          {}, QPoint(10, 10));
    }

    QTemporaryDir dir_;
    FakePlatform fake_;
    std::unique_ptr<FormMain> window_;
};

void TestChartPage::init()
{
    fake_.printers.printers = {QStringLiteral("TestPDF")};
    fake_.printers.defaultName = QStringLiteral("TestPDF");
    fake_.printers.outputFile = dir_.filePath(QStringLiteral("curve.pdf"));
    fake_.printers.jobs = 0;
    fake_.messages.shown.clear();
    window_ = std::make_unique<FormMain>(fake_.platform);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestChartPage::cleanup()
{
    window_.reset();
}

void TestChartPage::drawsTheCurveOnThePage()
{
    enterWeakAcidExample();
    clickCurve();
    ChartPage* page = window_->curvePage();
    QVERIFY(page->isVisible());
    QVERIFY(!window_->inputPage()->isVisible() && !window_->tablePage()->isVisible());
    QCOMPARE(page->title()->text(), QStringLiteral("Titration of weak acid with strong base"));
    QCOMPARE(page->indicatorName()->text(), QStringLiteral("phenolphthalein"));
    QVERIFY(page->printButton()->isVisible());
    QCOMPARE(page->printButton()->toolTip(), QStringLiteral("TestPDF"));

    // The red dot in the middle at pH 8.722, the band at the right edge in the indicator's
    // colours: colourless at pH 1, violet at pH 13.
    const QImage image = page->grab().toImage();
    const chart::ChartGeometry g = chart::ChartGeometry::screen(768, 476);
    const int xe = static_cast<int>((g.X0 + g.XR) / 2);
    QCOMPARE(image.pixelColor(xe, static_cast<int>(std::lround(g.yOfPH(8.722)))),
             QColor(240, 0, 0));
    const int bandX = static_cast<int>(g.bandLeft + g.bandWidth / 2);
    QCOMPARE(image.pixelColor(bandX, static_cast<int>(g.yOfPH(1))), QColor(248, 248, 248));
    QCOMPARE(image.pixelColor(bandX, static_cast<int>(g.yOfPH(13))), QColor(224, 128, 255));
    // Green just beside the dot, on the steep part of the curve.
    bool green = false;
    for (int y = 0; y < image.height() && !green; ++y)
        green = image.pixelColor(xe - 3, y).green() > 120 && image.pixelColor(xe - 3, y).red() < 80;
    QVERIFY(green);

    // Covered and uncovered, the page shows the same picture.
    page->hide();
    page->show();
    QCOMPARE(page->grab().toImage(), image);
}

void TestChartPage::refusedInputsLeaveThePageEmpty()
{
    enterWeakAcidExample("4.99");
    clickCurve();
    ChartPage* page = window_->curvePage();
    QVERIFY(page->isVisible());
    QCOMPARE(page->title()->text(), QString());
    QVERIFY(!page->printButton()->isVisible());
    QImage white(page->picture().size(), page->picture().format());
    white.fill(Qt::white);
    QCOMPARE(page->picture(), white);
}

void TestChartPage::printsOneLandscapePage()
{
    enterWeakAcidExample();
    clickCurve();
    QTest::mouseClick(window_->curvePage()->printButton(), Qt::LeftButton);
    QCOMPARE(fake_.printers.jobs, 1);
    const QString info = run(QStringLiteral("pdfinfo"), {fake_.printers.outputFile});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+842 x 595 pts"))),
             qPrintable(info));
    const QString text =
        run(QStringLiteral("pdftotext"), {fake_.printers.outputFile, QStringLiteral("-")});
    QVERIFY(text.contains(QStringLiteral("Titration of weak acid with strong base")));
    QVERIFY(text.contains(QStringLiteral("phenolphthalein")));
    QVERIFY(text.contains(QStringLiteral("Equivalence point.  pH = 8.722")) ||
            text.contains(QStringLiteral("Equivalence point. pH = 8.722")));
    if (qEnvironmentVariableIsSet("KEEP_PDF"))
        QFile::copy(fake_.printers.outputFile, QStringLiteral("/tmp/kept-curve.pdf"));
}

void TestChartPage::noPrinterSaysSo()
{
    enterWeakAcidExample();
    clickCurve();
    fake_.printers.printers.clear();
    window_->curvePage()->printButton()->click();
    QCOMPARE(fake_.messages.shown.size(), 1);
    QCOMPARE(fake_.messages.shown[0].text, QStringLiteral("Sorry, no printer"));
    QCOMPARE(fake_.printers.jobs, 0);
}

QTEST_MAIN(TestChartPage)
#include "tst_chartpage.moc"
