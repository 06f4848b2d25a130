// The indicator catalogue, the colour of a solution, the indicator panel and strip; the
// schematic refresh as a function: what it reads from the boxes, accepts, and then shows.
#include "indicators/catalogue.h"
#include "indicators/indicatorcolour.h"
#include "indicators/indicatorpanel.h"
#include "indicators/schematic.h"

#include <QTest>

#include <cmath>

using namespace indicators;
using enum chem::TitrationType;

Q_DECLARE_METATYPE(chem::TitrationType)

static SchematicState refresh(std::optional<chem::TitrationType> type, const BoxTexts& boxes,
                              int indicator, const IndicatorCatalogue& c = filledCatalogue())
{
    return ActualizarColor_pH(type, boxes, indicator, c);
}

/// The four boxes from "titrant|volume|analyte|constant".
static BoxTexts boxTexts(const QString& texts)
{
    const QStringList b = texts.split('|');
    return {b[0].toStdString(), b[1].toStdString(), b[2].toStdString(), b[3].toStdString()};
}

class TestIndicators : public QObject
{
    Q_OBJECT

private slots:
    void catalogue_data();
    void catalogue();
    void colour();
    void panel();
    void finds_data();
    void finds();
    void shows_data();
    void shows();
    void verdictAtTheJumpsEnds_data();
    void verdictAtTheJumpsEnds();
    void acceptsOnlyItsRanges();
    void failureLeavesLaterStepsUnwritten();
    void flaskColourFollowsIndicatorAndPH();
    void saysWhyRefused_data();
    void saysWhyRefused();
    void inWords();
};

void TestIndicators::catalogue_data()
{
    // The program's published catalogue, in chooser order: transition range, the colours' names
    // and their RGB on either side.
    QTest::addColumn<int>("slot");
    QTest::addColumn<double>("pHLow");
    QTest::addColumn<double>("pHHigh");
    QTest::addColumn<QString>("acidName");
    QTest::addColumn<Colour>("acid");
    QTest::addColumn<QString>("basicName");
    QTest::addColumn<Colour>("basic");
    int slot = 0;
    const auto row = [&](const char* name, double low, double high, const char* acidName,
                         Colour acid, const char* basicName, Colour basic) {
        QTest::newRow(name) << ++slot << low << high << acidName << acid << basicName << basic;
    };
    // clang-format off
    row("alizarin yellow R", 10.1, 12.0, "yellow", rgb(255, 255, 128), "brown yellow", rgb(160, 160, 64));
    row("bromophenol blue", 3.0, 4.6, "yellow", rgb(255, 255, 128), "violet", rgb(192, 128, 255));
    row("bromothymol blue", 6.0, 7.6, "yellow", rgb(255, 240, 160), "blue", rgb(128, 192, 255));
    row("phenolphthalein", 8.2, 9.8, "colourless", rgb(248, 248, 248), "violet", rgb(224, 128, 255));
    row("m-cresol purple", 7.4, 9.0, "yellow", rgb(255, 255, 160), "purple", rgb(232, 160, 255));
    row("methyl orange", 3.1, 4.4, "red", rgb(255, 96, 96), "yellow orange", rgb(255, 200, 128));
    row("bromocresol purple", 5.2, 6.8, "yellow", rgb(248, 248, 128), "purple", rgb(224, 160, 255));
    row("congo red", 3.0, 5.2, "blue violet", rgb(128, 64, 255), "red orange", rgb(255, 100, 32));
    row("bromophenol red", 5.2, 6.8, "yellow orange", rgb(255, 212, 160), "purple", rgb(224, 160, 255));
    row("cresol red", 7.0, 8.8, "yellow", rgb(255, 255, 160), "purple", rgb(224, 160, 255));
    row("phenol red", 6.4, 8.2, "yellow", rgb(255, 255, 128), "red", rgb(255, 128, 128));
    row("methyl red", 4.4, 6.2, "red", rgb(255, 96, 96), "yellow orange", rgb(255, 220, 128));
    row("neutral red", 6.4, 8.0, "reddish blue", rgb(196, 0, 255), "yellow orange", rgb(255, 196, 128));
    row("thymolphthalein", 9.4, 10.6, "colourless", rgb(248, 248, 248), "blue", rgb(128, 192, 255));
    row("litmus", 5.0, 8.0, "red", rgb(255, 96, 128), "blue", rgb(128, 192, 255));
    row("methyl violet", 0.1, 1.6, "yellow", rgb(255, 255, 64), "blue", rgb(128, 92, 255));
    row("4-dimethylaminobenzol", 2.9, 4.0, "red", rgb(255, 96, 96), "yellow orange", rgb(255, 220, 128));
    row("(F) esculin", 1.0, 1.5, "pale indigo", rgb(196, 196, 255), "strong blue", rgb(64, 96, 255));
    row("(F) beta-naphthylamine", 2.8, 4.4, "colourless", rgb(240, 240, 240), "violet", rgb(192, 128, 255));
    row("(F) alpha-naphthylamine", 3.4, 4.8, "colourless", rgb(240, 240, 240), "blue", rgb(64, 128, 255));
    row("(F) fluorescein", 3.8, 4.3, "pale blue", rgb(196, 196, 255), "strong blue", rgb(64, 64, 255));
    row("(F) eosin", 3.9, 4.5, "colourless", rgb(240, 240, 240), "yellow orange", rgb(255, 220, 128));
    row("(F) eritrosine", 3.7, 4.6, "colourless", rgb(240, 240, 240), "lime", rgb(230, 255, 128));
    row("(F) acridine", 5.3, 6.4, "green", rgb(128, 255, 128), "violet", rgb(200, 128, 255));
    row("(F) umbelliferone", 6.2, 8.3, "colourless", rgb(240, 240, 240), "blue", rgb(64, 128, 255));
    row("(F) coumarin", 9.2, 10.5, "colourless", rgb(240, 240, 240), "lime", rgb(200, 255, 128));
    row("(F) beta-methylumbelliferone", 6.9, 7.1, "pale indigo", rgb(196, 196, 255), "blue", rgb(64, 192, 255));
    // clang-format on
}

