// The indicator catalogue, the colour of a solution with an indicator, and the indicator panel.
#include "indicators/catalogue.h"
#include "indicators/indicatorcolour.h"
#include "indicators/indicatorpanel.h"

#include <QTest>

#include <cmath>

using namespace indicators;

class TestIndicators : public QObject
{
    Q_OBJECT

private slots:
    void colour();
    void panel();
    void finds_data();
    void finds();
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

QTEST_APPLESS_MAIN(TestIndicators)
#include "tst_indicators.moc"
