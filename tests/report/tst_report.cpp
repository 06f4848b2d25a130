// Numbers to texts and back: the plain form and its two repairs, halves-to-even rounding in any
// rounding mode, reading the number a box's text begins with, and whether it is all. The
// calculation run: when it refuses, and the report and table it writes, checked against the
// worked examples that the end-to-end run also reads back from the clipboard.
#include "chem/polyprotic.h"
#include "report/acceptance.h"
#include "report/calculationrun.h"
#include "report/constanttext.h"
#include "report/jsonreport.h"
#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/substances.h"
#include "report/table.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>

using namespace report;
using enum chem::TitrationType;
using OptionalType = std::optional<chem::TitrationType>;

Q_DECLARE_METATYPE(chem::TitrationType)
Q_DECLARE_METATYPE(OptionalType)
Q_DECLARE_METATYPE(Suitability)
Q_DECLARE_METATYPE(IndicatorInfo)

static CalculationInput input(OptionalType type, double analyteConc, double analyteVolume,
                              double titrantConc, double K = -1.0)
{
    CalculationInput in;
    in.type = type;
    in.inputs = {titrantConc, analyteConc, analyteVolume, K};
    return in;
}

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void texts();
    void round();
    void reads();
    void workedExamples_data();
    void workedExamples();
    void typedConstantShownAsOneLine();
    void suitability_data();
    void suitability();
    void acceptance_data();
    void acceptance();
    void tableSteps();
    void tableRowFields();
    void curve_data();
    void curve();
    void constantTexts_data();
    void constantTexts();
    void severalPoints_data();
    void severalPoints();
    void oneConstantAsText_data();
    void oneConstantAsText();
    void libraryInvariants();
    void aminoAcidIsoelectricPoints_data();
    void aminoAcidIsoelectricPoints();
    void libraryRefusesBadLines_data();
    void libraryRefusesBadLines();
    void substanceNames_data();
    void substanceNames();
    void nearestNamesOfTheKind_data();
    void nearestNamesOfTheKind();
    void json();
};

void TestReport::texts()
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
        {-kInf, "-1.79769313486232E+308"}, {1500, "1500"}, {-120, "-120"}, {0.1 + 0.2, "0.3"},
        {0.00012345, "0.00012345"}, {-1e-100, "-1E-100"}, {5e-324, "4.94065645841247E-324"},
        {99999999999999.94, "99999999999999.9"}, {99999999999999.95, "100000000000000"},
        {9.999999999999999e-5, "0.0001"}}; // rounding to 15 digits moves the exponent
    // clang-format on
    for (const auto& [value, number] : cases) {
        QCOMPARE(QString::fromStdString(NumberText(value)), QString(number));
        QCOMPARE(QString::fromStdString(SignedNumberText(value)),
                 QString::fromLatin1(number).replace(QLatin1String("-."), QLatin1String("-0.")));
    }
}

