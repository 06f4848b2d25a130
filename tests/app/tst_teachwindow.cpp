// Teaching in the window: the curve's readout explaining its pH, the quiz asked and graded from
// the keyboard, and the worksheet saved through the file dialog.
#include "../chart/chartsetup.h"
#include "fakedesktop.h"

#include "app/chartpage.h"
#include "app/printcommand.h"
#include "app/quizdialog.h"
#include "app/tablepage.h"
#include "app/worksheetcommand.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace app;
using chart::test::TitrationType;

class TestTeachWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); } // the folder saved to
    void readoutExplains_data();
    void readoutExplains();
    void tableRowExplains();
    void quizFromKeyboard();
    void worksheetSaved();
};

void TestTeachWindow::readoutExplains_data()
{
    QTest::addColumn<TitrationType>("type");
    QTest::addColumn<double>("volume");
    QTest::addColumn<QString>("shown"); // in the explanation and what a screen reader hears
    QTest::newRow("half-way, the buffer")
        << TitrationType::WeakAcidStrongBase << 12.5 << "pH = pKa + log(n(A⁻)/n(HA)) = 4.74";
    QTest::newRow("strong acid before its point")
        << TitrationType::StrongAcidStrongBase << 10.0 << "strong acid in excess";
    QTest::newRow("past the point")
        << TitrationType::StrongAcidStrongBase << 40.0 << "excess titrant";
}

void TestTeachWindow::readoutExplains()
{
    QFETCH(TitrationType, type);
    QFETCH(double, volume);
    QFETCH(QString, shown);
    const auto chart = chart::test::chartOf(chart::test::input(type, 25, 1.8e-5));
    QVERIFY(chart);
    ChartPage page(nullptr);
    page.show();
    page.draw(*chart);
    const chart::PlotTransform plot = chart::plotTransform(
        chart::ChartGeometry::screen(ChartPage::kSize.width(), ChartPage::kSize.height()), *chart);
    // Where a pixel reads the volume asked (the nearest pixel may be a little off it).
    const int x = int(std::lround(plot.xOfVolume(volume)));
    QTest::mouseMove(&page, QPoint(x, 200));
    QVERIFY2(page.explanation().contains(shown, Qt::CaseInsensitive),
             qPrintable(page.explanation()));
    QVERIFY(page.accessibleDescription().startsWith(page.readout()));
    QVERIFY(page.accessibleDescription().contains(shown, Qt::CaseInsensitive));
    const QString first = page.explanation();
    QTest::mouseMove(&page, QPoint(x + 40, 200)); // another volume, explained again
    QVERIFY(!page.explanation().isEmpty() && page.explanation() != first);
    page.Cls();
    QCOMPARE(page.explanation(), QString());
}

void TestTeachWindow::tableRowExplains()
{
    // The keyboard's cursor on the 10 mL row of a weak acid's table: a screen reader hears
    // the buffer's formula; on the heading, nothing.
    FakeDesktop desktop;
    TablePage page(nullptr, desktop.platform);
    report::CalculationInput run;
    run.type = TitrationType::WeakAcidStrongBase;
    run.inputs = {0.1, 0.1, 25, 1.8e-5};
    page.showReport(*report::runCalculation(run), QStringLiteral("weak acid"));
    auto* table = page.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    const QTextCursor row = table->document()->find(QRegularExpression(R"(^\s*10\.00\s)"));
    QVERIFY(!row.isNull());
    table->setTextCursor(row);
    QVERIFY2(table->accessibleDescription().contains("pH = pKa + log(n(A⁻)/n(HA)) = 4.74 + log("),
             qPrintable(table->accessibleDescription()));
    table->moveCursor(QTextCursor::Start);
    QCOMPARE(table->accessibleDescription(), QString());
}

void TestTeachWindow::quizFromKeyboard()
{
    // The same seed asks the same questions: the first answered right, the second wrong.
    const std::vector<teach::Question> key = teach::makeQuiz(7, 2);
    QCOMPARE(key.size(), 2u);
    QuizDialog quiz(nullptr, 7, 2);
    quiz.show();
    QLineEdit* answer = quiz.answerBox();
    QCOMPARE(quiz.questionLabel()->text().toStdString(), key[0].question);
    QTest::keyClick(answer, Qt::Key_Return); // nothing typed: not graded
    QVERIFY(quiz.scoreLabel()->text().contains("0 of 0 right"));
    QTest::keyClicks(answer,
                     QString::fromStdString(key[0].answer.substr(0, key[0].answer.find(','))));
    QTest::keyClick(answer, Qt::Key_Return);
    QVERIFY2(quiz.messageLabel()->text().startsWith("Right"),
             qPrintable(quiz.messageLabel()->text()));
    QVERIFY(quiz.scoreLabel()->text().contains("1 of 1 right"));
    QTest::keyClick(answer, Qt::Key_Return); // on to the next
    QCOMPARE(quiz.questionLabel()->text().toStdString(), key[1].question);
    QTest::keyClicks(answer, "999");
    QTest::keyClick(answer, Qt::Key_Return);
    QVERIFY(quiz.messageLabel()->text().startsWith("Wrong"));
    QCOMPARE(quiz.scoreLabel()->accessibleName(), quiz.scoreLabel()->text());
    QVERIFY(quiz.scoreLabel()->text().contains("1 of 2 right"));
    QTest::keyClick(answer, Qt::Key_Return); // the last one answered: a new quiz
    QVERIFY(quiz.seed() != 7u);
    QVERIFY(quiz.scoreLabel()->text().contains("0 of 0 right"));
}

namespace {

/// A worksheet's problems as its PDF's text counts them (a title on the sheet, one in the key),
/// once its last footer agrees with the file's page count; -1 when it does not.
int worksheetProblemsIn(const QString& path)
{
    QProcess pdf;
    pdf.start("pdftotext", {"-layout", path, "-"});
    pdf.waitForFinished();
    const QString text = QString::fromUtf8(pdf.readAllStandardOutput());
    const QRegularExpressionMatch last =
        QRegularExpression("Page (\\d+) of (\\d+)\\s*$").match(text);
    pdf.start("pdfinfo", {path});
    pdf.waitForFinished();
    const QString info = QString::fromUtf8(pdf.readAllStandardOutput());
    if (!last.hasMatch() || last.captured(1) != last.captured(2) ||
        !info.contains(QRegularExpression("Pages:\\s+" + last.captured(2) + "\n")))
        return -1;
    return int(text.count(QRegularExpression("Problem \\d"))) / 2;
}

} // namespace

void TestTeachWindow::worksheetSaved()
{
    QTemporaryDir dir;
    FakeDesktop desktop;
    WorksheetDialog dialog(nullptr, desktop.platform);
    dialog.problems()->setValue(3);
    dialog.seed()->setValue(11);
    QVERIFY(!dialog.save()); // the dialog cancelled: nothing written
    desktop.saveAs = dir.filePath("sheet.pdf");
    QVERIFY(dialog.save());
    QCOMPARE(worksheetProblemsIn(desktop.saveAs), 3);
    // Printed, the same pages go to the print service.
    desktop.output = dir.filePath("printed.pdf");
    dialog.problems()->setValue(5);
    dialog.printButton()->click();
    QTRY_COMPARE(desktop.jobs.load(), 1);
    QTRY_VERIFY(!dialog.printCommand()->busy());
    QCOMPARE(worksheetProblemsIn(desktop.output), 5);
}

QTEST_MAIN(TestTeachWindow)
#include "tst_teachwindow.moc"
