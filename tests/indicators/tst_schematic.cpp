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

void TestSchematic::shows_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("bur");
    QTest::addColumn<QString>("vol");
    QTest::addColumn<QString>("erl");
    QTest::addColumn<QString>("k");
    QTest::addColumn<int>("indicator");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("erlLabel");
    QTest::addColumn<QString>("burLabel");
    QTest::addColumn<QString>("verdict");

    QTest::newRow("all empty") << 0 << ""
                               << ""
                               << ""
                               << "" << kPhenolphthalein << 0 << ""
                               << ""
                               << "";
    QTest::newRow("weak acid without Ka: no flask pH, no verdict")
        << 1 << "0.1"
        << "25"
        << "0.1"
        << "" << kPhenolphthalein << 0 << ""
        << "pH = 13"
        << "";
    QTest::newRow("no indicator: labels only") << 0 << "0.1"
                                               << "25"
                                               << "0.1"
                                               << "" << kNone << 0 << "pH = 1"
                                               << "pH = 13"
                                               << "";
    QTest::newRow("bromothymol blue: equivalence pH 7 in 6.0-7.6")
        << 0 << "0.1"
        << "25"
        << "0.1"
        << "" << kBromothymolBlue << 0 << "pH = 1"
        << "pH = 13"
        << "Very appropriate";
    QTest::newRow("phenolphthalein: mid 9.0 inside 3.30-10.70")
        << 0 << "0.1"
        << "25"
        << "0.1"
        << "" << kPhenolphthalein << 0 << "pH = 1"
        << "pH = 13"
        << "Appropriate";
    QTest::newRow("methyl orange: mid 3.75 inside") << 0 << "0.1"
                                                    << "25"
                                                    << "0.1"
                                                    << "" << kMethylOrange << 0 << "pH = 1"
                                                    << "pH = 13"
                                                    << "Appropriate";
    QTest::newRow("alizarin yellow R: mid 11.05 above") << 0 << "0.1"
                                                        << "25"
                                                        << "0.1"
                                                        << "" << kAlizarinYellow << 0 << "pH = 1"
                                                        << "pH = 13"
                                                        << "Inappropriate";
    QTest::newRow("methyl violet: mid 0.85 below") << 0 << "0.1"
                                                   << "25"
                                                   << "0.1"
                                                   << "" << kMethylViolet << 0 << "pH = 1"
                                                   << "pH = 13"
                                                   << "Inappropriate";
    QTest::newRow("strong base titrated: bromothymol blue, the jump falls")
        << 2 << "0.1"
        << "25"
        << "0.1"
        << "" << kBromothymolBlue << 0 << "pH = 13"
        << "pH = 1"
        << "Very appropriate";
    QTest::newRow("strong base titrated: phenolphthalein")
        << 2 << "0.1"
        << "25"
        << "0.1"
        << "" << kPhenolphthalein << 0 << "pH = 13"
        << "pH = 1"
        << "Appropriate";
    QTest::newRow("strong base titrated: alizarin yellow R")
        << 2 << "0.1"
        << "25"
        << "0.1"
        << "" << kAlizarinYellow << 0 << "pH = 13"
        << "pH = 1"
        << "Inappropriate";
    QTest::newRow("weak acid: phenolphthalein") << 1 << "0.1"
                                                << "25"
                                                << "0.1"
                                                << "1.8e-5" << kPhenolphthalein << 0 << "pH = 2.876"
                                                << "pH = 13"
                                                << "Very appropriate";
    QTest::newRow("weak base: methyl orange, equivalence pH 5.28 outside its range")
        << 3 << "0.1"
        << "25"
        << "0.1"
        << "1.8E-5" << kMethylOrange << 0 << "pH = 11.125"
        << "pH = 1"
        << "Appropriate";
    QTest::newRow("Veq 2.5 mL with an indicator fails after both labels")
        << 0 << "0.1"
        << "2.5"
        << "0.1"
        << "" << kPhenolphthalein << 1 << "pH = 1"
        << "pH = 13"
        << "";
    QTest::newRow("Veq 2.5 mL without an indicator is no failure") << 0 << "0.1"
                                                                   << "2.5"
                                                                   << "0.1"
                                                                   << "" << kNone << 0 << "pH = 1"
                                                                   << "pH = 13"
                                                                   << "";
    QTest::newRow("pH below 1 without its zero") << 0 << ""
                                                 << ""
                                                 << "0.5"
                                                 << "" << kNone << 0 << "pH = .301"
                                                 << ""
                                                 << "";
    QTest::newRow("negative pH without its zero") << 0 << ""
                                                  << ""
                                                  << "5"
                                                  << "" << kNone << 0 << "pH = -.699"
                                                  << ""
                                                  << "";
    QTest::newRow("strong base of 10 M") << 2 << ""
                                         << ""
                                         << "10"
                                         << "" << kNone << 0 << "pH = 15"
                                         << ""
                                         << "";
}