void TestReport::round()
{
    // Halves to even on the double's exact value (12.365 is stored above the tie, 1.005 and
    // 2.675 below), never -0, whatever the rounding mode.
    // clang-format off
    const std::tuple<double, int, const char*> cases[] = {
        {2.5, 0, "2"}, {-2.5, 0, "-2"}, {0.5, 0, "0"}, {0.125, 2, "0.12"}, {0.375, 2, "0.38"},
        {12.365, 2, "12.37"}, {1.005, 2, "1"}, {2.675, 2, "2.67"}, {8.72207, 3, "8.722"},
        {12.9999855, 2, "13"}, {-0.69897, 2, "-0.7"}, {-0.001, 2, "0"}, {1e20, 2, "1E+20"},
        {0.1234567891234567, 15, "0.123456789123457"}, {1.0 / 3, 23, "0.333333333333333"},
        {2.5, -1, "2.5"}, {4503599627370497.0, 0, "4.5035996273705E+15"}, {5e-324, 2, "0"},
        {0.5 + 1.0 / 1024, 0, "1"}, {-0.5, 0, "0"}, {1.5, 0, "2"}, {1e-7, 7, "1E-07"}};
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

void TestReport::reads()
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
        {"&haf", 175, 'W'}, {"&HA0", 160, 'W'}, {"&O17", 15, 'W'}, {"&O18", 1, '-'}, {"&H", 0, '-'}, {"&12", 0, '-'},
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

void TestReport::workedExamples_data()
{
    QTest::addColumn<chem::TitrationType>("type");
    QTest::addColumn<double>("analyteConc");
    QTest::addColumn<double>("analyteVolume");
    QTest::addColumn<QString>("constant"); // as typed
    QTest::addColumn<IndicatorInfo>("indicator");
    QTest::addColumn<QString>("verdict");
    // Each row names its file of the expected texts.
    // clang-format off
    QTest::newRow("strong-acid") << StrongAcidStrongBase << 0.2 << 12.3 << "" << IndicatorInfo{"bromothymol blue", 6, 7.6, "yellow", "blue"} << "Very appropriate";
    QTest::newRow("weak-acid") << WeakAcidStrongBase << 0.1 << 25.0 << " 1.8e-5 " << IndicatorInfo{"phenolphthalein", 8.2, 9.8, "colourless", "violet"} << "Very appropriate";
    QTest::newRow("strong-base") << StrongBaseStrongAcid << 0.1 << 25.0 << "" << IndicatorInfo{"methyl orange", 3.1, 4.4, "red", "yellow orange"} << "Appropriate";
    QTest::newRow("weak-base") << WeakBaseStrongAcid << 0.1 << 25.0 << "1.8E-5" << IndicatorInfo{"methyl red", 4.4, 6.2, "red", "yellow orange"} << "Very appropriate";
    // clang-format on
}

void TestReport::workedExamples()
{
    QFETCH(chem::TitrationType, type);
    QFETCH(double, analyteConc);
    QFETCH(double, analyteVolume);
    QFETCH(QString, constant);
    QFETCH(IndicatorInfo, indicator);
    QFETCH(QString, verdict);
    CalculationInput in = input(type, analyteConc, analyteVolume, 0.1, constant.toDouble());
    in.constantText = constant.toStdString();
    in.indicator = indicator;
    in.verdictCaption = verdict.toStdString();
    QFile expected(QStringLiteral(ACIDORA_SOURCE_DIR "/scripts/e2e-expected/%1.txt")
                       .arg(QTest::currentDataTag()));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    const std::optional<Report> r = runCalculation(in);
    QVERIFY(r);
    // Bold: the title and the page's fixed captions, nothing else.
    const std::set<std::string> captions{"Titrant (burette):",
                                         "Analyte (erlenmeyer flask): ",
                                         "Equivalence point:",
                                         "Range of added titrant volume when error < 1%",
                                         "Range of pH when error < 1%",
                                         "Indicator:",
                                         "Table of values (added Vol. [mL] and pH)"};
    QCOMPARE(r->headings.size(), std::size_t(8));
    for (const std::size_t h : r->headings)
        QVERIFY(h == 0 || captions.count(r->lines.at(h)));
    std::string copied; // as the clipboard holds it: each line with CR LF, then the table
    for (const std::string& line : r->lines)
        copied += line + "\r\n";
    QCOMPARE(QString::fromStdString(copied + r->table), QString::fromLatin1(expected.readAll()));
}

void TestReport::typedConstantShownAsOneLine()
{
    // Control characters (a pasted line break, a tab) show as one blank each.
    CalculationInput in = input(WeakAcidStrongBase, 0.1, 25, 0.1, 1e-5);
    in.constantText = "\t1e-5\r\n<b>x</b>\x01 ";
    in.constantText.insert(5, 1, '\0');
    const std::optional<Report> r = runCalculation(in);
    QVERIFY(r);
    QCOMPARE(r->lines[5], std::string("  Acidity constant Ka = 1E-5   <B>X</B>"));
    QCOMPARE(r->lines[13] + r->lines[14] + r->lines[15], std::string("No indicator"));
}

void TestReport::suitability_data()
{
    // An indicator changing from pH 6 to 8, centred on 7, at jumps whose ends are exactly 7 or
    // the next double beyond it, rising or falling; the point's pH at or just outside 6 and 8.
    QTest::addColumn<double>("before"); // pH at 99 % of the volume
    QTest::addColumn<double>("after");  // at 101 %
    QTest::addColumn<double>("point");
    QTest::addColumn<Suitability>("expected");
    const double justAbove7 = std::nextafter(7.0, 8.0), justBelow7 = std::nextafter(7.0, 6.0);
    const auto appropriate = Suitability::Appropriate, very = Suitability::VeryAppropriate;
    // clang-format off
    QTest::newRow("centre at a rising jump's start") << 7.0 << 10.0 << 9.0 << appropriate;
    QTest::newRow("centre just below it") << justAbove7 << 10.0 << 9.0 << Suitability::Inappropriate;
    QTest::newRow("centre at a rising jump's end") << 4.0 << 7.0 << 5.0 << appropriate;
    QTest::newRow("centre just above it") << 4.0 << justBelow7 << 5.0 << Suitability::Inappropriate;
    QTest::newRow("centre at a falling jump's start") << 7.0 << 4.0 << 5.0 << appropriate;
    QTest::newRow("centre just above a falling jump") << justBelow7 << 4.0 << 5.0 << Suitability::Inappropriate;
    QTest::newRow("centre at a falling jump's end") << 10.0 << 7.0 << 9.0 << appropriate;
    QTest::newRow("centre just below a falling jump") << 10.0 << justAbove7 << 9.0 << Suitability::Inappropriate;
    QTest::newRow("point at the range's start") << 4.0 << 10.0 << 6.0 << very;
    QTest::newRow("point just below it") << 4.0 << 10.0 << std::nextafter(6.0, 0.0) << appropriate;
    QTest::newRow("point at the range's end") << 10.0 << 4.0 << 8.0 << very;
    QTest::newRow("point just above it") << 10.0 << 4.0 << std::nextafter(8.0, 9.0) << appropriate;
    // clang-format on
}

void TestReport::suitability()
{
    QFETCH(double, before);
    QFETCH(double, after);
    QFETCH(double, point);
    QFETCH(Suitability, expected);
    int asked = 0; // the point's pH only when the centre lies in the jump
    QCOMPARE(report::suitability(6.0, 8.0, before, after, [&] { return ++asked, point; }),
             expected);
    QCOMPARE(asked, int(expected != Suitability::Inappropriate));
}

void TestReport::acceptance_data()
{
    // Equal concentrations on both sides (0.5 M: Veq is the analyte volume exactly), or 0.1 M.
    QTest::addColumn<OptionalType>("type");
    QTest::addColumn<double>("analyteConc");
    QTest::addColumn<double>("analyteVolume");
    QTest::addColumn<double>("K");
    QTest::addColumn<bool>("refreshFailed");
    QTest::addColumn<int>("protons");
    QTest::addColumn<QString>("refusal"); // "" when accepted
    const auto row = [](const char* name, OptionalType type, double conc, double volume,
                        const char* refusal, double K = -1, bool failed = false, int protons = 1) {
        QTest::newRow(name) << type << conc << volume << K << failed << protons << refusal;
    };
    // clang-format off
    row("Veq 5 mL", StrongAcidStrongBase, 0.5, 5, "");
    row("Veq just below 5 mL", StrongAcidStrongBase, 0.5, std::nextafter(5.0, 0.0), "the equivalence volume");
    row("Veq 4.99 mL", StrongAcidStrongBase, 0.1, 4.99, "the equivalence volume 4.99 mL is outside");
    row("Veq 300 mL", StrongBaseStrongAcid, 0.5, 300, "");
    row("Veq just above 300 mL", StrongBaseStrongAcid, 0.5, std::nextafter(300.0, 400.0), "the equivalence volume");
    row("Veq 300.01 mL", StrongBaseStrongAcid, 0.1, 300.01, "the equivalence volume 300.01 mL");
    row("weak acid, no Ka", WeakAcidStrongBase, 0.1, 25, "the Ka is missing");
    row("weak base, no Kb", WeakBaseStrongAcid, 0.1, 25, "the Kb is missing");
    row("a failed pH first", WeakAcidStrongBase, 0.1, 25, "the pH could not be computed", -1, true);
    row("no analyte volume", StrongAcidStrongBase, 0.1, -1, "the analyte volume is missing");
    row("no analyte", StrongAcidStrongBase, 0, 25, "the analyte concentration is missing");
    row("no type", std::nullopt, 0.1, 25, "the titration type is missing");
    row("first of two points at 5 mL", WeakAcidStrongBase, 0.5, 5, "", 1e-5, false, 2);
    row("first of two just below", WeakAcidStrongBase, 0.5, std::nextafter(5.0, 0.0), "the first equivalence volume", 1e-5, false, 2);
    row("last of three at 300 mL", WeakAcidStrongBase, 0.5, 100, "", 1e-5, false, 3);
    row("last of three just above", WeakAcidStrongBase, 0.5, std::nextafter(100.0, 200.0), "the last equivalence volume", 1e-5, false, 3);
    row("a strong type's one point", StrongAcidStrongBase, 0.5, 100, "", 1e-5, false, 3);
    // clang-format on
}

void TestReport::acceptance()
{
    QFETCH(OptionalType, type);
    QFETCH(double, analyteConc);
    QFETCH(double, analyteVolume);
    QFETCH(double, K);
    QFETCH(bool, refreshFailed);
    QFETCH(int, protons);
    QFETCH(QString, refusal);
    CalculationInput in = input(type, analyteConc, analyteVolume, analyteConc, K);
    in.refreshFailed = refreshFailed;
    const std::optional<Refusal> why = checkTitration(type, in.inputs, refreshFailed, protons);
    const QString text = why ? QString::fromStdString(why->text) : QString();
    QVERIFY2(refusal.isEmpty() ? !why : text.startsWith(refusal), qPrintable(text));
    if (protons == 1) // the run refuses what the rule refuses
        QCOMPARE(runCalculation(in).has_value(), !why);
}

void TestReport::tableSteps()
{
    // The coarse step grows as 2·Veq passes 20, 40, 100, 200 and 400 mL: just below each, the
    // finer step's first volume is in the table; just above, it is not.
    const double steps[][2] = {{10, 1}, {20, 2}, {50, 5}, {100, 10}, {200, 20}};
    for (const auto& [veq, step] : steps)
        for (double v : {veq, veq + 0.25}) {
            const std::string table =
                runCalculation(input(StrongAcidStrongBase, 0.1, v, 0.1))->table;
            QCOMPARE(QString::fromStdString(table).contains(QString::asprintf("\r\n %7.2f ", step)),
                     v == veq);
        }
    // The largest, for 300 mL, steps by 50 mL to 600 mL: 30 mmol of base in 900 mL, pOH 1.48.
    const std::string largest = runCalculation(input(StrongAcidStrongBase, 0.1, 300, 0.1))->table;
    QVERIFY(largest.find("\r\n   50.00 ") != std::string::npos &&
            largest.ends_with("\r\n  600.00   12.52\r\n"));
}

void TestReport::tableRowFields()
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

void TestReport::curve_data()
{
    // 25 mL of strong acid 0.1 M and the base 0.1 M: Veq 25 mL; 2.5 mmol of acid, then of base.
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("rows"); // the CSV without its header; "-" for none
    QTest::newRow("by hand") << 12.5 << "0,1.000|12.5,1.477|25,7.000|37.5,12.301|50,12.523|";
    QTest::newRow("tenths add up") << 0.1 << "0.3,1.010|";
    QTest::newRow("last of 100000") << 50.0 / 99999 << "50,12.523|";
    QTest::newRow("100001 rows") << 0.0005 << "-";
}

void TestReport::curve()
{
    QFETCH(double, step);
    QFETCH(QString, rows);
    const std::optional<std::string> csv =
        curveCsv(*TitrationModel::make(chem::TitrationType::StrongAcidStrongBase,
                                       {0.1, 0.1, 25, -1}, std::nullopt),
                 step);
    const QString text = csv ? QString::fromStdString(*csv).replace("\r\n", "|") : "-";
    QVERIFY2(text.startsWith(rows) || text.contains("|" + rows), qPrintable(text.left(80)));
    QVERIFY(!csv || (text.startsWith("Volume (mL),pH|0,") && text.endsWith("|50,12.523|")));
}

QTEST_APPLESS_MAIN(TestReport)
void TestReport::constantTexts_data()
{
    // What the constant box holds: N a number, C constants (pKa ascending, to 0.01), or a name;
    // a refusal after '!'.
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("base");
    QTest::addColumn<QString>("read");
    QTest::addColumn<double>("constant"); // the one-proton routines' Ka or Kb, 0 for none
    // clang-format off
    QTest::newRow("a number, as ever") << "1.8E-5x" << false << "N" << 0.0;
    QTest::newRow("pKa out of order, ; and comma") << " pKa 12.35; 2.15  7,20 " << false << "C 2.15 7.20 12.35" << 0.0;
    QTest::newRow("Ka of an acid") << "ka 1.8E-5 1E-12" << false << "C 4.74 12.00" << 0.0;
    QTest::newRow("Kb of a base: its conjugate acid's") << "Kb 1.8E-5" << true << "C 9.26" << 1.8E-5;
    QTest::newRow("pKb of a base, sorted") << "PKB 3.67 7.65" << true << "C 6.35 10.33" << 0.0;
    QTest::newRow("pKa of a base as tables give it") << "pKa 9.25" << true << "C 9.25" << std::pow(10.0, 9.25 - 14);
    QTest::newRow("a base's constant for an acid") << "pKb 4.75" << false << "!pKb belongs to a base; give an acid's pKa or Ka" << 0.0;
    QTest::newRow("no value") << "pKa" << false << "!pKa needs 1 to 6 values, not 0" << 0.0;
    QTest::newRow("seven values") << "pKa 1 2 3 4 5 6 7" << false << "!pKa needs 1 to 6 values, not 7" << 0.0;
    QTest::newRow("out of range") << "pKa 2 21" << false << "!'21' gives pKa 21, outside -5 to 20" << 0.0;
    QTest::newRow("a Ka of 0") << "Ka 0" << false << "!'0' is not a number above 0" << 0.0;
    QTest::newRow("not a number") << "pKa 4.7x" << false << "!'4.7x' is not a number" << 0.0;
    QTest::newRow("a name") << "  phosphoric acid " << false << "phosphoric acid" << 0.0;
    QTest::newRow("Ka of a base: Kw over it") << "Ka 5.6E-10" << true << "C 9.25" << 1E-14 / 5.6E-10;
    QTest::newRow("Ka as typed, not through its pKa") << "Ka 1.74E-5" << false << "C 4.76" << 1.74E-5;
    QTest::newRow("a monoprotic name") << "ACETIC ACID" << false << "acetic acid 4.76" << std::pow(10.0, -4.756);
    QTest::newRow("unknown name, nearest given") << "phosphoric\nacd" << false << "!'phosphoric acd' is not in the substance library (nearest: phosphoric acid, " << 0.0;
    for (const char* name : {"zz", "Zz", "az", "Az"}) // the first letter at the alphabet's ends
        QTest::addRow("a name beginning %s", name) << name << false << QString("!'%1' is not in the substance library").arg(name) << 0.0;
    QTest::newRow("an acid for the base type") << "H3PO4" << true << "!phosphoric acid is an acid, titrated with a base" << 0.0;
    QTest::newRow("a base for the acid type") << "ammonia" << false << "!ammonia is a base, titrated with an acid" << 0.0;
    // clang-format on
}

void TestReport::constantTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, base);
    QFETCH(QString, read);
    QFETCH(double, constant);
    const ResolvedConstant c = resolveConstantText(text.toStdString(), base);
    QString got = !c.analyte                ? QStringLiteral("N")
                  : c.analyte->name.empty() ? QStringLiteral("C")
                                            : QString::fromStdString(c.analyte->name);
    for (const double pKa : c.analyte ? c.analyte->pKa : std::vector<double>{})
        got += QLatin1Char(' ') + QString::number(pKa, 'f', 2);
    if (!c.refusal.empty())
        got = "!" + QString::fromStdString(c.refusal);
    QVERIFY2(got.startsWith(read), qPrintable(got));
    QCOMPARE(c.constant, constant);
}

