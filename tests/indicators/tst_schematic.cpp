// The schematic refresh as a function: what it reads from the boxes, what it accepts, and what
// the schematic then shows.
#include "indicators/schematic.h"

#include <QTest>

#include <tuple>

using namespace indicators;

namespace {

SchematicState refresh(int type, const BoxTexts& boxes, int indicator)
{
    return ActualizarColor_pH(chem::titrationTypeFromIndex(type), boxes, indicator,
                              filledCatalogue());
}

QString verdictText(const SchematicState& s)
{
    return s.verdict ? QString::fromStdString(verdictCaption(*s.verdict)) : QString();
}

// Indicator positions.
constexpr int kNone = 0, kAlizarinYellow = 1, kBromothymolBlue = 3, kPhenolphthalein = 4,
              kMethylOrange = 6, kMethylViolet = 16;

} // namespace

class TestSchematic : public QObject
{
    Q_OBJECT

private slots:
    void shows_data();
    void shows();
    void acceptsOnlyItsRanges_data();
    void acceptsOnlyItsRanges();
    void failureLeavesLaterStepsUnwritten();
    void flaskColourFollowsIndicatorAndPH();
};

namespace {

struct Shown
{
    const char* name;
    int type;
    BoxTexts boxes;
    int indicator;
    int flag;
    const char* erlLabel;
    const char* burLabel;
    const char* verdict;
};

// clang-format off
const Shown kShown[] = {
    {"all empty", 0, {"", "", "", ""}, kPhenolphthalein, 0, "", "", ""},
    {"weak acid without Ka: no flask pH, no verdict", 1, {"0.1", "25", "0.1", ""}, kPhenolphthalein, 0, "", "pH = 13", ""},
    {"no indicator: labels only", 0, {"0.1", "25", "0.1", ""}, kNone, 0, "pH = 1", "pH = 13", ""},
    {"bromothymol blue: equivalence pH 7 in 6.0-7.6", 0, {"0.1", "25", "0.1", ""}, kBromothymolBlue, 0, "pH = 1", "pH = 13", "Very appropriate"},
    {"phenolphthalein: mid 9.0 inside 3.30-10.70", 0, {"0.1", "25", "0.1", ""}, kPhenolphthalein, 0, "pH = 1", "pH = 13", "Appropriate"},
    {"alizarin yellow R: mid 11.05 above", 0, {"0.1", "25", "0.1", ""}, kAlizarinYellow, 0, "pH = 1", "pH = 13", "Inappropriate"},
    {"methyl violet: mid 0.85 below", 0, {"0.1", "25", "0.1", ""}, kMethylViolet, 0, "pH = 1", "pH = 13", "Inappropriate"},
    {"strong base titrated: the jump falls", 2, {"0.1", "25", "0.1", ""}, kBromothymolBlue, 0, "pH = 13", "pH = 1", "Very appropriate"},
    {"weak acid: phenolphthalein", 1, {"0.1", "25", "0.1", "1.8e-5"}, kPhenolphthalein, 0, "pH = 2.876", "pH = 13", "Very appropriate"},
    {"weak base: methyl orange", 3, {"0.1", "25", "0.1", "1.8E-5"}, kMethylOrange, 0, "pH = 11.125", "pH = 1", "Appropriate"},
    {"Veq 2.5 mL with an indicator fails after both labels", 0, {"0.1", "2.5", "0.1", ""}, kPhenolphthalein, 1, "pH = 1", "pH = 13", ""},
    {"Veq 2.5 mL without an indicator is no failure", 0, {"0.1", "2.5", "0.1", ""}, kNone, 0, "pH = 1", "pH = 13", ""},
    {"pH below 1 without its zero", 0, {"", "", "0.5", ""}, kNone, 0, "pH = .301", "", ""},
    {"negative pH without its zero", 0, {"", "", "5", ""}, kNone, 0, "pH = -.699", "", ""},
    {"strong base of 10 M", 2, {"", "", "10", ""}, kNone, 0, "pH = 15", "", ""},
};
// clang-format on

} // namespace

void TestSchematic::shows_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kShown)); ++i)
        QTest::newRow(kShown[i].name) << i;
}

void TestSchematic::shows()
{
    QFETCH(int, row);
    const Shown& r = kShown[row];
    const SchematicState s = refresh(r.type, r.boxes, r.indicator);
    QCOMPARE(s.calcErrorFlag, r.flag);
    QCOMPARE(chem::CalcErrorFlag, r.flag);
    QCOMPARE(s.LblpHErl, std::string(r.erlLabel));
    QCOMPARE(s.LblpHBur, std::string(r.burLabel));
    QCOMPARE(verdictText(s), QString::fromLatin1(r.verdict));
}

