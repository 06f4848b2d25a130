// Numbers to texts and back: the plain form and its two repairs, halves-to-even rounding in any
// rounding mode, reading the number an input box's text begins with, and whether it is all.
#include "report/numberreading.h"
#include "report/numbertext.h"

#include <QTest>

#include <cfenv>
#include <cmath>
#include <limits>

using namespace report;

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void texts();
    void round();
    void reads();
};

void TestNumbers::texts()
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN(),
                     kInf = std::numeric_limits<double>::infinity();
    // NumberText; SignedNumberText differs only in giving -.5 its zero.
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {0.1, "0.1"}, {25, "25"}, {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"},
        {-0.5, "-.5"}, {0.99 * 25, "24.75"}, {24.75 + 1000.001, "1024.751"}, {0.0001, "0.0001"},
        {9e-5, "9E-05"}, {-2.7e-6, "-2.7E-06"}, {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"}, {999999999999999.9, "1E+15"}, {1e100, "1E+100"},
        {123456789012345678.0, "1.23456789012346E+17"}, {-0.0, "0"}, {kNaN, "0"},
        {-kInf, "-1.79769313486232E+308"}};
    // clang-format on
    for (const auto& [value, number] : cases) {
        QCOMPARE(NumberText(value), std::string(number));
        QCOMPARE(QString::fromStdString(SignedNumberText(value)),
                 QString::fromLatin1(number).replace(QLatin1String("-."), QLatin1String("-0.")));
    }
}

void TestNumbers::round()
{
    // Halves to even on the double's exact value (12.365 is stored above the tie, 1.005 and
    // 2.675 below), never -0, whatever the rounding mode.
    // clang-format off
    const std::tuple<double, int, const char*> cases[] = {
        {2.5, 0, "2"}, {-2.5, 0, "-2"}, {0.5, 0, "0"}, {0.125, 2, "0.12"}, {0.375, 2, "0.38"},
        {12.365, 2, "12.37"}, {1.005, 2, "1"}, {2.675, 2, "2.67"}, {8.72207, 3, "8.722"},
        {12.9999855, 2, "13"}, {-0.69897, 2, "-0.7"}, {-0.001, 2, "0"}, {1e20, 2, "1E+20"},
        {0.1234567891234567, 15, "0.123456789123457"}};
    // clang-format on
    const int saved = std::fegetround();
    for (int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO})
        for (const auto& [value, decimals, expected] : cases) {
            std::fesetround(mode);
            const std::string text = SignedNumberText(Round(value, decimals));
            std::fesetround(saved);
            QCOMPARE(text, std::string(expected));
        }
    // Every number of decimals up to 22 rounds to within half its last place.
    for (int d = 0; d <= 22; ++d)
        QVERIFY2(std::fabs(Round(1.0 / 3, d) - 1.0 / 3) <= 0.5 * std::pow(10.0, -d) + 1e-17,
                 qPrintable(QString::number(d)));
}

void TestNumbers::reads()
{
    constexpr double kMax = std::numeric_limits<double>::max();
    // Comma as point; blanks, tabs and line feeds skipped; D as E; a carriage return, a second
    // point or a bad exponent ends the number; &H and &O; beyond the doubles, the largest or 0.
    // Then whether the text is that number in full (W) or has more, or none, after it (-).
    // clang-format off
    const std::tuple<const char*, double, char> cases[] = {
        {"0,1", 0.1, 'W'}, {"  0.1  ", 0.1, 'W'}, {"1d-1", 0.1, 'W'}, {"2,7e-3", 2.7e-3, 'W'},
        {"1 2\t3\n.5", 123.5, 'W'}, {"12\r3", 12, '-'}, {".5", 0.5, 'W'}, {"1.2.3", 1.2, '-'},
        {"1,5,3", 1.5, '-'}, {"1e-x", 1, '-'}, {"1E", 1, '-'}, {"- 5", -5, 'W'}, {"--5", 0, '-'},
        {"abc", 0, '-'}, {"", 0, '-'}, {".", 0, '-'}, {"E5", 0, '-'}, {"&H1F", 31, 'W'},
        {"&hff", 255, 'W'}, {"&O17", 15, 'W'}, {"&O18", 1, '-'}, {"&H", 0, '-'}, {"&12", 0, '-'},
        {"1E400", kMax, 'W'}, {"1E99999999999999999999", kMax, 'W'}, {"1E-400", 0, 'W'},
        {"-33D-411", 0, 'W'}, {"123456E-330", 0, 'W'}, {"-0", 0, 'W'}, {"0.1M", 0.1, '-'},
        {"1.8x10-5", 1.8, '-'}, {"nan", 0, '-'}, {"inf", 0, '-'}};
    // clang-format on
    for (const auto& [text, expected, whole] : cases) {
        // Exact: the reading is the double nearest to the decimal text; never -0.
        const double value = ReadNumber(text);
        QVERIFY2(value == expected && !(value == 0 && std::signbit(value)), text);
        QVERIFY2(ReadWholeNumber(text) == (whole == 'W' ? std::optional(value) : std::nullopt),
                 text);
    }
    // Zeros after the first digit do not make a huge number small.
    QCOMPARE(ReadNumber("0.1" + std::string(400, '0') + "E310"), kMax);
    QCOMPARE(ReadNumber(std::string(500, '0') + "1E-400"), 0.0); // nor leading zeros a tiny one
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