void TestReport::severalPoints_data()
{
    QTest::addColumn<chem::TitrationType>("type");
    QTest::addColumn<QString>("constants");
    QTest::addColumn<QString>("points"); // volume and pH of each, "!" when no indicator shows it
    QTest::addColumn<QString>("lastRow");
    QTest::addColumn<QString>("verdicts"); // phenolphthalein's line
    QTest::addColumn<QString>("first");    // the first constant's line
    // clang-format off
    QTest::newRow("phosphoric acid") << WeakAcidStrongBase << "pKa 2.15 7.20 12.35"
        << "25 4.70!, 50 9.66, 75 12.18!" << "  100.00   12.46"
        << "  Very appropriate for point 2; inappropriate for points 1, 3" << "    pKa1 = 2.15   Ka1 = 7.08E-3";
    QTest::newRow("sodium carbonate") << WeakBaseStrongAcid << "pKb 3.67 7.65"
        << "25 8.34!, 50 3.91" << "   75.00    1.60"
        << "  Inappropriate for points 1, 2" << "    pKa1 = 6.35   Ka1 = 4.47E-7";
    QTest::newRow("Ka1 9.9977E-3 shown as 1E-2") << WeakAcidStrongBase << "pKa 2.0001 7"
        << "25 4.54!, 50 9.76" << "   75.00   12.40"
        << "  Very appropriate for point 2; inappropriate for point 1" << "    pKa1 = 2   Ka1 = 1E-2";
    QTest::newRow("sulfuric acid: one jump for two protons") << WeakAcidStrongBase << "pKa -3 1.99"
        << "25 1.74!, 50 7.31" << "   75.00   12.40"
        << "  Appropriate for point 2; inappropriate for point 1" << "    pKa1 = -3   Ka1 = 1E3";
    // clang-format on
}

