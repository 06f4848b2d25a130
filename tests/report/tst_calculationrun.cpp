// The calculation run: when it refuses, and the report and table it writes, checked against
// worked examples.
#include "report/calculationrun.h"

#include <QStringList>
#include <QTest>

using namespace report;
using chem::TitrationType;

namespace {

CalculationInput input(TitrationType type, double analyteConc, double analyteVolume,
                       double titrantConc, double K = -1.0)
{
    CalculationInput in;
    in.type = type;
    in.inputs = {titrantConc, analyteConc, analyteVolume, K};
    return in;
}

/// The table's rows without their CR LF; fails the test unless every line has one.
QStringList rows(const Report& r)
{
    const QString table = QString::fromStdString(r.table);
    if (!table.endsWith(QLatin1String("\r\n")))
        return {QStringLiteral("no CR LF at the end")};
    QStringList lines = table.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

QString line(const Report& r, int i)
{
    return QString::fromStdString(r.lines[static_cast<std::size_t>(i)]);
}

} // namespace

class TestCalculationRun : public QObject
{
    Q_OBJECT

private slots:
    void weakAcidExample();
    void negativePHShownSigned();
    void refusesOutsideItsRange_data();
    void refusesOutsideItsRange();
    void largestTitrationSteps50();
    void tableRowFields_data();
    void tableRowFields();
};

void TestCalculationRun::weakAcidExample()
{
    CalculationInput in = input(TitrationType::WeakAcidStrongBase, 0.1, 25, 0.1, 1.8e-5);
    in.constantText = " 1.8e-5 ";
    in.indicator = IndicatorInfo{"phenolphthalein", 8.2, 9.8, "colourless", "violet"};
    in.verdictCaption = "Very appropriate";
    const std::optional<Report> r = runCalculation(in);
    QVERIFY(r);

    const QStringList expected = {"Titration of weak acid with strong base",
                                  "Titrant (burette):",
                                  "  Strong base concentration 0.1 mol/L.  pH = 13",
                                  "Analyte (erlenmeyer flask): ",
                                  "  25 mL of weak acid. Concentration 0.1 mol/L.  pH = 2.88",
                                  "  Acidity constant Ka = 1.8E-5",
                                  "Equivalence point:",
                                  "  Volume added  25 mL,  pH = 8.722",
                                  "Range of added titrant volume when error < 1%",
                                  "  [ 24.75 ,  25.25 ] mL",
                                  "Range of pH when error < 1%",
                                  "  [ 10.7 ,  6.74 ]",
                                  "Indicator:",
                                  "  phenolphthalein  [very appropriate]",
                                  "  Colour change: colourless (acid)  -  violet (basic)",
                                  "  pH range:  [ 8.2 ,  9.8 ]",
                                  "Table of values (added Vol. [mL] and pH)"};
    for (int i = 0; i < 17; ++i)
        QCOMPARE(line(*r, i), expected[i]);

    const QStringList table = rows(*r);
    QCOMPARE(table.size(), 26);
    QCOMPARE(table[0], QStringLiteral("    Vol.    pH"));
    QCOMPARE(table[1], QStringLiteral("    0.00    2.88"));
    QCOMPARE(table[2], QStringLiteral("    5.00    4.15"));
    QCOMPARE(table[14], QStringLiteral("   25.00    8.72"));
    QCOMPARE(table[25], QStringLiteral("   50.00   12.52"));
    QStringList volumes;
    for (const QString& row : table.mid(1)) {
        QCOMPARE(row.size(), 16);
        volumes << row.left(8).trimmed();
    }
    QCOMPARE(volumes.join(' '),
             QStringLiteral("0.00 5.00 10.00 15.00 20.00 22.00 23.00 24.00 24.75 24.80 24.85 "
                            "24.90 24.95 25.00 25.05 25.10 25.15 25.20 26.00 27.00 30.00 35.00 "
                            "40.00 45.00 50.00"));
}

void TestCalculationRun::negativePHShownSigned()
{
    // 10 mL of 5 M strong acid: pH -0.699.
    const std::optional<Report> r =
        runCalculation(input(TitrationType::StrongAcidStrongBase, 5, 10, 1));
    QVERIFY(r);
    QVERIFY(line(*r, 4).endsWith(QLatin1String("pH = -0.7")));
    QCOMPARE(rows(*r)[1], QStringLiteral("    0.00   -0.70"));
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
    QTest::newRow("strong type ignores the constant") << 0 << 25.0 << -1.0 << 0 << true;
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

    CalculationInput in = input(TitrationType::StrongAcidStrongBase, 0.1, analyteVolume, 0.1, K);
    in.type = chem::titrationTypeFromIndex(type);
    in.calcErrorFlag = flag;
    QCOMPARE(runCalculation(in).has_value(), accepted);
}

void TestCalculationRun::largestTitrationSteps50()
{
    const std::optional<Report> r =
        runCalculation(input(TitrationType::StrongAcidStrongBase, 0.1, 300, 0.1));
    QVERIFY(r);
    const QStringList table = rows(*r);
    QStringList coarse;
    for (const QString& row : table.mid(1))
        if (row.left(8).trimmed().toDouble() == std::floor(row.left(8).toDouble() / 50) * 50)
            coarse << row.left(8).trimmed();
    QCOMPARE(coarse.join(' '), QStringLiteral("0.00 50.00 100.00 150.00 200.00 250.00 300.00 "
                                              "350.00 400.00 450.00 500.00 550.00 600.00"));
    // 30 mmol of base left in 900 mL: pOH 1.48.
    QCOMPARE(table.constLast(), QStringLiteral("  600.00   12.52"));
}

void TestCalculationRun::tableRowFields_data()
{
    QTest::addColumn<double>("volume");
    QTest::addColumn<double>("pH");
    QTest::addColumn<QString>("row");

    QTest::newRow("hundredths get their zero") << 0.05 << 7.0 << "    0.05    7.00\r\n";
    QTest::newRow("widest volume") << 600.0 << 15.0 << "  600.00   15.00\r\n";
    QTest::newRow("13 computed as 12.9999855") << 24.0 << 12.9999855 << "   24.00   13.00\r\n";
    QTest::newRow("a pH that rounds to zero is not negative")
        << 12.5 << -0.004 << "   12.50    0.00\r\n";
    QTest::newRow("negative pH") << 1.0 << -0.69897 << "    1.00   -0.70\r\n";
}

void TestCalculationRun::tableRowFields()
{
    QFETCH(double, volume);
    QFETCH(double, pH);
    QFETCH(QString, row);

    QCOMPARE(QString::fromStdString(tableRow(volume, pH)), row);
}

QTEST_APPLESS_MAIN(TestCalculationRun)
#include "tst_calculationrun.moc"
