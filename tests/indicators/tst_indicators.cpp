// The indicator catalogue, the colour of a solution with an indicator, and the indicator panel.
#include "indicators/catalogue.h"
#include "indicators/indicatorcolour.h"
#include "indicators/indicatorpanel.h"
#include "report/numbertext.h"

#include <QStringList>
#include <QTest>

#include <cmath>

using namespace indicators;

class TestIndicators : public QObject
{
    Q_OBJECT

private slots:
    void emptySlotsStayEmpty();
    void exactlyTheFluorescentNamesAreMarked();
    void colour_data();
    void colour();
    void emptyCatalogueGivesBlack();
    void panel_data();
    void panel();
    void strip();
};

void TestIndicators::emptySlotsStayEmpty()
{
    const IndicatorCatalogue& catalogue = filledCatalogue();
    for (int slot : {0, 28, 29, 30}) {
        const Indicator& empty = catalogue.table[slot];
        QVERIFY(empty.name.empty() && empty.acidColourName.empty());
        QCOMPARE(empty.pHLow, 0.0);
        QCOMPARE(empty.pHHigh, 0.0);
        QCOMPARE(empty.acidColour, 0);
        QCOMPARE(empty.basicColour, 0);
    }
}

void TestIndicators::exactlyTheFluorescentNamesAreMarked()
{
    const IndicatorCatalogue& catalogue = filledCatalogue();
    for (int slot = 1; slot <= 27; ++slot)
        QCOMPARE(catalogue.table[slot].isFluorescent(), slot >= 18);
}

void TestIndicators::colour_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<double>("pH");
    QTest::addColumn<int>("expected");

    const double phenolphthaleinLow = 8.2, bromothymolHigh = 7.6;

    QTest::newRow("phenolphthalein, quarter way") << 4 << 8.6 << rgb(242, 218, 250);
    QTest::newRow("phenolphthalein, half way: 251.5 to even") << 4 << 9.0 << rgb(236, 188, 252);
    QTest::newRow("litmus, a third of the way") << 15 << 6.0 << rgb(213, 128, 170);
    QTest::newRow("at pHLow: acid colour") << 4 << phenolphthaleinLow << rgb(248, 248, 248);
    QTest::newRow("a hair above pHLow rounds back")
        << 4 << std::nextafter(phenolphthaleinLow, 14.0) << rgb(248, 248, 248);
    QTest::newRow("at pHHigh: basic colour") << 3 << bromothymolHigh << rgb(128, 192, 255);
    QTest::newRow("a hair below pHHigh rounds up")
        << 3 << std::nextafter(bromothymolHigh, 0.0) << rgb(128, 192, 255);
    QTest::newRow("neutral red, acid side") << 13 << 2.0 << rgb(196, 0, 255);
    QTest::newRow("alizarin yellow R, basic side") << 1 << 14.0 << rgb(160, 160, 64);
    QTest::newRow("last slot, below range") << 27 << -1.0 << rgb(196, 196, 255);
    QTest::newRow("last slot, mid range") << 27 << 7.0 << rgb(130, 194, 255);
    QTest::newRow("no indicator, pH -1") << 0 << -1.0 << 0;
    QTest::newRow("no indicator, pH 0") << 0 << 0.0 << 0;
    QTest::newRow("no indicator, pH 7") << 0 << 7.0 << 0;
    QTest::newRow("no indicator, pH 14") << 0 << 14.0 << 0;
    QTest::newRow("slot -1") << -1 << 7.0 << 0;
    QTest::newRow("slot 28, beyond the count") << 28 << 7.0 << 0;
    QTest::newRow("slot 31, beyond the table") << 31 << 7.0 << 0;
}

void TestIndicators::colour()
{
    QFETCH(int, slot);
    QFETCH(double, pH);
    QFETCH(int, expected);

    const IndicatorCatalogue& catalogue = filledCatalogue();
    QCOMPARE(Get_Color_INDIC(catalogue, slot, pH), expected);
}

void TestIndicators::emptyCatalogueGivesBlack()
{
    // Before the catalogue is filled no slot counts as an indicator.
    const IndicatorCatalogue empty;
    QCOMPARE(Get_Color_INDIC(empty, 4, 9.0), 0);
}

void TestIndicators::panel_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("shown"); // acid, basic, low, high, chart caption, note
    QTest::newRow("esculin") << 18
                             << "pale indigo (acid)|strong blue (basic)|1|1.5|(F) esculin|note";
    QTest::newRow("methyl violet: zero restored")
        << 16 << "yellow (acid)|blue (basic)|0.1|1.6|methyl violet|";
    QTest::newRow("alizarin yellow R")
        << 1 << "yellow (acid)|brown yellow (basic)|10.1|12|alizarin yellow R|";
    QTest::newRow("last indicator") << 27 << "(acid)|(basic)|||(F) beta-methylumbelliferone|note";
    QTest::newRow("no indicator") << 0 << "|||||";
    QTest::newRow("beyond the catalogue") << 28 << "|||||";
}

void TestIndicators::panel()
{
    QFETCH(int, position);
    QFETCH(QString, shown);
    const IndicatorPanel p = indicatorPanelFor(filledCatalogue(), position);
    QStringList texts;
    for (const std::string* t :
         {&p.acidCaption, &p.basicCaption, &p.lowText, &p.highText, &p.chartCaption})
        texts << QString::fromStdString(*t);
    texts << (p.fluorescentNote ? "note" : "");
    const QStringList expected = shown.split('|');
    for (int i = 0; i < 6; ++i)
        if (!expected[i].isEmpty() || position <= 0 || position > 27)
            QVERIFY2(texts[i].endsWith(expected[i]), qPrintable(texts.join('|')));
    QCOMPARE(p.indicatorChosen, position > 0 && position <= 27);
    if (p.indicatorChosen) {
        QCOMPARE(QString::fromStdString(report::NumberText(p.pHLow)), texts[2]);
        QCOMPARE(QString::fromStdString(report::NumberText(p.pHHigh)), texts[3]);
    }
}

void TestIndicators::strip()
{
    // The strip spans pH 0 to 14: its middle column is pH 7, its markers sit on the range ends.
    QCOMPARE(stripX(10, 280, 7), 150.0);
    QCOMPARE(stripX(10, 280, 8.2), 10 + 280 * 8.2 / 14);
    const IndicatorCatalogue& c = filledCatalogue();
    QCOMPARE(stripColour(c, 4, 140, 280), Get_Color_INDIC(c, 4, 7));
    QCOMPARE(stripColour(c, 4, 180, 280), Get_Color_INDIC(c, 4, 9));
    QCOMPARE(stripColour(c, 0, 180, 280), 0);
}

QTEST_APPLESS_MAIN(TestIndicators)
#include "tst_indicators.moc"