void TestReport::severalPoints()
{
    QFETCH(chem::TitrationType, type);
    QFETCH(QString, constants);
    QFETCH(QString, points);
    QFETCH(QString, lastRow);
    QFETCH(QString, verdicts);
    QFETCH(QString, first);
    CalculationInput in = input(type, 0.1, 25, 0.1, 1e-5);
    const ResolvedConstant c =
        resolveConstantText(constants.toStdString(), type == WeakBaseStrongAcid);
    in.constants = c.analyte;
    in.indicator = IndicatorInfo{"phenolphthalein", 8.2, 9.8, "colourless", "violet"};
    in.indicatorRanges = {{3.1, 4.4}, {4.4, 6.2}, {6, 7.6}, {8.2, 9.8}};
    const std::optional<Report> r = runCalculation(in);
    QVERIFY(r);
    QStringList got;
    for (const EquivalencePoint& p : r->points)
        got << QString::number(p.volume) + ' ' + QString::number(p.pH, 'f', 2) +
                   (p.noIndicatorShows ? "!" : "");
    QCOMPARE(got.join(", "), points);
    const QString text = QString::fromStdString(r->table);
    QVERIFY(text.endsWith(lastRow + "\r\n"));
    // 0.05 mL steps around every point, and only there.
    for (const EquivalencePoint& p : r->points)
        QVERIFY(text.contains(QString::asprintf("\r\n %7.2f ", p.volume - 0.05)));
    QVERIFY(!text.contains(QString::asprintf("\r\n %7.2f ", r->points[0].volume + 5.05)));
    // One block a point, headed in bold, and the indicator's verdict for each.
    const std::vector<std::string>& L = r->lines;
    QCOMPARE(std::count_if(r->headings.begin(), r->headings.end(),
                           [&](std::size_t i) { return L[i].starts_with("Equivalence point "); }),
             std::ptrdiff_t(r->points.size()));
    // Bold besides: the title, the titrant, the analyte, the indicator and the table.
    QCOMPARE(r->headings.size(), r->points.size() + 5);
    QVERIFY(r->headings[2] == 3 && L[3] == "Analyte (erlenmeyer flask): ");
    const auto verdict = std::find(L.begin(), L.end(), verdicts.toStdString());
    QVERIFY(verdict != L.end() &&
            verdict[1] == "  Colour change: colourless (acid)  -  violet (basic)");
    QVERIFY(std::find(L.begin(), L.end(), first.toStdString()) != L.end());
    QCOMPARE(L.back(), std::string("Table of values (added Vol. [mL] and pH)"));
    // Each point's line gives its pH to 3 decimals.
    for (std::size_t k = 0, line = 0; k < r->points.size(); ++k, ++line) {
        while (!L[line].starts_with("  Volume added  "))
            ++line;
        const QString pH = QString::fromStdString(L[line]).section("pH = ", 1);
        QCOMPARE(pH.toDouble(), std::round(r->points[k].pH * 1000) / 1000);
    }
    // The acceptance rule holds every point within 5 to 300 mL.
    in.inputs.analyteVolume = 25 * 300.1 / 25 / r->points.size();
    QVERIFY(!runCalculation(in));
}

