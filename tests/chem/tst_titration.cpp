// The pH routines against hand-worked values, and their failure exits.
#include "chem/titration.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace chem;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int hundredths(double pH)
{
    return static_cast<int>(std::lround(pH * 100.0));
}

TitrationInputs inputs(double analyteConc, double analyteVolume, double titrantConc, double K)
{
    return {titrantConc, analyteConc, analyteVolume, K};
}

} // namespace

class TestTitration : public QObject
{
    Q_OBJECT

private slots:
    void strongBaseExcessKeepsItsDigits_data();
    void strongBaseExcessKeepsItsDigits();
    void noTypeGivesZero();
    void failuresGiveZeroAndRaiseTheFlag_data();
    void failuresGiveZeroAndRaiseTheFlag();
    void flagClearedOnEntry();
    void rootSearchBrackets_data();
    void rootSearchBrackets();
    void rootSearchFloorIsReachedOnlyByStepBacks();
};

void TestTitration::strongBaseExcessKeepsItsDigits_data()
{
    QTest::addColumn<double>("baseConc");

    // With base in excess [H+] is tiny next to the excess; a root formula that subtracts
    // the two loses it (2 M read 14.311, 10 M 15.051, 100 M failed).
    for (double c : {0.5, 2.0, 5.0, 10.0, 100.0, 1e6})
        QTest::addRow("%g M strong base", c) << c;
}

void TestTitration::strongBaseExcessKeepsItsDigits()
{
    QFETCH(double, baseConc);

    // [OH-] = C, so pH = 14 + log10(C); the water term changes it by far less than 1e-9 here.
    const long double expected = 14.0L + std::log10(static_cast<long double>(baseConc));
    const double pH = pH_AFBF(0, 0, baseConc, 1);
    QCOMPARE(CalcErrorFlag, 0);
    QVERIFY2(std::fabs(pH - static_cast<double>(expected)) < 1e-9,
             qPrintable(QString::number(pH, 'g', 17)));
}

void TestTitration::noTypeGivesZero()
{
    CalcErrorFlag = 1;
    QCOMPARE(Get_pH(titrationTypeFromIndex(-1), inputs(0.1, 25, 0.1, 1.8e-5), 10), 0.0);
    QCOMPARE(CalcErrorFlag, 0);
    QVERIFY(!titrationTypeFromIndex(4));
}

void TestTitration::failuresGiveZeroAndRaiseTheFlag_data()
{
    QTest::addColumn<int>("routine"); // 0 AFBF, 1 ADBF, 2 AFBD
    QTest::addColumn<double>("acidConc");
    QTest::addColumn<double>("acidVolume");
    QTest::addColumn<double>("baseConc");
    QTest::addColumn<double>("baseVolume");
    QTest::addColumn<double>("K");

    QTest::newRow("strong: no volume at all") << 0 << 0.1 << 0.0 << 0.1 << 0.0 << 0.0;
    QTest::newRow("strong: amount overflows") << 0 << 1e300 << 1e300 << 0.0 << 1.0 << 0.0;
    QTest::newRow("strong: square of excess overflows") << 0 << 1e200 << 1.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("strong: NaN volume") << 0 << 0.1 << kNaN << 0.1 << 1.0 << 0.0;
    QTest::newRow("weak acid: no volume at all") << 1 << 0.1 << 0.0 << 0.1 << 0.0 << 1e-5;
    QTest::newRow("weak acid: root search overflows") << 1 << 1e300 << 1.0 << 0.0 << 0.0 << 0.5;
    QTest::newRow("weak acid: NaN constant") << 1 << 0.1 << 1.0 << 0.0 << 0.0 << kNaN;
    QTest::newRow("weak base: Kb 0") << 2 << 0.0 << 0.0 << 0.1 << 1.0 << 0.0;
    QTest::newRow("weak base: no volume at all") << 2 << 0.1 << 0.0 << 0.1 << 0.0 << 1e-5;
}

void TestTitration::failuresGiveZeroAndRaiseTheFlag()
{
    QFETCH(int, routine);
    QFETCH(double, acidConc);
    QFETCH(double, acidVolume);
    QFETCH(double, baseConc);
    QFETCH(double, baseVolume);
    QFETCH(double, K);

    CalcErrorFlag = 0;
    double pH = -1;
    if (routine == 0)
        pH = pH_AFBF(acidConc, acidVolume, baseConc, baseVolume);
    else if (routine == 1)
        pH = pH_ADBF(acidConc, acidVolume, baseConc, baseVolume, K);
    else
        pH = pH_AFBD(acidConc, acidVolume, baseConc, baseVolume, K);
    QCOMPARE(pH, 0.0);
    QCOMPARE(CalcErrorFlag, 1);
}

void TestTitration::flagClearedOnEntry()
{
    // A failure is reported by the call that failed, and only by it: the next good call clears
    // it, whether through Get_pH or a routine called directly.
    pH_AFBD(0, 0, 0.1, 1, 0.0);
    QCOMPARE(CalcErrorFlag, 1);
    QCOMPARE(hundredths(Get_pH(TitrationType::WeakBaseStrongAcid, inputs(0.1, 25, 0.1, 1.8e-5), 0)),
             1112);
    QCOMPARE(CalcErrorFlag, 0);

    ResolverCubica(-1e308, 0, 0);
    QCOMPARE(CalcErrorFlag, 1);
    pH_ADBF(0.1, 1, 0, 0, 1.8e-5);
    QCOMPARE(CalcErrorFlag, 0);
}

void TestTitration::rootSearchBrackets_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("root");

    QTest::newRow("x^3 = 8") << 0.0 << 0.0 << -8.0 << 2.0;
    QTest::newRow("x^3 = 1000, beyond the first pass") << 0.0 << 0.0 << -1000.0 << 10.0;
    QTest::newRow("(x - 1e-7)(x^2 + x + 1)") << 1.0 - 1e-7 << 1.0 - 1e-7 << -1e-7 << 1e-7;
}

void TestTitration::rootSearchBrackets()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, c);
    QFETCH(double, root);

    const double x = ResolverCubica(a, b, c);
    QCOMPARE(CalcErrorFlag, 0);
    // Below the root, by less than the last factor 2^(1/1024).
    QVERIFY2(x < root && x > root / std::pow(2.0, 1.0 / 1024.0), qPrintable(QString::number(x)));
}

void TestTitration::rootSearchFloorIsReachedOnlyByStepBacks()
{
    // Positive from the start: every pass steps back once, from 1e-16 down by
    // 2·2^(1/2)·…·2^(1/1024) = 2^(2 - 1/1024).
    const double x = ResolverCubica(0, 0, 0);
    QCOMPARE(CalcErrorFlag, 0);
    QVERIFY(std::fabs(x / (1e-16 / std::pow(2.0, 2.0 - 1.0 / 1024.0)) - 1.0) < 1e-12);
}

QTEST_APPLESS_MAIN(TestTitration)
#include "tst_titration.moc"