void TestSchematic::shows()
{
    QFETCH(int, type);
    QFETCH(QString, bur);
    QFETCH(QString, vol);
    QFETCH(QString, erl);
    QFETCH(QString, k);
    QFETCH(int, indicator);
    QFETCH(int, flag);
    QFETCH(QString, erlLabel);
    QFETCH(QString, burLabel);
    QFETCH(QString, verdict);

    const SchematicState s =
        refresh(type, {bur.toStdString(), vol.toStdString(), erl.toStdString(), k.toStdString()},
                indicator);
    QCOMPARE(s.calcErrorFlag, flag);
    QCOMPARE(chem::CalcErrorFlag, flag);
    QCOMPARE(QString::fromStdString(s.LblpHErl), erlLabel);
    QCOMPARE(QString::fromStdString(s.LblpHBur), burLabel);
    QCOMPARE(verdictText(s), verdict);
}

void TestSchematic::acceptsOnlyItsRanges_data()
{
    QTest::addColumn<int>("box"); // 0 TxCBur, 1 TxVErl, 2 TxCErl, 3 TxKaKb, 4 Veq through TxVErl
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("stored"); // -1: refused

    QTest::newRow("titrant 10") << 0 << "10" << 10.0;
    QTest::newRow("titrant 10.01") << 0 << "10.01" << -1.0;
    QTest::newRow("titrant 1E-6") << 0 << "1E-6" << 1e-6;
    QTest::newRow("titrant 9.9E-7") << 0 << "9.9E-7" << -1.0;
    QTest::newRow("analyte 10") << 2 << "10" << 10.0;
    QTest::newRow("analyte 10.01") << 2 << "10.01" << -1.0;
    QTest::newRow("analyte 1E-6") << 2 << "1e-6" << 1e-6;
    QTest::newRow("analyte 9.9E-7") << 2 << "9.9e-7" << -1.0;
    QTest::newRow("volume 2.5") << 1 << "2.5" << 2.5;
    QTest::newRow("volume 2.49") << 1 << "2.49" << -1.0;
    QTest::newRow("volume 600") << 1 << "600" << 600.0;
    QTest::newRow("volume 600.1") << 1 << "600.1" << -1.0;
    QTest::newRow("K 1 is not a weak acid") << 3 << "1" << -1.0;
    QTest::newRow("K 1E-14 is not a weak acid") << 3 << "1E-14" << -1.0;
    QTest::newRow("K 1.1E-14") << 3 << "1.1E-14" << 1.1e-14;
    QTest::newRow("K 0.99") << 3 << "0,99" << 0.99;
    QTest::newRow("comma") << 2 << "0,1" << 0.1;
    QTest::newRow("blanks round a comma") << 2 << " 0,1 " << 0.1;
    QTest::newRow("blanks round a point") << 2 << "  0.1 " << 0.1;
    QTest::newRow("exponent") << 2 << "1E-1" << 0.1;
    QTest::newRow("letters read as 0") << 2 << "abc" << -1.0;
    QTest::newRow("Veq 5 mL accepted") << 4 << "5" << 5.0;
    QTest::newRow("Veq 4.99 mL refused") << 4 << "4.99" << -1.0;
    QTest::newRow("Veq 300 mL accepted") << 4 << "300" << 300.0;
    QTest::newRow("Veq 300.01 mL refused") << 4 << "300.01" << -1.0;
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