void TestReport::oneConstantAsText_data()
{
    QTest::addColumn<chem::TitrationType>("type");
    QTest::addColumn<QString>("text");
    QTest::newRow("Ka") << WeakAcidStrongBase << "Ka 1.8E-5";
    QTest::newRow("Kb") << WeakBaseStrongAcid << "Kb 1.8E-5";
    QTest::newRow("a monoprotic name") << WeakAcidStrongBase << "acetic acid";
    QTest::newRow("a base's pKa") << WeakBaseStrongAcid << "pKa 9.25";
}

void TestReport::oneConstantAsText()
{
    // One constant typed as text, or a monoprotic substance by name, gives the numbers of the
    // plain number; only the analyte and constant lines say where it came from.
    QFETCH(chem::TitrationType, type);
    QFETCH(QString, text);
    const ResolvedConstant c = resolveConstantText(text.toStdString(), type == WeakBaseStrongAcid);
    CalculationInput typed = input(type, 0.1, 25, 0.1, c.constant);
    typed.constantText = NumberText(c.constant);
    CalculationInput named = typed;
    named.constants = c.analyte;
    named.constantText = text.toStdString();
    std::optional<Report> a = runCalculation(typed), b = runCalculation(named);
    QVERIFY(a && b);
    QCOMPARE(b->table, a->table);
    QVERIFY2(b->lines[5].starts_with(a->lines[5].substr(0, 26)) &&
                 b->lines[5].find("(pKa ") != std::string::npos,
             b->lines[5].c_str());
    a->lines[3] = b->lines[3];
    a->lines[5] = b->lines[5];
    QCOMPARE(b->lines, a->lines);
}

