// The indicator catalogue, the colour of a solution, the indicator panel and strip; the
// schematic refresh as a function: what it reads from the boxes, accepts, and then shows.
#include "indicators/catalogue.h"
#include "indicators/indicatorcolour.h"
#include "indicators/indicatorpanel.h"
#include "indicators/schematic.h"

#include <QTest>

#include <cmath>

using namespace indicators;

static SchematicState refresh(int type, const BoxTexts& boxes, int indicator)
{
    return ActualizarColor_pH(chem::titrationTypeFromIndex(type), boxes, indicator,
                              filledCatalogue());
}

class TestIndicators : public QObject
{
    Q_OBJECT

private slots:
    void colour();
    void panel();
    void finds_data();
    void finds();
    void shows();
    void acceptsOnlyItsRanges();
    void failureLeavesLaterStepsUnwritten();
    void flaskColourFollowsIndicatorAndPH();
    void saysWhyRefused_data();
    void saysWhyRefused();
    void inWords();
};

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

void TestIndicators::shows()
{
    struct Case
    {
        int type;
        BoxTexts boxes;
        int indicator, flag;
        const char* shown; // the flask's label, the burette's, the verdict
    };
    // 0.1 M, 25 mL, 0.1 M: the strong jump runs from pH 3.30 to 10.70 round 7; phenolphthalein
    // is position 4 (8.2-9.8), bromothymol blue 3 (6.0-7.6), alizarin yellow R 1 (mid 11.05),
    // methyl violet 16 (mid 0.85), methyl orange 6 (3.1-4.4, the weak base's 5.28 outside).
    // clang-format off
    const Case cases[] = {
        {0, {"", "", "", ""}, 4, 0, "||"},
        {1, {"0.1", "25", "0.1", ""}, 4, 0, "|pH = 13|"}, // a weak acid without Ka: no pH, no verdict
        {0, {"0.1", "25", "0.1", ""}, 0, 0, "pH = 1|pH = 13|"},
        {0, {"0.1", "25", "0.1", ""}, 3, 0, "pH = 1|pH = 13|Very appropriate"},
        {0, {"0.1", "25", "0.1", ""}, 4, 0, "pH = 1|pH = 13|Appropriate"},
        {0, {"0.1", "25", "0.1", ""}, 1, 0, "pH = 1|pH = 13|Inappropriate"},
        {0, {"0.1", "25", "0.1", ""}, 16, 0, "pH = 1|pH = 13|Inappropriate"},
        {2, {"0.1", "25", "0.1", ""}, 3, 0, "pH = 13|pH = 1|Very appropriate"},
        {1, {"0.1", "25", "0.1", "1.8e-5"}, 4, 0, "pH = 2.876|pH = 13|Very appropriate"},
        {3, {"0.1", "25", "0.1", "1.8E-5"}, 6, 0, "pH = 11.125|pH = 1|Appropriate"},
        {0, {"0.1", "2.5", "0.1", ""}, 4, 1, "pH = 1|pH = 13|"}, // Veq 2.5 mL fails after the labels
        {0, {"", "", "0.5", ""}, 0, 0, "pH = .301||"},
        {0, {"", "", "5", ""}, 0, 0, "pH = -.699||"},
        {2, {"", "", "10", ""}, 0, 0, "pH = 15||"},
        // Several points: the verdict names those the indicator suits.
        {1, {"0.1", "25", "0.1", "pKa 2.15 7.20 12.35"}, 4, 0, "pH = 1.633|pH = 13|Very appropriate: point 2"},
        {1, {"0.1", "25", "0.1", "pKa 2.15 7.20 12.35"}, 16, 0, "pH = 1.633|pH = 13|Inappropriate"},
        {3, {"0.1", "25", "0.1", "sodium carbonate"}, 6, 0, "pH = 11.655|pH = 1|Very appropriate: point 2"}};
    // clang-format on
    for (const Case& c : cases) {
        const SchematicState s = refresh(c.type, c.boxes, c.indicator);
        const std::string shown = s.LblpHErl + '|' + s.LblpHBur + '|' + verdictCaption(s);
        QCOMPARE(QString::fromStdString(shown), QString(c.shown));
        QCOMPARE(s.calcErrorFlag, c.flag);
    }
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
        const SchematicState s = refresh(1, boxes, box == 4 ? 4 : 0);
        const double fields[] = {s.inputs.titrantConc, s.inputs.analyteVolume, s.inputs.analyteConc,
                                 s.inputs.dissociationConstant, s.inputs.analyteVolume};
        QVERIFY2(s.calcErrorFlag == (stored < 0), text);
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
    SchematicState s = refresh(0, {"0.1", "25", "20", ""}, 4);
    QVERIFY(s.calcErrorFlag == 1 && s.LblpHErl.empty() && s.LblpHBur.empty() &&
            s.flaskColour == kWhite && s.inputs.titrantConc == -1 && s.inputs.analyteConc == -1);
    s = refresh(0, {"x", "25", "0.1", ""}, 4);
    QVERIFY(s.calcErrorFlag == 1 && s.LblpHErl == "pH = 1" && s.LblpHBur.empty() && !s.verdict &&
            s.inputs.analyteConc == 0.1 && s.inputs.analyteVolume == -1);
    s = refresh(0, {"0.1", "25", "0.1", "garbage"}, 0);
    QVERIFY(s.calcErrorFlag == 0 && s.inputs.dissociationConstant == -1);
}

