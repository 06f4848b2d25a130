// The titration chart read back from a recording surface: axes, band, curve, equivalence
// point, on screen and on paper.
#include "chart/recordingsurface.h"
#include "chart/titrationchart.h"
#include "indicators/indicatorcolour.h"

#include <QStringList>
#include <QTest>

#include <cmath>

using namespace chart;
using Op = RecordingSurface::Operation;
using Kind = RecordingSurface::Kind;

namespace {

constexpr Colour rgb(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

ChartInput input(int type, double analyteConc, double analyteVolume, double titrantConc,
                 double K = -1, int indicator = 0)
{
    ChartInput in;
    in.type = chem::titrationTypeFromIndex(type);
    in.inputs = {titrantConc, analyteConc, analyteVolume, K};
    in.indicatorPosition = indicator;
    in.catalogue = &indicators::filledCatalogue();
    in.title = "Titration of weak acid with strong base";
    in.indicatorName = "phenolphthalein";
    return in;
}

ChartInput weakAcidExample(int indicator = 4)
{
    return input(1, 0.1, 25, 0.1, 1.8e-5, indicator);
}

struct Drawn
{
    ChartGeometry geometry;
    std::vector<Op> ops;
};

Drawn draw(const ChartInput& in, bool paper, double twipsPerPixel = 15)
{
    const ChartGeometry g = paper ? ChartGeometry::paper() : ChartGeometry::screen(768, 476);
    RecordingSurface surface(paper ? 25.4 / 72 : 96.0 / 72, twipsPerPixel);
    drawChart(surface, g, in);
    return {g, surface.operations};
}

std::vector<Op> curveLines(const Drawn& d)
{
    std::vector<Op> lines;
    for (const Op& op : d.ops)
        if (op.kind == Kind::Line && (op.colour == rgb(0, 160, 0) || op.colour == rgb(196, 0, 0)))
            lines.push_back(op);
    return lines;
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

private slots:
    void textsPlacedAndSized_data();
    void textsPlacedAndSized();
    void volumeTicks_data();
    void volumeTicks();
    void bandOnlyWithAnIndicator_data();
    void bandOnlyWithAnIndicator();
    void segmentsColouredByErrorAtTheirEnd();
    void curveInterruptedOutsidePHRange();
    void equivalencePointAndItsTexts();
    void paperStrokesAcrossTheGreenStretch();
    void nothingDrawnForRefusedInputs_data();
    void nothingDrawnForRefusedInputs();
};

void TestChart::textsPlacedAndSized_data()
{
    QTest::addColumn<bool>("paper");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");
    // The title and the indicator are labels on screen, drawn only on paper. Worked by hand
    // from the geometry (screen: plot x 30 to 748, H 456; paper: 10 to 260 mm, H 180) and the
    // recording surface's measure (half a font size a character, 1.15 a line).
    const double pt = 96.0 / 72;
    QTest::newRow("pH 7 label") << false << "7" << 25 - 0.5 * 10 * pt
                                << 436 - 8 * 456.0 / 18 - 1.15 * 10 * pt / 2 << 10.0 << false;
    QTest::newRow("volume 24 label, centred on its line")
        << false << "24" << 30 + 718 * 24.0 / 50 - 0.5 * 10 * pt << 438.0 << 10.0 << false;
    QTest::newRow("caption") << false << "Volume of base (titrant) added (mL)"
                             << 389 - 0.5 * 11 * pt * 35 / 2 << 455.0 << 11.0 << true;
    const double mm = 25.4 / 72;
    QTest::newRow("paper: title") << true << "Titration of weak acid with strong base"
                                  << 135 - 0.5 * 11 * mm * 39 / 2 << 4.0 << 11.0 << true;
    QTest::newRow("paper: indicator, right")
        << true << "phenolphthalein" << 259 - 0.5 * 10 * mm * 15 << 7.0 << 10.0 << false;
    QTest::newRow("paper: volume 24 label")
        << true << "24" << 10 + 250 * 24.0 / 50 - 0.5 * 10 * mm << 180 - 6.0 << 10.0 << false;
}

void TestChart::textsPlacedAndSized()
{
    QFETCH(bool, paper);
    QFETCH(QString, text);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, size);
    QFETCH(bool, bold);
    const Drawn d = draw(weakAcidExample(), paper);
    const auto op = std::find_if(d.ops.begin(), d.ops.end(), [&](const Op& o) {
        return o.kind == Kind::Print && o.text == text.toStdString();
    });
    QVERIFY(op != d.ops.end());
    QVERIFY2(std::fabs(op->x1 - x) < 1e-6 && std::fabs(op->y1 - y) < 1e-6,
             qPrintable(QStringLiteral("at %1, %2").arg(op->x1).arg(op->y1)));
    QCOMPARE(op->fontSize, size);
    QCOMPARE(op->bold, bold);
}

void TestChart::volumeTicks_data()
{
    QTest::addColumn<bool>("paper");
    QTest::addColumn<double>("veq");
    QTest::addColumn<QString>("labels");

    QTest::newRow("2·Veq 20: every mL")
        << false << 10.0 << "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20";
    QTest::newRow("2·Veq 20.5: every 2 mL") << false << 10.25 << "0 2 4 6 8 10 12 14 16 18 20";
    QTest::newRow("2·Veq 201: every 20 mL")
        << false << 100.5 << "0 20 40 60 80 100 120 140 160 180 200";
    QTest::newRow("paper, 2·Veq 50: every 2 mL")
        << true << 25.0
        << "0 2 4 6 8 10 12 14 16 18 20 22 24 26 28 30 32 34 36 38 40 42 44 46 48 50";
    QTest::newRow("paper, 2·Veq 51: every 5 mL")
        << true << 25.5 << "0 5 10 15 20 25 30 35 40 45 50";
}

void TestChart::volumeTicks()
{
    QFETCH(bool, paper);
    QFETCH(double, veq);
    QFETCH(QString, labels);

    // 0.1 M on both sides: Veq is the analyte volume.
    const Drawn d = draw(input(0, 0.1, veq, 0.1), paper);
    const ChartGeometry& g = d.geometry;
    QStringList printed;
    int gridLines = 0;
    bool closed = false;
    for (const Op& op : d.ops) {
        if (op.kind == Kind::Print && op.y1 == g.volumeLabelTop)
            printed << QString::fromStdString(op.text);
        if (op.kind == Kind::Line && op.x1 == op.x2 && op.y1 == g.gridTop &&
            op.y2 == g.gridTop + g.gridLength) {
            ++gridLines;
            closed = closed || op.x1 == g.XR;
        }
    }
    QCOMPARE(printed.join(' '), labels);
    QCOMPARE(gridLines, printed.size() + 1); // one a label, and the closing line
    QVERIFY(closed);
}

void TestChart::bandOnlyWithAnIndicator_data()
{
    QTest::addColumn<int>("indicator");
    QTest::addColumn<bool>("paper");
    QTest::addColumn<int>("rows");

    QTest::newRow("no indicator") << 0 << false << 0;
    QTest::newRow("phenolphthalein, y 32 to H - 21") << 4 << false << 456 - 21 - 32 + 1;
    QTest::newRow("no indicator on paper") << 0 << true << 0;
    QTest::newRow("phenolphthalein on paper, 0.74 mm apart") << 4 << true << 216;
}

void TestChart::bandOnlyWithAnIndicator()
{
    QFETCH(int, indicator);
    QFETCH(bool, paper);
    QFETCH(int, rows);

    const Drawn d = draw(weakAcidExample(indicator), paper);
    const ChartGeometry& g = d.geometry;
    int band = 0;
    for (const Op& op : d.ops) {
        if (op.kind != Kind::Line || op.x1 != g.bandLeft || op.x2 != g.bandLeft + g.bandWidth)
            continue;
        ++band;
        QCOMPARE(op.colour, indicators::Get_Color_INDIC(indicators::filledCatalogue(), indicator,
                                                        g.pHAtY(op.y1)));
    }
    QCOMPARE(band, rows);
}

void TestChart::segmentsColouredByErrorAtTheirEnd()
{
    for (bool paper : {false, true}) {
        const Drawn d = draw(weakAcidExample(), paper);
        const ChartGeometry& g = d.geometry;
        int green = 0;
        for (const Op& op : curveLines(d)) {
            const double v = (op.x2 - g.X0) * 50 / (g.XR - g.X0);
            const bool within = std::fabs(v - 25) / 25 * 100 <= 1;
            QCOMPARE(op.colour == rgb(0, 160, 0), within);
            green += within;
        }
        // 1 % of Veq is 1/200 of the plot: a few samples wide.
        QVERIFY2(green >= 2 && green <= 6, qPrintable(QString::number(green)));
    }
}

void TestChart::curveInterruptedOutsidePHRange()
{
    // 20 M strong base: pH 15.3 at the start, above the chart. The curve begins where the pH
    // comes down to 15, with no line from the left edge.
    const Drawn d = draw(input(2, 20, 10, 20), false);
    const ChartGeometry& g = d.geometry;
    const std::vector<Op> lines = curveLines(d);
    QVERIFY(!lines.empty());
    QVERIFY(lines.front().x1 > g.X0);
    for (const Op& op : lines)
        QVERIFY(op.y1 >= g.yOfPH(15) - 1e-9 && op.y2 >= g.yOfPH(15) - 1e-9);
}

void TestChart::equivalencePointAndItsTexts()
{
    const Drawn d = draw(weakAcidExample(), false);
    const ChartGeometry& g = d.geometry;
    const double xe = (g.X0 + g.XR) / 2;
    const auto dot = std::find_if(d.ops.begin(), d.ops.end(),
                                  [](const Op& op) { return op.kind == Kind::PSet; });
    QVERIFY(dot != d.ops.end());
    QCOMPARE(dot->x1, xe);
    QCOMPARE(dot->colour, rgb(240, 0, 0));
    QCOMPARE(dot->penWidth, 10);
    QVERIFY(std::fabs(g.pHAtY(dot->y1) - 8.722) < 0.001);

    QStringList texts;
    for (auto op = dot; op != d.ops.end(); ++op) {
        if (op->kind != Kind::Print)
            continue;
        texts << QString::fromStdString(op->text);
        // Each over a white box of its own place.
        const Op& box = *(op - 1);
        QVERIFY(box.kind == Kind::Box && box.colour == rgb(255, 255, 255));
        QCOMPARE(box.x1, op->x1);
        QCOMPARE(box.y1, op->y1);
        const bool right = op->x1 > xe;
        QCOMPARE(right ? op->x1 : box.x2, right ? xe + 18 : xe - 24);
    }
    QCOMPARE(texts, (QStringList{" Equivalence point.  pH = 8.722 ", " Volume added = 25 mL ",
                                 " Green line: Error < 1% ", " Range of pH: [ 6.74,  10.7 ] ",
                                 " Range of volume added : [ 24.75,  25.25 ] mL "}));
}

void TestChart::paperStrokesAcrossTheGreenStretch()
{
    // At 1200 dots an inch a device pixel is 1.2 twips: 0.6 mm is 28 pixels, 3 mm 142.
    const Drawn d = draw(weakAcidExample(), true, 1.2);
    const std::vector<Op> curve = curveLines(d);
    QCOMPARE(curve.front().penWidth, 28);

    std::vector<Op> strokes;
    for (const Op& op : d.ops)
        if (op.kind == Kind::Line && op.colour == rgb(0, 80, 0))
            strokes.push_back(op);
    QCOMPARE(strokes.size(), std::size_t(4)); // where the stretch begins and where it ends
    for (const Op& s : strokes) {
        QVERIFY(std::fabs(std::hypot(s.x2 - s.x1, s.y2 - s.y1) - 2) < 1e-9);
        // Across the segment that leaves the same point.
        const auto segment = std::find_if(
            curve.begin(), curve.end(), [&](const Op& c) { return c.x1 == s.x1 && c.y1 == s.y1; });
        QVERIFY(segment != curve.end());
        const double dot = (s.x2 - s.x1) * (segment->x2 - segment->x1) +
                           (s.y2 - s.y1) * (segment->y2 - segment->y1);
        QVERIFY(std::fabs(dot) < 1e-9);
    }
    const auto point = std::find_if(d.ops.begin(), d.ops.end(),
                                    [](const Op& op) { return op.kind == Kind::PSet; });
    QCOMPARE(point->penWidth, 142);
    QCOMPARE(point->colour, rgb(200, 0, 0));
    QCOMPARE(d.ops.front().text, std::string("Titration of weak acid with strong base"));
    QCOMPARE(d.ops[1].text, std::string("phenolphthalein"));
}

void TestChart::nothingDrawnForRefusedInputs_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("analyteVolume");
    QTest::addColumn<double>("K");
    QTest::addColumn<bool>("drawn");

    QTest::newRow("Veq 4.99 mL") << 0 << 4.99 << -1.0 << false;
    QTest::newRow("Veq 5 mL") << 0 << 5.0 << -1.0 << true;
    QTest::newRow("Veq 300 mL") << 0 << 300.0 << -1.0 << true;
    QTest::newRow("Veq 300.01 mL") << 0 << 300.01 << -1.0 << false;
    QTest::newRow("weak acid without Ka") << 1 << 25.0 << -1.0 << false;
    QTest::newRow("weak acid with Ka 0") << 1 << 25.0 << 0.0 << false;
    QTest::newRow("same inputs as a strong acid") << 0 << 25.0 << 0.0 << true;
}

void TestChart::nothingDrawnForRefusedInputs()
{
    QFETCH(int, type);
    QFETCH(double, analyteVolume);
    QFETCH(double, K);
    QFETCH(bool, drawn);

    QCOMPARE(!draw(input(type, 0.1, analyteVolume, 0.1, K), false).ops.empty(), drawn);
}

QTEST_APPLESS_MAIN(TestChart)
#include "tst_chart.moc"