void TestReport::libraryInvariants()
{
    for (const std::string& error : substanceLibraryErrors())
        QFAIL(error.c_str()); // a line of data/substances.tsv that does not parse
    QVERIFY(substanceLibrary().size() >= 60);
    QSet<QString> keys; // names, synonyms and formulas share one namespace for lookups
    for (const Substance& s : substanceLibrary()) {
        std::vector<std::string> own = s.synonyms;
        own.insert(own.end(), {s.name, s.formula});
        for (const std::string& k : own) {
            const QString key = QString::fromStdString(k).toLower();
            QVERIFY2(!keys.contains(key), qPrintable(key));
            keys.insert(key);
        }
        // The reader checks the values (below); a source names its table and edition's year.
        const QRegularExpression edition(QStringLiteral("^\\w.*\\((19|20)\\d\\d"));
        QVERIFY2(QString::fromStdString(s.source).contains(edition), s.name.c_str());
        // Every entry titrates: 25 mL at 0.1 mol/L with 0.1 mol/L, a pH at each step.
        const auto t = chem::PolyproticTitration::make(
            {s.pKa, 0.1, s.base ? chem::AnalyteKind::Base : chem::AnalyteKind::Acid}, 25, 0.1);
        for (double v = 0; t.value && v <= 25.0 * (s.pKa.size() + 1); v += 2.5)
            QVERIFY2(t.value->pH(v).value, s.name.c_str());
    }
    // The textbook curve: sodium carbonate with HCl is at pKa2 half way to the first end point,
    // at pKa1 half way to the second.
    const Substance* carbonate = findSubstance("Na2CO3");
    QVERIFY(carbonate && carbonate->base && carbonate->pKa.size() == 2);
    const auto t =
        chem::PolyproticTitration::make({carbonate->pKa, 0.1, chem::AnalyteKind::Base}, 25, 0.1);
    QVERIFY(std::abs(*t.value->pH(12.5).value - carbonate->pKa[1]) < 0.02 &&
            std::abs(*t.value->pH(37.5).value - carbonate->pKa[0]) < 0.02);
}