void TestIndicators::catalogue()
{
    QFETCH(int, slot);
    QFETCH(double, pHLow);
    QFETCH(double, pHHigh);
    QFETCH(Colour, acid);
    QFETCH(Colour, basic);
    const IndicatorCatalogue& c = filledCatalogue();
    QCOMPARE(c.indicatorCount, 27);
    const Indicator& k = c.table[std::size_t(slot)];
    QCOMPARE(QString::fromStdString(k.name), QString(QTest::currentDataTag()));
    QTEST(QString::fromStdString(k.acidColourName), "acidName");
    QTEST(QString::fromStdString(k.basicColourName), "basicName");
    QVERIFY(k.pHLow == pHLow && k.pHHigh == pHHigh); // the doubles nearest the decimals
    // A solution shows the acid colour up to the range and the basic one from its end.
    QCOMPARE(Get_Color_INDIC(c, slot, pHLow), acid);
    QCOMPARE(Get_Color_INDIC(c, slot, pHLow - 1), acid);
    QCOMPARE(Get_Color_INDIC(c, slot, pHHigh), basic);
    QCOMPARE(Get_Color_INDIC(c, slot, pHHigh + 1), basic);
    QCOMPARE(findIndicator(c, k.name), slot);
}

void TestIndicators::colour()
{
    const IndicatorCatalogue& c = filledCatalogue();
    // The acid colour up to pHLow, the basic one from pHHigh, each channel interpolated
    // between them and rounded halves to even; black without an indicator.
    // clang-format off
    const std::tuple<int, double, Colour> cases[] = {
        {4, 8.6, rgb(242, 218, 250)}, {4, 9.0, rgb(236, 188, 252)}, {15, 6.0, rgb(213, 128, 170)},
        {4, 8.2, rgb(248, 248, 248)}, {4, std::nextafter(8.2, 14.0), rgb(248, 248, 248)},
        {3, 7.6, rgb(128, 192, 255)}, {3, std::nextafter(7.6, 0.0), rgb(128, 192, 255)},
        {13, 2.0, rgb(196, 0, 255)}, {1, 14.0, rgb(160, 160, 64)}, {27, -1.0, rgb(196, 196, 255)},
        {27, 7.0, rgb(130, 194, 255)}, {0, 7.0, 0}, {-1, 7.0, 0}, {28, 7.0, 0}, {31, 7.0, 0}};
    // clang-format on
    for (const auto& [slot, pH, expected] : cases)
        QVERIFY2(Get_Color_INDIC(c, slot, pH) == expected, qPrintable(QString::number(slot)));
    QCOMPARE(Get_Color_INDIC(IndicatorCatalogue(), 4, 9.0), 0); // an empty catalogue
}

