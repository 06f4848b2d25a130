// The calculation run: when it refuses, and the report and table it writes, checked against
// the worked examples that the end-to-end run also reads back from the clipboard.
#include "report/calculationrun.h"

#include <QFile>
#include <QTest>

#include <cmath>

using namespace report;

namespace {

CalculationInput input(int type, double analyteConc, double analyteVolume, double titrantConc,
                       double K = -1.0)
{
    CalculationInput in;
    in.type = chem::titrationTypeFromIndex(type);
    in.inputs = {titrantConc, analyteConc, analyteVolume, K};
    return in;
}

/// The report as the clipboard holds it: each line with CR LF, then the table.
QString asCopied(const Report& r)
{
    QString text;
    for (const std::string& line : r.lines)
        text += QString::fromStdString(line) + QLatin1String("\r\n");
    return text + QString::fromStdString(r.table);
}

} // namespace

class TestCalculationRun : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void typedConstantShownAsOneLine();
    void refusesOutsideItsRange_data();
    void refusesOutsideItsRange();
    void largestTitrationSteps50();
    void tableRowFields();
};

void TestCalculationRun::workedExamples_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("analyteConc");
    QTest::addColumn<double>("analyteVolume");
    QTest::addColumn<QString>("constant");
    QTest::addColumn<int>("indicator");
    QTest::addColumn<QString>("file");
    QTest::newRow("strong acid") << 0 << 0.2 << 12.3 << "" << 0 << "strong-acid";
    QTest::newRow("weak acid") << 1 << 0.1 << 25.0 << " 1.8e-5 " << 1 << "weak-acid";
    QTest::newRow("strong base") << 2 << 0.1 << 25.0 << "" << 2 << "strong-base";
    QTest::newRow("weak base") << 3 << 0.1 << 25.0 << "1.8E-5" << 3 << "weak-base";
}

void TestCalculationRun::workedExamples()
{
    QFETCH(int, type);
    QFETCH(double, analyteConc);
    QFETCH(double, analyteVolume);
    QFETCH(QString, constant);
    QFETCH(int, indicator);
    QFETCH(QString, file);
    // The indicator's entry and the verdict, as the window hands them over.
    const std::pair<IndicatorInfo, const char*> indicators[] = {
        {{"bromothymol blue", 6.0, 7.6, "yellow", "blue"}, "Very appropriate"},
        {{"phenolphthalein", 8.2, 9.8, "colourless", "violet"}, "Very appropriate"},
        {{"methyl orange", 3.1, 4.4, "red", "yellow orange"}, "Appropriate"},
        {{"methyl red", 4.4, 6.2, "red", "yellow orange"}, "Very appropriate"}};
    CalculationInput in = input(type, analyteConc, analyteVolume, 0.1, constant.toDouble());
    in.constantText = constant.toStdString();
    std::tie(in.indicator, in.verdictCaption) = indicators[indicator];

    QFile expected(QStringLiteral(ACIDORA_SOURCE_DIR "/scripts/e2e-expected/%1.txt").arg(file));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    const std::optional<Report> r = runCalculation(in);
    QVERIFY(r);
    QCOMPARE(asCopied(*r), QString::fromLatin1(expected.readAll()));
}

void TestCalculationRun::typedConstantShownAsOneLine()
{
    // Control characters (a pasted line break, a tab) show as one blank each.
    CalculationInput in = input(1, 0.1, 25, 0.1, 1e-5);
    in.constantText = "\t1e-5\r\n<b>x</b>\x01 ";
    const std::optional<Report> r = runCalculation(in);
    QVERIFY(r);
    QCOMPARE(r->lines[5], std::string("  Acidity constant Ka = 1E-5  <B>X</B>"));
    QCOMPARE(r->lines[13] + r->lines[14] + r->lines[15], std::string("No indicator"));
}