void TestReport::aminoAcidIsoelectricPoints_data()
{
    // Isoelectric points as biochemistry courses quote them: Nelson & Cox, Lehninger Principles
    // of Biochemistry, 4th ed. (2004), Table 3-1.
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("pI");
    QTest::newRow("histidine") << "histidine" << 7.59;
    QTest::newRow("lysine") << "lysine" << 9.74;
    QTest::newRow("glutamic acid") << "glutamic acid" << 3.22;
    QTest::newRow("cysteine") << "cysteine" << 5.07;
}

void TestReport::aminoAcidIsoelectricPoints()
{
    // A hydrochloride's cation takes as many equivalents of base as its charge to become the
    // zwitterion, whose solution is near the isoelectric pH: a wrong charge in the ions column,
    // a constant missing or too many, or a mistyped one moves it off.
    QFETCH(QString, name);
    QFETCH(double, pI);
    const Substance* s = findSubstance(name.toStdString());
    QVERIFY(s && !s->base && s->counterIon == "Cl-");
    const auto t = chem::PolyproticTitration::make({s->pKa, 0.1, chem::AnalyteKind::Acid}, 25, 0.1);
    QVERIFY(t.value);
    const double pH = *t.value->pH(25.0 * s->charge).value;
    QVERIFY2(std::abs(pH - pI) < 0.15, qPrintable(QString::number(pH)));
}

void TestReport::libraryRefusesBadLines_data()
{
    QTest::addColumn<QString>("line"); // the third of the text, after a comment and the header
    QTest::addColumn<QString>("error");
    // clang-format off
    QTest::newRow("values descending") << "x\t\tX\tacid\t7 2\ts" << "line 3: pKa values are not ascending";
    QTest::newRow("value out of range") << "x\t\tX\tacid\t2 21\ts" << "line 3: pKa 21 is outside -5 to 20";
    QTest::newRow("seven values") << "x\t\tX\tbase\t1 2 3 4 5 6 7\ts" << "line 3: needs 1 to 6 pKa values, not 7";
    QTest::newRow("decimal comma") << "x\t\tX\tacid\t4,76\ts" << "line 3: '4,76' is not a number";
    QTest::newRow("neither acid nor base") << "x\t\tX\tsalt\t4\ts" << "line 3: 'salt' is neither acid nor base";
    QTest::newRow("no source") << "x\t\tX\tacid\t4\t " << "line 3: has 5 columns, not 6";
    QTest::newRow("ions of one sign") << "x\t\tX\tbase\t4\ts\t-1 Cl-" << "line 3: '-1 Cl-' is not a charge and a counter-ion of the other sign (-2 Na+)";
    // clang-format on
}

void TestReport::libraryRefusesBadLines()
{
    QFETCH(QString, line);
    QFETCH(QString, error);
    std::vector<std::string> errors;
    QVERIFY(parseSubstances(("# c\nheader\n" + line + "\n\n").toStdString(), errors).empty());
    QCOMPARE(errors, std::vector<std::string>{error.toStdString()});
}

void TestReport::substanceNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<chem::TitrationType>("type"); // whose kind of names are suggested
    QTest::addColumn<QString>("found"); // the substance, or after '?' the nearest of 3 names
    const auto acid = chem::TitrationType::WeakAcidStrongBase;
    const auto base = chem::TitrationType::WeakBaseStrongAcid;
    QTest::newRow("name, blanks and capitals") << "  Phosphoric ACID " << acid << "phosphoric acid";
    QTest::newRow("formula, any case") << "na2co3" << base << "sodium carbonate";
    QTest::newRow("synonym") << "Glycine" << acid << "glycine hydrochloride";
    QTest::newRow("a letter missing") << "phosphoric acd" << acid << "?phosphoric acid";
    QTest::newRow("capitals, two letters swapped")
        << "SODIUM CARBONAET" << base << "?sodium carbonate";
    QTest::newRow("near a synonym") << "glycin" << acid << "?glycine hydrochloride";
}