void TestIndicators::panel()
{
    const IndicatorCatalogue& c = filledCatalogue();
    // Position, then the captions, the range ends (their zero restored) and the chart caption.
    const std::pair<int, const char*> cases[] = {
        {18, "pale indigo (acid)|strong blue (basic)|1|1.5|(F) esculin"},
        {16, "yellow (acid)|blue (basic)|0.1|1.6|methyl violet"},
        {1, "yellow (acid)|brown yellow (basic)|10.1|12|alizarin yellow R"},
        {0, "||||"},
        {28, "||||"}};
    for (const auto& [position, shown] : cases) {
        const IndicatorPanel p = indicatorPanelFor(c, position);
        const std::string texts = p.acidCaption + '|' + p.basicCaption + '|' + p.lowText + '|' +
                                  p.highText + '|' + p.chartCaption;
        QCOMPARE(texts, std::string(shown));
        QCOMPARE(p.indicatorChosen, position > 0 && position <= 27);
        QCOMPARE(p.fluorescentNote, position == 18);
        QCOMPARE(p.pHLow + p.pHHigh,
                 position ? c.table[position].pHLow + c.table[position].pHHigh : 0);
    }
    // The last ten of the catalogue are fluorescent, marked "(F)".
    for (int slot = 1; slot <= 27; ++slot)
        QCOMPARE(indicatorPanelFor(c, slot).fluorescentNote, slot >= 18);
    // The strip spans pH 0 to 14 across its width.
    QCOMPARE(stripX(10, 280, 7), 150.0);
    QCOMPARE(stripX(10, 280, 8.2), 10 + 280 * 8.2 / 14);
    QCOMPARE(stripColour(c, 4, 180, 280), Get_Color_INDIC(c, 4, 9));
    QCOMPARE(stripColour(c, 0, 180, 280), 0);
}

void TestIndicators::finds_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<int>("position");
    QTest::newRow("number") << "04" << 4;
    QTest::newRow("any case") << "(f) AcriDINE" << 24;
    QTest::newRow("fluorescent, bare") << "acridine" << 24;
    QTest::newRow("whole name first") << "esculin" << 2;
    QTest::newRow("bare, twice") << "eosin" << 0;
    for (const char* none : {"0", "28", "-1", "litmus2", "phenol", ""})
        QTest::addRow("none: '%s'", none) << none << 0;
}

void TestIndicators::finds()
{
    QFETCH(QString, wanted);
    IndicatorCatalogue c = filledCatalogue();
    c.table[1].name = "(F) eosin"; // as 22 is
    c.table[2].name = "esculin";   // and 18 without its "(F) "
    QTEST(findIndicator(c, wanted.toStdString()), "position");
}