void TestIndicators::flaskColourFollowsIndicatorAndPH()
{
    // A strong base in the flask turns phenolphthalein violet; 1E-5 M (pH 9.00004) half way
    // through its 8.2 to 9.8; no indicator, or a weak acid without its constant: white.
    QCOMPARE(refresh(2, {"", "", "0.1", ""}, 4).flaskColour, rgb(224, 128, 255));
    QCOMPARE(refresh(2, {"", "", "1E-5", ""}, 4).flaskColour, rgb(236, 188, 252));
    QCOMPARE(refresh(2, {"", "", "0.1", ""}, 0).flaskColour, kWhite);
    QCOMPARE(refresh(1, {"", "", "0.1", ""}, 4).flaskColour, kWhite);
}

void TestIndicators::saysWhyRefused_data()
{
    // The inputs are type|titrant|volume|analyte|constant|indicator; the reason is the box at
    // fault (0 none, 1 TxCBur, 2 TxVErl, 3 TxCErl, 4 TxKaKb), the kind (0 missing, 1 out of
    // range) and the text.
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("reason");
    // clang-format off
    QTest::newRow("refused before blank") << "0|||20||0" << "3 1 the analyte concentration 20 is outside 1E-06 to 10 mol/L";
    QTest::newRow("Ka") << "1|0.1|25|0.1|2|0" << "4 1 the Ka 2 is outside 1E-14 to 1, both excluded";
    QTest::newRow("as typed, pasted") << "0|0.1| 601\n|0.1||0" << "2 1 the analyte volume 601 is outside 2.5 to 600 mL";
    QTest::newRow("blank titrant") << "0|  |25|0.1||0" << "1 0 the titrant concentration is missing";
    QTest::newRow("blank Kb") << "3|0.1|25|0.1| |4" << "4 0 the Kb is missing";
    QTest::newRow("Veq, by the verdict") << "0|0.01|250|0.1||4" << "0 1 the equivalence volume 2500 mL is outside 5 to 300 mL";
    QTest::newRow("accepted") << "1|0.1|25|0.1|1.8e-5|4" << "";
    QTest::newRow("Veq at its bound, no indicator") << "0|0.1|5|0.1||0" << "";
    QTest::newRow("an acid's name for a base") << "3|0.1|25|0.1|acetic acid|4" << "4 1 acetic acid is an acid, titrated with a base";
    QTest::newRow("the last of three points") << "1|0.1|125|0.1|pKa 2 7 12|0" << "0 1 the last equivalence volume 375 mL is outside 5 to 300 mL";
    QTest::newRow("the first of two points") << "1|0.1|4|0.1|pKa 2 7|4" << "0 1 the first equivalence volume 4 mL is outside 5 to 300 mL";
    QTest::newRow("named, accepted") << "1|0.1|25|0.1|H3PO4|4" << "";
    // clang-format on
}

void TestIndicators::saysWhyRefused()
{
    QFETCH(QString, inputs);
    QFETCH(QString, reason);
    const QStringList b = inputs.split('|');
    const BoxTexts texts{b[1].toStdString(), b[2].toStdString(), b[3].toStdString(),
                         b[4].toStdString()};
    const auto type = chem::titrationTypeFromIndex(b[0].toInt());
    const SchematicState s = refresh(b[0].toInt(), texts, b[5].toInt());
    const std::optional<Refusal> why = whyRefused(type, s);
    QCOMPARE(why ? QString("%1 %2 ").arg(int(why->input)).arg(int(why->kind)) +
                       QString::fromStdString(why->text)
                 : QString(),
             reason);
    // The reason is given exactly when the run refuses.
    const auto run = calculationInput(type, s, texts, b[5].toInt(), filledCatalogue(), "");
    QCOMPARE(report::runCalculation(run).has_value(), !why);
}

void TestIndicators::inWords()
{
    // What a screen reader says of the schematic and the strip: only what they show.
    const IndicatorCatalogue& c = filledCatalogue();
    const auto said = [&](int type, const BoxTexts& boxes, int indicator) {
        return schematicDescription(chem::titrationTypeFromIndex(type),
                                    refresh(type, boxes, indicator), indicator, c);
    };
    QCOMPARE(said(1, {"0.1", "25", "0.1", "1.8e-5"}, 4),
             std::string("Burette: strong base 0.1 mol/L, pH 13. Flask: weak acid, pH 2.876, "
                         "colourless with phenolphthalein. The indicator is very appropriate."));
    QCOMPARE(said(3, {"", "", "0.1", ""}, 3), // Kb not given; bromothymol blue
             std::string("Burette: strong acid, pH not known. Flask: weak base, pH not known."));
    QCOMPARE(said(2, {"", "", "1E-5", ""}, 4),
             std::string("Burette: strong acid, pH not known. Flask: strong base, pH 9, between "
                         "colourless and violet with phenolphthalein."));
    QCOMPARE(said(-1, {}, 0), std::string("Choose a titration type."));
    QCOMPARE(stripDescription(4, c),
             std::string("phenolphthalein: colourless up to pH 8.2, violet from pH 9.8"));
    QCOMPARE(stripDescription(0, c), std::string("No indicator"));
}

QTEST_APPLESS_MAIN(TestIndicators)
#include "tst_indicators.moc"