void TestReport::substanceNames()
{
    QFETCH(QString, typed);
    QFETCH(chem::TitrationType, type);
    QFETCH(QString, found);
    const Substance* s = findSubstance(typed.toStdString());
    const std::vector<std::string> near =
        nearestNames(typed.toStdString(), type == chem::TitrationType::WeakBaseStrongAcid, 3);
    QCOMPARE(near.size(), std::size_t(3));
    QCOMPARE(s ? QString::fromStdString(s->name) : "?" + QString::fromStdString(near.front()),
             found);
}

void TestReport::nearestNamesOfTheKind_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<chem::TitrationType>("type");
    const auto acid = chem::TitrationType::WeakAcidStrongBase;
    const auto base = chem::TitrationType::WeakBaseStrongAcid;
    QTest::newRow("one letter for a weak acid") << "b" << acid;
    QTest::newRow("an acid's name misspelt for a weak base") << "phosphoric acd" << base;
}

void TestReport::nearestNamesOfTheKind()
{
    // An unknown name is refused with three names the titration would take: acids for a weak
    // acid, bases for a weak base.
    QFETCH(QString, typed);
    QFETCH(chem::TitrationType, type);
    const bool base = type == chem::TitrationType::WeakBaseStrongAcid;
    const std::string refusal = resolveConstantText(typed.toStdString(), base).refusal;
    const std::size_t open = refusal.find(" (nearest: ");
    QVERIFY2(open != std::string::npos && refusal.back() == ')', refusal.c_str());
    const QStringList names =
        QString::fromStdString(refusal.substr(open + 11)).chopped(1).split(QStringLiteral(", "));
    QCOMPARE(names.size(), 3);
    for (const QString& name : names) {
        const Substance* s = findSubstance(name.toStdString());
        QVERIFY2(s && s->base == base, refusal.c_str());
    }
}

void TestReport::json()
{
    // Phosphoric acid (under a name that needs escapes) with phenolphthalein; a strong acid alone.
    CalculationInput named = input(WeakAcidStrongBase, 0.1, 25, 0.1, 1E-2),
                     strong = input(StrongAcidStrongBase, 0.1, 25, 0.1);
    named.constants = AnalyteConstants{{2.148, 7.198, 12.375}, "H3PO4 \"1\\2\"\t\n", "H3PO4"};
    named.indicator = IndicatorInfo{"phenolphthalein", 8.2, 9.8, "colourless", "violet"};
    for (const CalculationInput& in : {named, strong}) {
        const std::optional<Report> r = runCalculation(in);
        QVERIFY(r);
        const QJsonObject o =
            QJsonDocument::fromJson(QByteArray::fromStdString(titrationJson(in, *r))).object();
        // Every number the report's own, to the last bit (QList compares exactly, not fuzzily).
        QList<double> written, own;
        for (const QJsonValue p : o["equivalencePoints"].toArray())
            for (const QJsonValue& x : {p["volume"], p["pH"], p["volumeRange"][0],
                                        p["volumeRange"][1], p["pHRange"][0], p["pHRange"][1]})
                written += x.toDouble();
        for (const QJsonValue row : o["table"].toArray())
            written += {row[0].toDouble(), row[1].toDouble()};
        for (const EquivalencePoint& p : r->points)
            own += {p.volume, p.pH, p.volumeLow, p.volumeHigh, p.pHAtLow, p.pHAtHigh};
        for (const auto& [volume, pH] : r->rows)
            own += {volume, pH};
        QCOMPARE(written, own);
        if (!in.constants) { // no constants, no name, no indicator
            QVERIFY(o["titration"] == "strong-acid" && o["analyte"]["pKa"] == QJsonArray() &&
                    o["analyte"]["name"].isNull() && o["indicator"].isNull());
            continue;
        }
        QCOMPARE(o["titration"].toString(), "weak-acid");
        QCOMPARE(o["analyte"]["name"].toString().toStdString(), named.constants->name);
        QCOMPARE(o["analyte"]["pKa"].toVariant(), QVariantList({2.148, 7.198, 12.375}));
        QCOMPARE(o["indicator"]["points"].toVariant(),
                 QVariantList({"inappropriate", "very appropriate", "inappropriate"}));
        QCOMPARE(o["indicator"]["verdict"].toString(), "very appropriate");
    }
    QCOMPARE(jsonNumber(std::numeric_limits<double>::infinity()), std::string("null"));
}

#include "tst_report.moc"