void TestIndicators::shows_data()
{
    // 0.1 M, 25 mL, 0.1 M: the strong jump runs from pH 3.30 to 10.70 round 7; phenolphthalein
    // is position 4 (8.2-9.8), bromothymol blue 3 (6.0-7.6), alizarin yellow R 1 (mid 11.05),
    // methyl violet 16 (mid 0.85), methyl orange 6 (3.1-4.4, the weak base's 5.28 outside).
    QTest::addColumn<chem::TitrationType>("type");
    QTest::addColumn<QString>("boxes"); // titrant|volume|analyte|constant
    QTest::addColumn<int>("indicator");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("shown"); // the flask's label, the burette's, the verdict
    const QString strong = "0.1|25|0.1|";
    // clang-format off
    QTest::newRow("nothing typed") << StrongAcidStrongBase << "|||" << 4 << false << "||";
    QTest::newRow("weak acid without Ka: no pH, no verdict") << WeakAcidStrongBase << strong << 4 << false << "|pH = 13|";
    QTest::newRow("no indicator") << StrongAcidStrongBase << strong << 0 << false << "pH = 1|pH = 13|";
    QTest::newRow("centre and point in range") << StrongAcidStrongBase << strong << 3 << false << "pH = 1|pH = 13|Very appropriate";
    QTest::newRow("centre in the jump") << StrongAcidStrongBase << strong << 4 << false << "pH = 1|pH = 13|Appropriate";
    QTest::newRow("centre above the jump") << StrongAcidStrongBase << strong << 1 << false << "pH = 1|pH = 13|Inappropriate";
    QTest::newRow("centre below the jump") << StrongAcidStrongBase << strong << 16 << false << "pH = 1|pH = 13|Inappropriate";
    QTest::newRow("strong base") << StrongBaseStrongAcid << strong << 3 << false << "pH = 13|pH = 1|Very appropriate";
    QTest::newRow("weak acid") << WeakAcidStrongBase << "0.1|25|0.1|1.8e-5" << 4 << false << "pH = 2.876|pH = 13|Very appropriate";
    QTest::newRow("weak base") << WeakBaseStrongAcid << "0.1|25|0.1|1.8E-5" << 6 << false << "pH = 11.125|pH = 1|Appropriate";
    QTest::newRow("Veq 2.5 mL fails after the labels") << StrongAcidStrongBase << "0.1|2.5|0.1|" << 4 << true << "pH = 1|pH = 13|";
    QTest::newRow("analyte alone") << StrongAcidStrongBase << "||0.5|" << 0 << false << "pH = .301||";
    QTest::newRow("pH below 0") << StrongAcidStrongBase << "||5|" << 0 << false << "pH = -.699||";
    QTest::newRow("pH above 14") << StrongBaseStrongAcid << "||10|" << 0 << false << "pH = 15||";
    // Several points: the verdict names those the indicator suits.
    QTest::newRow("phosphoric acid, phenolphthalein") << WeakAcidStrongBase << "0.1|25|0.1|pKa 2.15 7.20 12.35" << 4 << false << "pH = 1.633|pH = 13|Very appropriate: point 2";
    QTest::newRow("phosphoric acid, methyl violet") << WeakAcidStrongBase << "0.1|25|0.1|pKa 2.15 7.20 12.35" << 16 << false << "pH = 1.633|pH = 13|Inappropriate";
    QTest::newRow("carbonate by name") << WeakBaseStrongAcid << "0.1|25|0.1|sodium carbonate" << 6 << false << "pH = 11.655|pH = 1|Very appropriate: point 2";
    // clang-format on
}

void TestIndicators::shows()
{
    QFETCH(chem::TitrationType, type);
    QFETCH(QString, boxes);
    QFETCH(int, indicator);
    QFETCH(bool, failed);
    const SchematicState s = refresh(type, boxTexts(boxes), indicator);
    QTEST(QString::fromStdString(s.LblpHErl + '|' + s.LblpHBur + '|' + verdictCaption(s)), "shown");
    QCOMPARE(s.failed, failed);
}

