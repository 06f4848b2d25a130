// Numbers to texts: the plain form, its two repairs, and the rounding rules.
#include "report/numbertext.h"

#include <QTest>

#include <cfenv>
#include <limits>
#include <tuple>

using namespace report;

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
    void round_data();
    void round();
    void roundIgnoresRoundingMode_data();
    void roundIgnoresRoundingMode();
};

void TestNumberText::texts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("signedNumber");

    const std::tuple<const char*, double, const char*, const char*> rows[] = {
        {"0.1 gets its zero back", 0.1, "0.1", "0.1"},
        {"whole number, no point", 25.0, "25", "25"},
        {"1/3 to 15 digits", 1.0 / 3, "0.333333333333333", "0.333333333333333"},
        {"2/3 rounds the 15th digit", 2.0 / 3, "0.666666666666667", "0.666666666666667"},
        {"-0.5 keeps -. unless signed", -0.5, "-.5", "-0.5"},
        {"-0.7", -0.7, "-.7", "-0.7"},
        {"0.99 x 25 is shown as 24.75", 0.99 * 25, "24.75", "24.75"},
        {"table key of 24.75", 24.75 + 1000.001, "1024.751", "1024.751"},
        {"0.0001 still plain", 0.0001, "0.0001", "0.0001"},
        {"below 0.0001 in exponent form", 9e-5, "9E-05", "9E-05"},
        {"1e-5", 1e-5, "1E-05", "1E-05"},
        {"-2.7e-6", -2.7e-6, "-2.7E-06", "-2.7E-06"},
        {"largest plain", 999999999999999.0, "999999999999999", "999999999999999"},
        {"1e15 in exponent form", 1e15, "1E+15", "1E+15"},
        {"rounds up into exponent form", 999999999999999.9, "1E+15", "1E+15"},
        {"three exponent digits", 1e100, "1E+100", "1E+100"},
        {"mantissa to 15 digits", 123456789012345678.0, "1.23456789012346E+17",
         "1.23456789012346E+17"},
        {"zero", 0.0, "0", "0"},
        {"negative zero is 0", -0.0, "0", "0"},
        {"NaN never shown", std::numeric_limits<double>::quiet_NaN(), "0", "0"},
        {"infinity never shown", -std::numeric_limits<double>::infinity(), "-1.79769313486232E+308",
         "-1.79769313486232E+308"},
    };
    for (const auto& [name, value, number, signedNumber] : rows)
        QTest::newRow(name) << value << QString::fromLatin1(number)
                            << QString::fromLatin1(signedNumber);
}

void TestNumberText::texts()
{
    QFETCH(double, value);
    QFETCH(QString, number);
    QFETCH(QString, signedNumber);

    QCOMPARE(QString::fromStdString(NumberText(value)), number);
    QCOMPARE(QString::fromStdString(SignedNumberText(value)), signedNumber);
}

void TestNumberText::round_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    QTest::newRow("2.5 is a tie, to even") << 2.5 << 0 << "2";
    QTest::newRow("0.5 is a tie, to even") << 0.5 << 0 << "0";
    QTest::newRow("0.125 is a tie, to even") << 0.125 << 2 << "0.12";
    QTest::newRow("0.375 is a tie, to even") << 0.375 << 2 << "0.38";
    QTest::newRow("12.365 is stored above the tie") << 12.365 << 2 << "12.37";
    QTest::newRow("1.005 is stored below the tie") << 1.005 << 2 << "1";
    QTest::newRow("2.675 is stored below the tie") << 2.675 << 2 << "2.67";
    QTest::newRow("equivalence pH") << 8.72207 << 3 << "8.722";
    QTest::newRow("13 computed as 12.9999855") << 12.9999855 << 2 << "13";
    QTest::newRow("negative pH") << -0.69897 << 2 << "-0.7";
    QTest::newRow("small negative rounds to 0, not -0") << -0.001 << 2 << "0";
    QTest::newRow("already whole") << 1e20 << 2 << "1E+20";
    QTest::newRow("many decimals") << 0.1234567891234567 << 15 << "0.123456789123457";
}

void TestNumberText::round()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);

    QCOMPARE(QString::fromStdString(SignedNumberText(Round(value, decimals))), expected);
}

void TestNumberText::roundIgnoresRoundingMode_data()
{
    QTest::addColumn<int>("mode");

    QTest::newRow("upward") << FE_UPWARD;
    QTest::newRow("downward") << FE_DOWNWARD;
    QTest::newRow("toward zero") << FE_TOWARDZERO;
}

void TestNumberText::roundIgnoresRoundingMode()
{
    QFETCH(int, mode);

    const int saved = std::fegetround();
    std::fesetround(mode);
    const std::string texts[] = {
        SignedNumberText(Round(2.5, 0)),   SignedNumberText(Round(-2.5, 0)),
        SignedNumberText(Round(0.125, 2)), SignedNumberText(Round(12.365, 2)),
        SignedNumberText(Round(2.675, 2)), NumberText(2.0 / 3)};
    std::fesetround(saved);

    QCOMPARE(texts[0], std::string("2"));
    QCOMPARE(texts[1], std::string("-2"));
    QCOMPARE(texts[2], std::string("0.12"));
    QCOMPARE(texts[3], std::string("12.37"));
    QCOMPARE(texts[4], std::string("2.67"));
    QCOMPARE(texts[5], std::string("0.666666666666667"));
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