void TestSchematic::acceptsOnlyItsRanges_data()
{
    QTest::addColumn<int>("box"); // 0 TxCBur, 1 TxVErl, 2 TxCErl, 3 TxKaKb, 4 Veq through TxVErl
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("stored"); // -1: refused

    const std::tuple<int, const char*, double> rows[] = {
        {0, "10", 10.0},   {0, "10.01", -1.0}, {0, "1E-6", 1e-6},       {0, "9.9E-7", -1.0},
        {2, "10", 10.0},   {2, "10.01", -1.0}, {2, "1e-6", 1e-6},       {2, "9.9e-7", -1.0},
        {1, "2.5", 2.5},   {1, "2.49", -1.0},  {1, "600", 600.0},       {1, "600.1", -1.0},
        {3, "1", -1.0},    {3, "1E-14", -1.0}, {3, "1.1E-14", 1.1e-14}, {3, "0,99", 0.99},
        {2, " 0,1 ", 0.1}, {2, "abc", -1.0},   {4, "5", 5.0},           {4, "4.99", -1.0},
        {4, "300", 300.0}, {4, "300.01", -1.0}};
    const char* boxNames[] = {"titrant", "volume", "analyte", "K", "Veq through the volume"};
    for (const auto& [box, text, stored] : rows)
        QTest::addRow("%s %s", boxNames[box], text) << box << QString::fromLatin1(text) << stored;
}

void TestSchematic::acceptsOnlyItsRanges()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(double, stored);

    // A weak acid whose other inputs are all good. Veq is only checked with an indicator.
    BoxTexts boxes{"0.1", "25", "0.1", "1.8e-5"};
    std::string* texts[] = {&boxes.TxCBur, &boxes.TxVErl, &boxes.TxCErl, &boxes.TxKaKb,
                            &boxes.TxVErl};
    *texts[box] = text.toStdString();
    const bool veqRow = box == 4;
    const SchematicState s = refresh(1, boxes, veqRow ? kPhenolphthalein : kNone);

    const double fields[] = {s.inputs.titrantConc, s.inputs.analyteVolume, s.inputs.analyteConc,
                             s.inputs.dissociationConstant, s.inputs.analyteVolume};
    QCOMPARE(s.calcErrorFlag, stored < 0 ? 1 : 0);
    // The volume is stored before the equivalence volume is checked.
    QCOMPARE(fields[box], veqRow && stored < 0 ? text.toDouble() : stored);
    QCOMPARE(s.verdict.has_value(), veqRow && stored > 0);
}

void TestSchematic::failureLeavesLaterStepsUnwritten()
{
    // The analyte is read first: refusing it leaves everything at its reset.
    SchematicState s = refresh(0, {"0.1", "25", "20", ""}, kPhenolphthalein);
    QCOMPARE(s.calcErrorFlag, 1);
    QVERIFY(s.LblpHErl.empty() && s.LblpHBur.empty());
    QCOMPARE(s.flaskColour, kWhite);
    QCOMPARE(s.inputs.titrantConc, -1.0);
    QCOMPARE(s.inputs.analyteVolume, -1.0);
    QCOMPARE(s.inputs.analyteConc, -1.0);

    // A refused titrant keeps what the analyte step wrote and never reads the volume.
    s = refresh(0, {"x", "25", "0.1", ""}, kPhenolphthalein);
    QCOMPARE(s.calcErrorFlag, 1);
    QCOMPARE(QString::fromStdString(s.LblpHErl), QStringLiteral("pH = 1"));
    QVERIFY(s.LblpHBur.empty());
    QCOMPARE(s.inputs.analyteConc, 0.1);
    QCOMPARE(s.inputs.analyteVolume, -1.0);
    QVERIFY(!s.verdict);

    // For a strong type the constant box is never read.
    s = refresh(0, {"0.1", "25", "0.1", "garbage"}, kNone);
    QCOMPARE(s.calcErrorFlag, 0);
    QCOMPARE(s.inputs.dissociationConstant, -1.0);
}

void TestSchematic::flaskColourFollowsIndicatorAndPH()
{
    const IndicatorCatalogue& c = filledCatalogue();
    // A strong base in the flask turns phenolphthalein violet.
    QCOMPARE(refresh(2, {"", "", "0.1", ""}, kPhenolphthalein).flaskColour,
             c.table[kPhenolphthalein].basicColour);
    // 1E-5 M strong base: pH 9.00004, half way through phenolphthalein's 8.2 to 9.8.
    QCOMPARE(refresh(2, {"", "", "1E-5", ""}, kPhenolphthalein).flaskColour, rgb(236, 188, 252));
    QCOMPARE(refresh(2, {"", "", "0.1", ""}, kNone).flaskColour, kWhite);
    // Without its constant a weak acid has no pH to colour the flask with.
    QCOMPARE(refresh(1, {"", "", "0.1", ""}, kPhenolphthalein).flaskColour, kWhite);
}

QTEST_APPLESS_MAIN(TestSchematic)
#include "tst_schematic.moc"