void TestIndicators::verdictAtTheJumpsEnds_data()
{
    // A made-up indicator (slot 1 replaced) whose colour change is centred exactly on the pH at
    // 99 % or 101 % of Veq, or just beyond; or whose range ends exactly at the point's pH.
    QTest::addColumn<double>("pHLow");
    QTest::addColumn<double>("pHHigh");
    QTest::addColumn<QString>("verdict");
    const chem::TitrationInputs in{0.1, 0.1, 25, -1};
    const double veq = report::equivalenceVolume(in);
    const double before = chem::Get_pH(StrongAcidStrongBase, in, 0.99 * veq);
    const double after = chem::Get_pH(StrongAcidStrongBase, in, 1.01 * veq);
    const double point = chem::Get_pH(StrongAcidStrongBase, in, veq);
    const double below = std::nextafter(before, 0.0), above = std::nextafter(after, 14.0);
    // clang-format off
    QTest::newRow("centre at the jump's start") << before << before << "Appropriate";
    QTest::newRow("centre just before it") << below << below << "Inappropriate";
    QTest::newRow("centre at the jump's end") << after << after << "Appropriate";
    QTest::newRow("centre just after it") << above << above << "Inappropriate";
    QTest::newRow("point at the range's start") << point << point + 1 << "Very appropriate";
    QTest::newRow("point just before it") << std::nextafter(point, 14.0) << point + 1 << "Appropriate";
    QTest::newRow("point at the range's end") << point - 1 << point << "Very appropriate";
    QTest::newRow("point just after it") << point - 1 << std::nextafter(point, 0.0) << "Appropriate";
    // clang-format on
}

void TestIndicators::verdictAtTheJumpsEnds()
{
    QFETCH(double, pHLow);
    QFETCH(double, pHHigh);
    IndicatorCatalogue c = filledCatalogue();
    c.table[1].pHLow = pHLow;
    c.table[1].pHHigh = pHHigh;
    QTEST(QString::fromStdString(
              verdictCaption(refresh(StrongAcidStrongBase, boxTexts("0.1|25|0.1|"), 1, c))),
          "verdict");
}

void TestIndicators::acceptsOnlyItsRanges()
{
    // Box (0 titrant, 1 volume, 2 analyte, 3 K, 4 the volume with an indicator, which brings
    // the check of Veq in 5..300 mL), its text, what is stored (-1: refused).
    // clang-format off
    const std::tuple<int, const char*, double> cases[] = {
        {0, "10", 10}, {0, "10.01", -1}, {0, "1E-6", 1e-6}, {0, "9.9E-7", -1}, {2, "10", 10},
        {2, "10.01", -1}, {2, "1e-6", 1e-6}, {2, "9.9e-7", -1}, {1, "2.5", 2.5}, {1, "2.49", -1},
        {1, "600", 600}, {1, "600.1", -1}, {3, "1", -1}, {3, "1E-14", -1}, {3, "1.1E-14", 1.1e-14},
        {3, "0,99", 0.99}, {2, " 0,1 ", 0.1}, {2, "abc", -1}, {4, "5", 5}, {4, "4.99", -1},
        {4, "300", 300}, {4, "300.01", -1}};
    // clang-format on
    for (const auto& [box, text, stored] : cases) {
        // A weak acid whose other inputs are all good.
        BoxTexts boxes{"0.1", "25", "0.1", "1.8e-5"};
        std::string* texts[] = {&boxes.TxCBur, &boxes.TxVErl, &boxes.TxCErl, &boxes.TxKaKb,
                                &boxes.TxVErl};
        *texts[box] = text;
        const SchematicState s = refresh(WeakAcidStrongBase, boxes, box == 4 ? 4 : 0);
        const double fields[] = {s.inputs.titrantConc, s.inputs.analyteVolume, s.inputs.analyteConc,
                                 s.inputs.dissociationConstant, s.inputs.analyteVolume};
        QVERIFY2(s.failed == (stored < 0), text);
        // The volume is stored before the equivalence volume is checked.
        QCOMPARE(fields[box], box == 4 && stored < 0 ? std::stod(text) : stored);
        QCOMPARE(s.verdict.has_value(), box == 4 && stored > 0);
    }
}

