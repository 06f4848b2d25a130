// Numbers to texts and back: the plain form and its two repairs, halves-to-even rounding in any
// rounding mode, and reading the number an input box's text begins with.
#include "report/numberreading.h"
#include "report/numbertext.h"

#include <QTest>

#include <cfenv>
#include <cmath>
#include <limits>
#include <tuple>

using namespace report;

namespace {
constexpr double kMax = std::numeric_limits<double>::max();
}

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
    void round_data();
    void round();
    void roundIgnoresRoundingMode();
    void reads_data();
    void reads();
};

void TestNumbers::texts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("number"); // NumberText; SignedNumberText differs only for -.x
    const std::tuple<double, const char*> rows[] = {
        {0.1, "0.1"}, // gets its zero back
        {25.0, "25"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-0.5, "-.5"},
        {0.99 * 25, "24.75"},
        {24.75 + 1000.001, "1024.751"},
        {0.0001, "0.0001"},
        {9e-5, "9E-05"},
        {-2.7e-6, "-2.7E-06"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {999999999999999.9, "1E+15"},
        {1e100, "1E+100"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {-0.0, "0"},
        {std::numeric_limits<double>::quiet_NaN(), "0"},
        {-std::numeric_limits<double>::infinity(), "-1.79769313486232E+308"},
    };
    for (const auto& [value, number] : rows)
        QTest::newRow(number) << value << QString::fromLatin1(number);
}

void TestNumbers::texts()
{
    QFETCH(double, value);
    QFETCH(QString, number);
    QCOMPARE(QString::fromStdString(NumberText(value)), number);
    QCOMPARE(QString::fromStdString(SignedNumberText(value)),
             QString(number).replace(QLatin1String("-."), QLatin1String("-0.")));
}

void TestNumbers::round_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    const std::tuple<const char*, double, int, const char*> rows[] = {
        {"2.5 is a tie, to even", 2.5, 0, "2"},
        {"0.5 is a tie, to even", 0.5, 0, "0"},
        {"0.125 is a tie, to even", 0.125, 2, "0.12"},
        {"0.375 is a tie, to even", 0.375, 2, "0.38"},
        {"12.365 is stored above the tie", 12.365, 2, "12.37"},
        {"1.005 is stored below the tie", 1.005, 2, "1"},
        {"equivalence pH", 8.72207, 3, "8.722"},
        {"13 computed as 12.9999855", 12.9999855, 2, "13"},
        {"negative pH", -0.69897, 2, "-0.7"},
        {"small negative rounds to 0, not -0", -0.001, 2, "0"},
        {"already whole", 1e20, 2, "1E+20"},
        {"many decimals", 0.1234567891234567, 15, "0.123456789123457"},
    };
    for (const auto& [name, value, decimals, expected] : rows)
        QTest::newRow(name) << value << decimals << QString::fromLatin1(expected);
}

void TestNumbers::round()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(SignedNumberText(Round(value, decimals))), expected);
}

void TestNumbers::roundIgnoresRoundingMode()
{
    const int saved = std::fegetround();
    for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        const std::string texts[] = {
            SignedNumberText(Round(2.5, 0)),   SignedNumberText(Round(-2.5, 0)),
            SignedNumberText(Round(0.125, 2)), SignedNumberText(Round(12.365, 2)),
            SignedNumberText(Round(2.675, 2)), NumberText(2.0 / 3)};
        std::fesetround(saved);
        QCOMPARE(texts[0] + ' ' + texts[1] + ' ' + texts[2] + ' ' + texts[3] + ' ' + texts[4] +
                     ' ' + texts[5],
                 std::string("2 -2 0.12 12.37 2.67 0.666666666666667"));
    }
}

void TestNumbers::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    const std::tuple<const char*, double> rows[] = {
        {"0,1", 0.1},          {"  0.1  ", 0.1},  {"1d-1", 0.1},   {"2,7e-3", 2.7e-3},
        {"1 2\t3\n.5", 123.5}, // blanks, tabs and line feeds inside are skipped
        {"12\r3", 12.0},       // a carriage return ends it
        {".5", 0.5},           {"1.2.3", 1.2},    {"1,5,3", 1.5},  {"1e-x", 1.0},
        {"- 5", -5.0},         {"--5", 0.0},      {"abc", 0.0},    {"", 0.0},
        {"E5", 0.0},           {"&H1F", 31.0},    {"&hff", 255.0}, {"&O17", 15.0},
        {"&O18", 1.0},         {"&12", 0.0},      {"1E400", kMax}, {"1E99999999999999999999", kMax},
        {"1E-400", 0.0},       {"-33D-411", 0.0}, // too small and negative reads as 0, not -0
        {"123456E-330", 0.0},  {"-0", 0.0},
    };
    for (const auto& [text, expected] : rows)
        QTest::newRow(text) << QString::fromLatin1(text) << expected;
}

void TestNumbers::reads()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double value = ReadNumber(text.toStdString());
    // Exact: the reading is the double nearest to the decimal text.
    QVERIFY2(value == expected, qPrintable(QString::number(value, 'g', 17)));
    QVERIFY(!std::signbit(value) || value != 0.0);
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