void TestCalculationRun::refusesOutsideItsRange_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("analyteVolume");
    QTest::addColumn<double>("K");
    QTest::addColumn<int>("flag");
    QTest::addColumn<bool>("accepted");
    // 0.1 M analyte and titrant: Veq equals the analyte volume.
    QTest::newRow("Veq 5 mL") << 0 << 5.0 << -1.0 << 0 << true;
    QTest::newRow("Veq 4.99 mL") << 0 << 4.99 << -1.0 << 0 << false;
    QTest::newRow("Veq 300 mL") << 2 << 300.0 << -1.0 << 0 << true;
    QTest::newRow("Veq 300.01 mL") << 2 << 300.01 << -1.0 << 0 << false;
    QTest::newRow("weak acid without its constant") << 1 << 25.0 << -1.0 << 0 << false;
    QTest::newRow("weak base without its constant") << 3 << 25.0 << -1.0 << 0 << false;
    QTest::newRow("the refresh failed") << 1 << 25.0 << 1.8e-5 << 1 << false;
    QTest::newRow("no volume given") << 0 << -1.0 << -1.0 << 0 << false;
    QTest::newRow("no type chosen") << -1 << 25.0 << -1.0 << 0 << false;
}

void TestCalculationRun::refusesOutsideItsRange()
{
    QFETCH(int, type);
    QFETCH(double, analyteVolume);
    QFETCH(double, K);
    QFETCH(int, flag);
    QFETCH(bool, accepted);
    CalculationInput in = input(type, 0.1, analyteVolume, 0.1, K);
    in.calcErrorFlag = flag;
    QCOMPARE(runCalculation(in).has_value(), accepted);
}

void TestCalculationRun::largestTitrationSteps50()
{
    const std::optional<Report> r = runCalculation(input(0, 0.1, 300, 0.1));
    QVERIFY(r);
    QStringList coarse;
    const QStringList rows = QString::fromStdString(r->table).split(QStringLiteral("\r\n"));
    for (const QString& row : rows.mid(1, rows.size() - 2))
        if (std::fmod(row.left(8).toDouble(), 50) == 0)
            coarse << row.left(8).trimmed();
    QCOMPARE(coarse.join(' '), QStringLiteral("0.00 50.00 100.00 150.00 200.00 250.00 300.00 "
                                              "350.00 400.00 450.00 500.00 550.00 600.00"));
    // 30 mmol of base left in 900 mL: pOH 1.48.
    QCOMPARE(rows[rows.size() - 2], QStringLiteral("  600.00   12.52"));
    // The coarse step grows as 2·Veq passes 20, 40, 100, 200 and 400 mL: just below each,
    // the finer step's first volume is in the table; just above, it is not.
    const double steps[][2] = {{10, 1}, {20, 2}, {50, 5}, {100, 10}, {200, 20}};
    for (const auto& [veq, step] : steps)
        for (double v : {veq, veq + 0.25}) {
            const QString table =
                QString::fromStdString(runCalculation(input(0, 0.1, v, 0.1))->table);
            QCOMPARE(table.contains(QString::asprintf("\r\n %7.2f ", step)), v == veq);
        }
}

void TestCalculationRun::tableRowFields()
{
    const std::pair<double, double> rows[] = {
        {0.05, 7.0}, {600.0, 15.0}, {24.0, 12.9999855}, {12.5, -0.004}, {1.0, -0.69897}};
    QString text;
    for (const auto& [volume, pH] : rows)
        text += QString::fromStdString(tableRow(volume, pH));
    // Hundredths keep their zero; 13 computed as 12.9999855 shows as 13; a pH that rounds to
    // zero is not negative.
    QCOMPARE(text, QStringLiteral("    0.05    7.00\r\n  600.00   15.00\r\n   24.00   13.00\r\n"
                                  "   12.50    0.00\r\n    1.00   -0.70\r\n"));
}

QTEST_APPLESS_MAIN(TestCalculationRun)
#include "tst_calculationrun.moc"