void TestIndicators::failureLeavesLaterStepsUnwritten()
{
    // The analyte is read first: refusing it leaves everything at its reset. A refused titrant
    // keeps what the analyte step wrote and never reads the volume. A strong type never reads
    // the constant's box.
    SchematicState s = refresh(StrongAcidStrongBase, {"0.1", "25", "20", ""}, 4);
    QVERIFY(s.failed && s.LblpHErl.empty() && s.LblpHBur.empty() && s.flaskColour == kWhite &&
            s.inputs.titrantConc == -1 && s.inputs.analyteConc == -1);
    s = refresh(StrongAcidStrongBase, {"x", "25", "0.1", ""}, 4);
    QVERIFY(s.failed && s.LblpHErl == "pH = 1" && s.LblpHBur.empty() && !s.verdict &&
            s.inputs.analyteConc == 0.1 && s.inputs.analyteVolume == -1);
    s = refresh(StrongAcidStrongBase, {"0.1", "25", "0.1", "garbage"}, 0);
    QVERIFY(!s.failed && s.inputs.dissociationConstant == -1);
}

void TestIndicators::flaskColourFollowsIndicatorAndPH()
{
    // A strong base in the flask turns phenolphthalein violet; 1E-5 M (pH 9.00004) half way
    // through its 8.2 to 9.8; no indicator, or a weak acid without its constant: white.
    QCOMPARE(refresh(StrongBaseStrongAcid, {"", "", "0.1", ""}, 4).flaskColour, rgb(224, 128, 255));
    QCOMPARE(refresh(StrongBaseStrongAcid, {"", "", "1E-5", ""}, 4).flaskColour,
             rgb(236, 188, 252));
    QCOMPARE(refresh(StrongBaseStrongAcid, {"", "", "0.1", ""}, 0).flaskColour, kWhite);
    QCOMPARE(refresh(WeakAcidStrongBase, {"", "", "0.1", ""}, 4).flaskColour, kWhite);
}

void TestIndicators::saysWhyRefused_data()
{
    // The inputs are titrant|volume|analyte|constant|indicator; the reason is the box at
    // fault (0 none, 1 TxCBur, 2 TxVErl, 3 TxCErl, 4 TxKaKb), the kind (0 missing, 1 out of
    // range) and the text.
    QTest::addColumn<chem::TitrationType>("type");
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("reason");
    // clang-format off
    QTest::newRow("refused before blank") << StrongAcidStrongBase << "||20||0" << "3 1 the analyte concentration 20 is outside 1E-06 to 10 mol/L";
    QTest::newRow("Ka") << WeakAcidStrongBase << "0.1|25|0.1|2|0" << "4 1 the Ka 2 is outside 1E-14 to 1, both excluded";
    QTest::newRow("as typed, pasted") << StrongAcidStrongBase << "0.1| 601\n|0.1||0" << "2 1 the analyte volume 601 is outside 2.5 to 600 mL";
    QTest::newRow("blank titrant") << StrongAcidStrongBase << "  |25|0.1||0" << "1 0 the titrant concentration is missing";
    QTest::newRow("blank Kb") << WeakBaseStrongAcid << "0.1|25|0.1| |4" << "4 0 the Kb is missing";
    QTest::newRow("Veq, by the verdict") << StrongAcidStrongBase << "0.01|250|0.1||4" << "0 1 the equivalence volume 2500 mL is outside 5 to 300 mL";
    QTest::newRow("accepted") << WeakAcidStrongBase << "0.1|25|0.1|1.8e-5|4" << "";
    QTest::newRow("Veq at its bound, no indicator") << StrongAcidStrongBase << "0.1|5|0.1||0" << "";
    QTest::newRow("an acid's name for a base") << WeakBaseStrongAcid << "0.1|25|0.1|acetic acid|4" << "4 1 acetic acid is an acid, titrated with a base";
    QTest::newRow("the last of three points") << WeakAcidStrongBase << "0.1|125|0.1|pKa 2 7 12|0" << "0 1 the last equivalence volume 375 mL is outside 5 to 300 mL";
    QTest::newRow("the first of two points") << WeakAcidStrongBase << "0.1|4|0.1|pKa 2 7|4" << "0 1 the first equivalence volume 4 mL is outside 5 to 300 mL";
    QTest::newRow("named, accepted") << WeakAcidStrongBase << "0.1|25|0.1|H3PO4|4" << "";
    // clang-format on
}

