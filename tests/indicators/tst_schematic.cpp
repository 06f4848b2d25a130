// The schematic refresh as a function: what it reads from the boxes, what it accepts, and what
// the schematic then shows.
#include "indicators/schematic.h"

#include <QTest>

using namespace indicators;

namespace {

SchematicState refresh(int type, const BoxTexts& boxes, int indicator)
{
    return ActualizarColor_pH(chem::titrationTypeFromIndex(type), boxes, indicator,
                              filledCatalogue());
}

} // namespace

class TestSchematic : public QObject
{
    Q_OBJECT

private slots:
    void shows();
    void acceptsOnlyItsRanges();
    void failureLeavesLaterStepsUnwritten();
    void flaskColourFollowsIndicatorAndPH();
    void saysWhyRefused_data();
    void saysWhyRefused();
    void inWords();
};

void TestSchematic::shows()
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
        {2, {"", "", "10", ""}, 0, 0, "pH = 15||"}};
    // clang-format on
    for (const Case& c : cases) {
        const SchematicState s = refresh(c.type, c.boxes, c.indicator);
        const std::string shown = s.LblpHErl + '|' + s.LblpHBur + '|' +
                                  (s.verdict ? verdictCaption(*s.verdict) : std::string());
        QCOMPARE(shown, std::string(c.shown));
        QCOMPARE(s.calcErrorFlag, c.flag);
        QCOMPARE(chem::CalcErrorFlag, c.flag);
    }
}

void TestSchematic::acceptsOnlyItsRanges()
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

void TestSchematic::failureLeavesLaterStepsUnwritten()
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

void TestSchematic::flaskColourFollowsIndicatorAndPH()
{
    // A strong base in the flask turns phenolphthalein violet; 1E-5 M (pH 9.00004) half way
    // through its 8.2 to 9.8; no indicator, or a weak acid without its constant: white.
    QCOMPARE(refresh(2, {"", "", "0.1", ""}, 4).flaskColour, rgb(224, 128, 255));
    QCOMPARE(refresh(2, {"", "", "1E-5", ""}, 4).flaskColour, rgb(236, 188, 252));
    QCOMPARE(refresh(2, {"", "", "0.1", ""}, 0).flaskColour, kWhite);
    QCOMPARE(refresh(1, {"", "", "0.1", ""}, 4).flaskColour, kWhite);
}

void TestSchematic::saysWhyRefused_data()
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
    // clang-format on
}

void TestSchematic::saysWhyRefused()
{
    QFETCH(QString, inputs);
    QFETCH(QString, reason);
    const QStringList b = inputs.split('|');
    const BoxTexts texts{b[1].toStdString(), b[2].toStdString(), b[3].toStdString(),
                         b[4].toStdString()};
    const auto type = chem::titrationTypeFromIndex(b[0].toInt());
    const SchematicState s = refresh(b[0].toInt(), texts, b[5].toInt());
    const std::optional<Refusal> why = whyRefused(type, s, texts);
    QCOMPARE(why ? QString("%1 %2 ").arg(int(why->input)).arg(int(why->kind)) +
                       QString::fromStdString(why->text)
                 : QString(),
             reason);
    // The reason is given exactly when the run refuses.
    const auto run = calculationInput(type, s, texts, b[5].toInt(), filledCatalogue(), "");
    QCOMPARE(report::runCalculation(run).has_value(), !why);
}

void TestSchematic::inWords()
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

QTEST_APPLESS_MAIN(TestSchematic)
#include "tst_schematic.moc"