void TestIndicators::saysWhyRefused()
{
    QFETCH(chem::TitrationType, type);
    QFETCH(QString, inputs);
    QFETCH(QString, reason);
    const BoxTexts texts = boxTexts(inputs.section('|', 0, 3));
    const int indicator = inputs.section('|', 4).toInt();
    const SchematicState s = refresh(type, texts, indicator);
    const std::optional<Refusal> why = whyRefused(type, s);
    QCOMPARE(why ? QString("%1 %2 ").arg(int(why->input)).arg(int(why->kind)) +
                       QString::fromStdString(why->text)
                 : QString(),
             reason);
    // The reason is given exactly when the run refuses.
    const auto run = calculationInput(type, s, texts, indicator, filledCatalogue(), "");
    QCOMPARE(report::runCalculation(run).has_value(), !why);
}

void TestIndicators::inWords()
{
    // What a screen reader says of the schematic and the strip: only what they show.
    const IndicatorCatalogue& c = filledCatalogue();
    const auto said = [&](std::optional<chem::TitrationType> type, const BoxTexts& boxes,
                          int indicator) {
        return schematicDescription(type, refresh(type, boxes, indicator), indicator, c);
    };
    QCOMPARE(said(WeakAcidStrongBase, {"0.1", "25", "0.1", "1.8e-5"}, 4),
             std::string("Burette: strong base 0.1 mol/L, pH 13. Flask: weak acid, pH 2.876, "
                         "colourless with phenolphthalein. The indicator is very appropriate."));
    QCOMPARE(said(WeakBaseStrongAcid, {"", "", "0.1", ""}, 3), // Kb not given; bromothymol blue
             std::string("Burette: strong acid, pH not known. Flask: weak base, pH not known."));
    QCOMPARE(said(StrongBaseStrongAcid, {"", "", "1E-5", ""}, 4),
             std::string("Burette: strong acid, pH not known. Flask: strong base, pH 9, between "
                         "colourless and violet with phenolphthalein."));
    // At either end of the range (bromophenol blue 3.0-4.6, 4-dimethylaminobenzol 2.9-4.0) the
    // colour is that side's own; without an indicator, no colour.
    const auto flask = [&](const char* analyte, int indicator) {
        const std::string text = said(StrongAcidStrongBase, {"", "", analyte, ""}, indicator);
        return text.substr(text.find("Flask: "));
    };
    QCOMPARE(flask("1E-3", 2),
             std::string("Flask: strong acid, pH 3, yellow with bromophenol blue."));
    QCOMPARE(flask("1E-4", 17), std::string("Flask: strong acid, pH 4, yellow orange with "
                                            "4-dimethylaminobenzol."));
    QCOMPARE(flask("1E-4", 0), std::string("Flask: strong acid, pH 4."));
    QCOMPARE(said(std::nullopt, {}, 0), std::string("Choose a titration type."));
    QCOMPARE(stripDescription(4, c),
             std::string("phenolphthalein: colourless up to pH 8.2, violet from pH 9.8"));
    QCOMPARE(stripDescription(0, c), std::string("No indicator"));
}

QTEST_APPLESS_MAIN(TestIndicators)
#include "tst_indicators.moc"
