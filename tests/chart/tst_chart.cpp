// The chart read back from a recording surface, on screen and paper, against values worked by
// hand from the geometry (screen: plot x 30 to 748, H 456; paper: 10 to 260 mm, H 180) and the
// surface's measure (a character half a font size wide, a line 1.15 font sizes high).
#include "chartsetup.h"
#include "indicators/indicatorcolour.h"

#include <QRectF>
#include <QStringList>
#include <QTest>

#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <map>
#include <ranges>
#include <set>

using namespace chart;
using namespace chart::test;

Q_DECLARE_METATYPE(Setup)

class TestChart : public QObject
{
    Q_OBJECT

private slots:
    void grid();
    void bandOnlyWithAnIndicator();
    void curve();
    void equivalencePointAndItsTexts();
    void paperStrokesAcrossTheGreenStretch();
    void nothingDrawnForRefusedInputs();
    void severalEquivalencePoints_data();
    void severalEquivalencePoints();
    void readings_data();
    void readings();
    void keptCurvesAndLegend();
    void rightAxis_data();
    void rightAxis();
    void derivativeOfKnownCurve_data();
    void derivativeOfKnownCurve();
    void plotTransform_data();
    void plotTransform();
    void denseSeriesPerPixel_data();
    void denseSeriesPerPixel();
    void drawnAsRecorded_data();
    void drawnAsRecorded();
    void worksheetPanels_data();
    void worksheetPanels();
};

void TestChart::grid()
{
    // One step for 2·Veq up to 20 mL, then 2, 5, 10 and 20 beyond 20, 50, 100 and 200.
    const double cases[][3] = {{0, 10, 1}, {0, 10.25, 2},  {1, 25, 2},   {1, 25.5, 5},
                               {0, 50, 5}, {0, 50.25, 10}, {0, 100, 10}, {0, 100.5, 20}};
    for (const auto& [paper, veq, step] : cases) {
        QStringList labels;
        for (double v = 0; v <= 2 * veq; v += step)
            labels << QString::number(v);
        const Drawn d = draw(input(StrongAcidStrongBase, veq), paper);
        QStringList printed;
        for (const Op& op : d.of(Kind::Print))
            if (op.y1 == d.g.volumeLabelTop)
                printed << QString::fromStdString(op.text);
        QCOMPARE(printed, labels);
        // A vertical line at each label and the closing one at the right edge; a horizontal one at
        // each whole pH from -1 to 15.
        int vertical = 0, horizontal = 0;
        for (const Op& op : d.of(Kind::Line, d.g.gridColour)) {
            if (op.x1 == op.x2 && op.y1 == d.g.gridTop && op.y2 == d.g.gridTop + d.g.gridLength) {
                const double v = (op.x1 - d.g.X0) / (d.g.XR - d.g.X0) * 2 * veq;
                QVERIFY(op.x1 == d.g.XR || printed.contains(QString::number(std::round(v))));
                ++vertical;
            } else if (op.y1 == op.y2 && op.x1 == d.g.X0 && op.x2 == d.g.XR) {
                QCOMPARE(d.g.pHAtY(op.y1), double(std::lround(d.g.pHAtY(op.y1))));
                ++horizontal;
            }
        }
        QCOMPARE(vertical, printed.size() + 1);
        QCOMPARE(horizontal, 17);
        // The vertical lines span the plot: from 31 px to H - 19 on screen, 40/3 mm to H - 20/3.
        QCOMPARE(d.g.gridTop, paper ? 40.0 / 3 : 31);
        QCOMPARE(d.g.gridTop + d.g.gridLength, paper ? 180 - 20 + 40.0 / 3 : 456 - 19);
        // The band: 38 px from x 708 on screen, 38/3 mm from 260 - 40/3 on paper.
        QCOMPARE(d.g.bandLeft + d.g.bandWidth / 38, paper ? 260 - 40.0 / 3 + 1.0 / 3 : 709.0);
    }
}

void TestChart::bandOnlyWithAnIndicator()
{
    // A line a pixel from y 32 to H - 21 on screen, 0.74 mm apart on paper.
    const std::tuple<bool, int, int> cases[] = {
        {false, 0, 0}, {false, 4, 456 - 21 - 32 + 1}, {true, 0, 0}, {true, 4, 216}};
    for (const auto& [paper, indicator, rows] : cases) {
        const Drawn d = draw(input(WeakAcidStrongBase, 25, 1.8e-5, indicator), paper);
        int band = 0;
        for (const Op& op : d.of(Kind::Line)) {
            if (op.x1 != d.g.bandLeft || op.x2 != d.g.bandLeft + d.g.bandWidth || op.y1 != op.y2)
                continue;
            ++band;
            QCOMPARE(op.colour, indicators::Get_Color_INDIC(indicators::filledCatalogue(),
                                                            indicator, d.g.pHAtY(op.y1)));
        }
        QCOMPARE(band, rows);
    }
}

void TestChart::curve()
{
    for (bool paper : {false, true}) {
        const Drawn d = draw(kWeakAcid, paper);
        const std::vector<Op> curve = d.curve();
        // A sample every 3 px (0.5 mm), one more apart beyond 5 % error, another beyond 20 %.
        const double unit = paper ? 0.5 : 1, step = paper ? 0.5 : 3;
        QCOMPARE(curve.front().x1, d.g.X0);
        QVERIFY(std::fabs(d.g.pHAtY(curve.front().y1) - 2.876) < 0.001);
        QVERIFY(curve.back().x2 > d.g.XR - step - 2 * unit);
        int green = 0;
        for (const Op& op : curve) {
            const auto error = [&](double x) {
                return std::fabs((x - d.g.X0) * 50 / (d.g.XR - d.g.X0) - 25) * 4;
            };
            QCOMPARE(op.x2 - op.x1, step + unit * ((error(op.x1) > 5) + (error(op.x1) > 20)));
            QCOMPARE(op.colour == kGreen, error(op.x2) <= 1); // the colour of its end
            QCOMPARE(op.penWidth, 2);                         // on paper 0.6 mm at 15 twips a pixel
            green += error(op.x2) <= 1;
        }
        QVERIFY(green >= 2 && green <= 6); // 1 % of Veq: 1/200 of the plot
        // What is drawn is the model's series.
        const Series s = curveOf(kWeakAcid, d.g);
        QCOMPARE(s.points.size(), curve.size() + 1);
        for (std::size_t i = 0; i < curve.size(); ++i)
            QVERIFY(curve[i].x2 == s.sampledX[i + 1] &&
                    curve[i].y2 == d.g.yOfPH(s.points[i + 1].second));
    }
    // 20 M strong base starts at pH 15.3, above the chart: no line from the left edge.
    const std::vector<Op> high = draw(input(StrongBaseStrongAcid, 10, -1, 0, 20), false).curve();
    QVERIFY(!high.empty() && high.front().x1 > 30);
    for (const Op& op : high)
        QVERIFY(std::min(op.y1, op.y2) >= ChartGeometry::screen(768, 476).yOfPH(15) - 1e-9);
    // 5 M strong acid starts at pH -0.7, still on the chart.
    QCOMPARE(draw(input(StrongAcidStrongBase, 10, -1, 0, 5), false).curve().front().x1, 30.0);
}

void TestChart::equivalencePointAndItsTexts()
{
    // Dot colour and pen; pen after it; texts right of the dot and left of it: offset, size,
    // and how many lines the left ones stand above and below it.
    // clang-format off
    const struct { bool paper; Colour dot; int pen, penAfter; double right, left, rightSize, leftSize, above, below; } cases[] = {
        {false, 240, 10, 2, 18, 24, 11, 10, 2, 1}, {true, 200, 11, 1, 6, 8, 12, 11, 2.5, 1.5}};
    // clang-format on
    for (const auto& c : cases) {
        const Drawn d = draw(kWeakAcid, c.paper);
        const double xe = (d.g.X0 + d.g.XR) / 2, unit = c.paper ? kMm : kPt;
        const auto dot = std::ranges::find(d.ops, Kind::PSet, &Op::kind);
        QVERIFY(dot != d.ops.end() && dot->x1 == xe && dot->colour == c.dot &&
                dot->penWidth == c.pen);
        QVERIFY(std::fabs(d.g.pHAtY(dot->y1) - 8.722) < 0.001);
        const double ye = dot->y1, lr = 1.15 * c.rightSize * unit, ll = 1.15 * c.leftSize * unit;
        const double ys[] = {ye - lr / 2, ye + lr, ye - c.above * ll, ye - ll / 2,
                             ye + c.below * ll};
        QStringList texts;
        for (auto op = dot; op != d.ops.end(); ++op) {
            if (op->kind != Kind::Print)
                continue;
            // Each over a white box of its own size.
            const Op& box = *(op - 1);
            const bool right = texts.size() < 2;
            QVERIFY(box.kind == Kind::Box && box.colour == kWhite && box.penWidth == c.penAfter &&
                    !op->bold);
            QVERIFY(box.x1 == op->x1 && box.y1 == op->y1 &&
                    std::fabs(op->y1 - ys[texts.size()]) < 1e-9);
            QCOMPARE(right ? op->x1 : box.x2, right ? xe + c.right : xe - c.left);
            QCOMPARE(op->fontSize, right ? c.rightSize : c.leftSize);
            QCOMPARE(box.y2 - box.y1, 1.15 * op->fontSize * unit);
            texts << QString::fromStdString(op->text);
        }
        QCOMPARE(texts, (QStringList{" Equivalence point.  pH = 8.722 ", " Volume added = 25 mL ",
                                     " Green line: Error < 1% ", " Range of pH: [ 6.74,  10.7 ] ",
                                     " Range of volume added : [ 24.75,  25.25 ] mL "}));
    }
    // The volumes to hundredths: 0.99 and 1.01 of 24.6 mL.
    QCOMPARE(std::ranges::count(draw(input(StrongAcidStrongBase, 24.6), false).ops,
                                " Range of volume added : [ 24.35,  24.85 ] mL ", &Op::text),
             1);
}

void TestChart::paperStrokesAcrossTheGreenStretch()
{
    // At 1200 dots an inch a device pixel is 1.2 twips: 0.6 mm is 28 pixels.
    const Drawn d = draw(kWeakAcid, true, 1.2);
    const std::vector<Op> curve = d.curve();
    QCOMPARE(curve.front().penWidth, 28);
    const std::vector<Op> strokes = d.of(Kind::Line, 80 * 256);
    QCOMPARE(strokes.size(), std::size_t(4)); // where the stretch begins and where it ends
    for (const Op& s : strokes) {
        QVERIFY(std::fabs(std::hypot(s.x2 - s.x1, s.y2 - s.y1) - 2) < 1e-9);
        // Across the segment that leaves the same point.
        const auto segment = std::find_if(
            curve.begin(), curve.end(), [&](const Op& c) { return c.x1 == s.x1 && c.y1 == s.y1; });
        QVERIFY(segment != curve.end());
        QVERIFY(std::fabs((s.x2 - s.x1) * (segment->x2 - segment->x1) +
                          (s.y2 - s.y1) * (segment->y2 - segment->y1)) < 1e-9);
    }
}

void TestChart::nothingDrawnForRefusedInputs()
{
    // 0.1 M on both sides: Veq is the analyte volume.
    const TitrationType SA = StrongAcidStrongBase, WA = WeakAcidStrongBase;
    const std::tuple<TitrationType, double, double, bool> cases[] = {
        {SA, 4.99, -1, false}, {SA, 5, -1, true},  {SA, 300, -1, true}, {SA, 300.01, -1, false},
        {WA, 25, -1, false},   {WA, 25, 0, false}, {SA, 25, 0, true}};
    QCOMPARE(describe(kWeakAcid),
             std::string("Titration of weak acid with strong base: pH from -1 to 15 against 0 to "
                         "50 mL of titrant. Equivalence point: 25 mL, pH 8.722. Error below 1 % "
                         "from 24.75 to 25.25 mL, pH 6.74 to 10.7. Indicator: phenolphthalein."));
    for (const auto& [type, volume, K, drawn] : cases)
        QVERIFY2(
            draw(input(type, volume, K), false).ops.empty() != drawn &&
                describe(input(type, volume, K)).empty() != drawn,
            qPrintable(QStringLiteral("type %1, %2 mL, K %3").arg(int(type)).arg(volume).arg(K)));
}

void TestChart::severalEquivalencePoints_data()
{
    // 0.1 M on both sides; the pH worked by hand from the ampholyte and hydrolysis formulas.
    QTest::addColumn<bool>("paper");
    QTest::addColumn<TitrationType>("type");
    QTest::addColumn<QList<double>>("pKa");
    QTest::addColumn<double>("veq");
    QTest::addColumn<QList<double>>("pH"); ///< empty: refused
    const QList<double> phosphoric{2.15, 7.20, 12.35}, phosphoricPH{4.70, 9.66, 12.18};
    QTest::newRow("phosphoric acid")
        << false << WeakAcidStrongBase << phosphoric << 25.0 << phosphoricPH;
    QTest::newRow("phosphoric acid on paper")
        << true << WeakAcidStrongBase << phosphoric << 25.0 << phosphoricPH;
    QTest::newRow("sodium carbonate, HCl")
        << false << WeakBaseStrongAcid << QList<double>{6.35, 10.33} << 25.0
        << QList<double>{8.34, 3.91};
    QTest::newRow("six protons") << false << WeakAcidStrongBase << QList<double>{2, 4, 6, 8, 10, 12}
                                 << 10.0 << QList<double>{3.04, 5.00, 7.00, 9.00, 10.90, 11.90};
    QTest::newRow("last at 303 mL")
        << false << WeakAcidStrongBase << phosphoric << 101.0 << QList<double>();
}

void TestChart::severalEquivalencePoints()
{
    QFETCH(bool, paper);
    QFETCH(TitrationType, type);
    QFETCH(QList<double>, pKa);
    QFETCH(double, veq);
    QFETCH(QList<double>, pH);
    Setup in = input(type, veq, 1e-3);
    in.constants = report::AnalyteConstants{{pKa.begin(), pKa.end()}, "", ""};
    const Drawn d = draw(in, paper);
    const QString described = QString::fromStdString(describe(in));
    QCOMPARE(d.ops.empty() && described.isEmpty(), pH.empty());
    // The axis runs to (n + 1)·Veq: a dot at k/(n + 1) of it for every k·Veq; the curve green
    // over exactly 99 to 101 % of each.
    const double n = pH.size(), width = d.g.XR - d.g.X0;
    const std::vector<Op> dots = d.of(Kind::PSet);
    QCOMPARE(dots.size(), std::size_t(n));
    double green = 0;
    for (int k = 1; k <= n; ++k) {
        QCOMPARE(dots[k - 1].x1, d.g.X0 + width * k / (n + 1));
        QVERIFY(std::fabs(d.g.pHAtY(dots[k - 1].y1) - pH[k - 1]) < 0.02);
        QVERIFY(described.contains(QString("point %1 at %2 mL, pH").arg(k).arg(k * veq)));
        green -= width * 0.02 * k / (n + 1);
    }
    for (const Op& op : d.of(Kind::Line, kGreen))
        green += op.x2 - op.x1;
    QVERIFY(std::fabs(green) < 1e-9);
    // The labels: one per point, inside the plot, clear of one another and of the curve's jumps.
    const QRectF plot(QPointF(d.g.X0, d.g.yOfPH(15)), QPointF(d.g.XR, d.g.yOfPH(-1)));
    std::vector<QRectF> boxes;
    int labels = 0;
    for (auto op = std::ranges::find(d.ops, Kind::PSet, &Op::kind); op != d.ops.end(); ++op) {
        const double size = op->fontSize * (paper ? kMm : kPt), e = 1e-9;
        if (op->kind == Kind::Print)
            boxes.emplace_back(op->x1 + e, op->y1 + e, size / 2 * op->text.size() - 2 * e,
                               1.15 * size - 2 * e);
        labels += op->text.starts_with(" Equivalence point ");
    }
    QCOMPARE(labels, pH.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        QVERIFY(plot.contains(boxes[i]));
        for (std::size_t j = 0; j < i; ++j)
            QVERIFY(!boxes[i].intersects(boxes[j]));
        for (const Op& c : d.curve())
            QVERIFY(std::fabs(c.y2 - c.y1) <= std::fabs(c.x2 - c.x1) ||
                    !boxes[i].intersects(
                        QRectF(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2)).normalized()));
    }
}

void TestChart::readings_data()
{
    // The weak acid's own axis ends at 50 mL.
    QTest::addColumn<Points>("readings"); ///< (mL, pH)
    QTest::addColumn<Points>("marked");
    QTest::addColumn<double>("end"); ///< of the volume axis
    const Points inside{{0, 2.9}, {12.5, 4.7}, {50, 12.5}}, far{{10, 4}, {61, 12.6}};
    QTest::newRow("on the plot") << inside << inside << 50.0;
    QTest::newRow("off the plot or not numbers")
        << Points{{-1, 3}, {10, 15.5}, {20, -1.5}, {NAN, 4}, {30, HUGE_VAL}} << Points{} << 50.0;
    QTest::newRow("beyond the model's end: to the next tick") << far << far << 65.0;
    QTest::newRow("beyond 600 mL: clipped")
        << Points{{10, 4}, {700, 12.6}} << Points{{10, 4}} << 600.0;
}

void TestChart::readings()
{
    QFETCH(Points, readings);
    QFETCH(Points, marked);
    QFETCH(double, end);
    Setup in = kWeakAcid;
    in.series.push_back(makeSeries(SeriesRole::Readings, readings, "lab.csv"));
    const Drawn d = draw(in, true);
    const auto x = [&](double v) { return d.g.X0 + (d.g.XR - d.g.X0) * v / end; };
    const std::vector<Op> markers = d.of(Kind::PSet, 0); // the legend's sample last
    QCOMPARE(markers.size(), marked.size() + 1);
    for (std::size_t i = 0; i < marked.size(); ++i)
        QVERIFY(std::fabs(markers[i].x1 - x(marked[i].first)) +
                    std::fabs(markers[i].y1 - d.g.yOfPH(marked[i].second)) <
                1e-9);
    QCOMPARE(d.of(Kind::PSet, d.g.dotColour).front().x1, x(25)); // the equivalence point too
    QVERIFY(std::ranges::all_of(
        d.ops, [](const Op& op) { return std::isfinite(op.x1 + op.y1 + op.x2 + op.y2); }));
}

void TestChart::keptCurvesAndLegend()
{
    Setup in = kWeakAcid;
    std::set<Colour> colours;
    for (const int pKa : {3, 5, 7}) {
        const Setup kept = input(WeakAcidStrongBase, 25, std::pow(10.0, -pKa));
        in.series.push_back(makeSeries(SeriesRole::Kept, curveOf(kept, kScreen).points,
                                       "Ka 1E-" + std::to_string(pKa), colours.size()));
        QVERIFY(colours.insert(in.series.back().style.colour).second);
    }
    const Drawn d = draw(in, false);
    // Each kept curve a line of a colour apart from the model's and the others'; a legend of
    // them and the model, over no other text.
    for (const Colour c : colours)
        QVERIFY(c != kRed && c != kGreen && d.of(Kind::Line, c).size() > 100);
    QStringList texts;
    std::vector<QRectF> boxes;
    for (const Op& op : d.of(Kind::Print)) {
        const double size = op.fontSize * kPt;
        const QRectF box(op.x1, op.y1, size / 2 * op.text.size() - 1e-9, 1.15 * size - 1e-9);
        QVERIFY2(std::ranges::none_of(boxes, [&](const QRectF& b) { return b.intersects(box); }),
                 op.text.c_str());
        boxes.push_back(box);
        texts << QString::fromStdString(op.text);
    }
    QVERIFY(texts.contains(" Calculated curve ") && texts.filter(" Ka 1E-").size() == 3);
    // Each entry's sample line ends where its text begins, across the middle of the text's row;
    // the entries top down in the series' order.
    double above = -1;
    for (const Op& text : d.of(Kind::Print)) {
        if (!text.text.starts_with(" Ka 1E-"))
            continue;
        QVERIFY(text.y1 > std::exchange(above, text.y1));
        const double size = text.fontSize * kPt;
        QVERIFY(std::ranges::any_of(d.of(Kind::Line), [&](const Op& l) {
            return l.y1 == l.y2 && l.x2 == text.x1 && l.y1 > text.y1 + 0.3 * size &&
                   l.y1 < text.y1 + 0.85 * size;
        }));
    }
    QVERIFY(describe(in).ends_with("Kept curve: Ka 1E-5. Kept curve: Ka 1E-7."));
    // Forty kept curves: the legend lists what half the plot holds and counts the rest.
    for (int k = 0; k < 40; ++k)
        in.series.push_back(in.series.front());
    texts.clear();
    double lastEntry = 0, counted = 0; // the count stands under the entries
    for (const Op& op : draw(in, false).of(Kind::Print)) {
        texts << QString::fromStdString(op.text);
        if (op.text.ends_with("more kept curves "))
            counted = op.y1;
        else if (op.text.starts_with(" Ka 1E-"))
            lastEntry = std::max(lastEntry, op.y1);
    }
    QVERIFY(counted > lastEntry);
    QVERIFY2(texts.filter(" Ka 1E-").size() < 20 &&
                 texts.contains(
                     QString(" and %1 more kept curves ").arg(43 - texts.filter(" Ka 1E-").size())),
             qPrintable(texts.join('|')));
}

void TestChart::rightAxis_data()
{
    QTest::addColumn<TitrationType>("type");
    QTest::addColumn<bool>("axis");
    QTest::newRow("weak acid: rising") << WeakAcidStrongBase << true;
    QTest::newRow("strong base: falling") << StrongBaseStrongAcid << true;
    QTest::newRow("one point: nothing to draw") << WeakAcidStrongBase << false;
}

void TestChart::rightAxis()
{
    QFETCH(TitrationType, type);
    QFETCH(bool, axis);
    Setup in = input(type, 25, 1.8e-5);
    in.series.push_back(axis ? derivativeSeries(curveOf(in, kScreen).points)
                             : derivativeSeries({{10, 4}}));
    in.series.back().legend = ""; // no legend, whose sample would read as a value
    const Drawn d = draw(in, false);
    const double right = axis ? 708 : 748; // the plot narrows for the axis
    QCOMPARE(d.of(Kind::Line, d.g.gridColour).front().x2, right);
    QCOMPARE(describe(in).find("on the right axis, steepest") != std::string::npos, axis);
    QCOMPARE(std::ranges::count(d.of(Kind::Print), std::string("(1/mL)"), &Op::text), int(axis));
    // The steepest value read back off the line against the ticks' values beside the plot,
    // within a step of the outermost tick.
    std::vector<double> ticks, values, drawn;
    for (const Op& op : d.ops)
        if (op.kind == Kind::Line && op.colour == in.series.back().style.colour)
            (op.x1 == right ? ticks : drawn).push_back(op.y2);
        else if (op.kind == Kind::Print && op.x1 > right && std::isdigit(op.text.back()))
            values.push_back(std::stod(op.text));
    QCOMPARE(ticks.size() >= 2, axis);
    if (!axis)
        return;
    const double step = values[1] - values[0];
    const auto read = [&](double y) {
        return values[0] + (y - ticks[0]) / (ticks[1] - ticks[0]) * step;
    };
    const auto size = [](double slope) { return std::fabs(slope); };
    const double steepest =
        std::ranges::max(in.series.back().points | std::views::values, {}, size);
    const double outer = steepest > 0 ? values.back() : values.front();
    QVERIFY(std::fabs(read(std::ranges::max(drawn, {}, [&](double y) { return size(read(y)); })) -
                      steepest) < 1e-9 * size(steepest));
    QVERIFY(size(outer) >= size(steepest) && size(outer - steepest) < step);
}

void TestChart::derivativeOfKnownCurve_data()
{
    QTest::addColumn<Points>("curve");
    QTest::addColumn<Points>("slope");
    QTest::newRow("parabola V²/10 at uneven steps")
        << Points{{0, 0}, {1, .1}, {3, .9}, {3.5, 1.225}, {6, 3.6}}
        << Points{{0, 0}, {1, .2}, {3, .6}, {3.5, .7}, {6, 1.2}};
    QTest::newRow("line, not a number and a repeated volume skipped")
        << Points{{0, 12}, {1, 11.5}, {1, 3}, {2, NAN}, {4, 10}}
        << Points{{0, -.5}, {1, -.5}, {4, -.5}};
}

void TestChart::derivativeOfKnownCurve()
{
    QFETCH(Points, curve);
    QFETCH(Points, slope);
    const Points d = derivativeSeries(curve).points;
    QCOMPARE(d.size(), slope.size());
    for (std::size_t i = 0; i < d.size(); ++i)
        QVERIFY(d[i].first == slope[i].first && std::fabs(d[i].second - slope[i].second) < 1e-12);
}

void TestChart::plotTransform_data()
{
    QTest::addColumn<bool>("paper");
    QTest::addColumn<bool>("derivative");
    QTest::addColumn<double>("lastReading"); ///< 0: none
    QTest::addColumn<double>("end");         ///< of the volume axis
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("right");
    // The weak acid's own axis ends at 50 mL; a derivative narrows the plot for its axis.
    QTest::newRow("screen") << false << false << 0.0 << 50.0 << 30.0 << 748.0;
    QTest::newRow("paper") << true << false << 0.0 << 50.0 << 10.0 << 260.0;
    QTest::newRow("readings to 61 mL: to 65") << false << false << 61.0 << 65.0 << 30.0 << 748.0;
    QTest::newRow("derivative") << false << true << 0.0 << 50.0 << 30.0 << 708.0;
    QTest::newRow("derivative on paper") << true << true << 0.0 << 50.0 << 10.0 << 244.0;
}

void TestChart::plotTransform()
{
    QFETCH(bool, paper);
    QFETCH(bool, derivative);
    QFETCH(double, lastReading);
    QFETCH(double, end);
    QFETCH(double, left);
    QFETCH(double, right);
    Setup in = kWeakAcid;
    if (derivative) {
        in.series.push_back(derivativeSeries(curveOf(in, kScreen).points));
        in.series.back().legend = "";
    }
    if (lastReading > 0)
        in.series.push_back(makeSeries(SeriesRole::Readings, {{10, 4}, {lastReading, 12}}));
    const Drawn d = draw(in, paper);
    const PlotTransform& plot = d.plot;
    QCOMPARE(plot.axisEnd, end);
    QCOMPARE(plot.left(), left);
    QCOMPARE(plot.right(), right);
    QCOMPARE(plot.xOfVolume(0), left);
    QVERIFY(std::fabs(plot.xOfVolume(end) - right) < 1e-9);
    // As drawn: the closing grid line at the right edge, each volume label centred over its
    // volume, the readings' markers and the equivalence point where the transform puts them.
    const double unit = paper ? kMm : kPt;
    int closing = 0, labels = 0;
    for (const Op& op : d.of(Kind::Line, d.g.gridColour))
        closing += op.x1 == right && op.x2 == right && op.y1 == d.g.gridTop;
    QVERIFY(closing >= 1);
    for (const Op& op : d.of(Kind::Print))
        if (op.y1 == d.g.volumeLabelTop) {
            const double centre = op.x1 + op.fontSize * unit / 4 * double(op.text.size());
            QVERIFY(std::fabs(centre - plot.xOfVolume(std::stod(op.text))) < 1e-9);
            ++labels;
        }
    QVERIFY(labels >= 10);
    for (const Op& marker : d.of(Kind::PSet, 0))
        if (marker.y1 == plot.yOfPH(4))
            QVERIFY(std::fabs(plot.volumeAtX(marker.x1) - 10) < 1e-9);
    // The readout: the volume at the dot's x is the point's, the pH at its y the point's.
    const Op dot = d.of(Kind::PSet, d.g.dotColour).front();
    QVERIFY(std::fabs(plot.volumeAtX(dot.x1) - 25) < 1e-9);
    QVERIFY(std::fabs(plot.pHAtY(dot.y1) - 8.722) < 0.001);
    for (const double v : {0.0, 12.5, 25.0, 37.5, end})
        QVERIFY(std::fabs(plot.volumeAtX(plot.xOfVolume(v)) - v) < 1e-9);
}

void TestChart::denseSeriesPerPixel_data()
{
    QTest::addColumn<SeriesRole>("role");
    QTest::addColumn<bool>("paper");
    QTest::addColumn<double>("twipsPerPixel");
    QTest::newRow("readings on screen") << SeriesRole::Readings << false << 15.0;
    QTest::newRow("readings on paper at 600 dpi") << SeriesRole::Readings << true << 2.4;
    QTest::newRow("a line on screen") << SeriesRole::Kept << false << 15.0;
}

void TestChart::denseSeriesPerPixel()
{
    // 100,000 points, dozens per pixel column: far fewer drawn, and each column reaches as
    // high and as low as its points do, within a pixel.
    QFETCH(SeriesRole, role);
    QFETCH(bool, paper);
    QFETCH(double, twipsPerPixel);
    Points points;
    for (int i = 0; i < 100000; ++i)
        points.emplace_back(i / 2000.0, 7 + 3 * std::sin(i / 4000.0) + (i % 7) * 0.01);
    Setup in = kWeakAcid;
    in.series = {makeSeries(role, points)};
    const Drawn d = draw(in, paper, twipsPerPixel);
    // A device pixel; for markers at least a quarter of one.
    const double pixel =
        std::max(paper ? twipsPerPixel / 1440 * 25.4 : 1,
                 role == SeriesRole::Readings ? d.g.dotPen * seriesStyle(role).width / 4 : 0);
    std::map<long, std::pair<double, double>> wanted, drawn; // column: lowest and highest y
    const auto add = [&](auto& to, double x, double y) {
        auto [at, added] = to.try_emplace(std::lround(std::floor((x - d.g.X0) / pixel)), y, y);
        at->second = {std::min(at->second.first, y), std::max(at->second.second, y)};
    };
    for (const auto& [v, pH] : points)
        add(wanted, d.plot.xOfVolume(v), d.g.yOfPH(pH));
    std::vector<Op> ops = d.of(Kind::Line, seriesStyle(role).colour);
    for (const Op& op : d.of(Kind::PSet, seriesStyle(role).colour))
        ops.push_back(op);
    for (const Op& op : ops) {
        add(drawn, op.x1, op.y1);
        add(drawn, op.x2, op.y2);
    }
    QVERIFY2(ops.size() < points.size() / 10, qPrintable(QString::number(ops.size())));
    QCOMPARE(drawn.size(), wanted.size());
    for (const auto& [column, extent] : wanted) {
        QVERIFY(std::abs(drawn[column].first - extent.first) <= pixel);
        QVERIFY(std::abs(drawn[column].second - extent.second) <= pixel);
    }
}

void TestChart::drawnAsRecorded_data()
{
    // Every operation of a chart of each kind, against a record made by a build whose window,
    // printouts and files matched the previous release's pixel for pixel and byte for byte.
    // ACIDORA_RECORD=1 writes the records anew, for a change meant to alter the drawing.
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("paper");
    QTest::addColumn<double>("twipsPerPixel");
    QTest::addColumn<int>("width"); ///< of the screen's chart, 476 px high
    Setup phosphoric = input(WeakAcidStrongBase, 25, 1e-3, 3);
    phosphoric.constants = report::AnalyteConstants{{2.15, 7.20, 12.35}, "", ""};
    Setup six = input(WeakAcidStrongBase, 10, 1e-3);
    six.constants = report::AnalyteConstants{{2, 4, 6, 8, 10, 12}, "", ""};
    Setup lab = input(WeakBaseStrongAcid, 20, 1.8e-5, 6);
    const Points readings{{0, 11.1}, {5, 9.8},  {10, 9.2}, {19, 7.9},
                          {20, 5.3}, {21, 2.7}, {30, 1.9}};
    lab.series = {makeSeries(SeriesRole::Readings, readings, "lab.csv"),
                  makeSeries(SeriesRole::Fitted, curveOf(lab, kScreen).points, "Fitted"),
                  derivativeSeries(curveOf(lab, kScreen).points),
                  makeSeries(SeriesRole::ReadingsDerivative, derivativeSeries(readings).points,
                             "dpH/dV of lab.csv"),
                  makeSeries(SeriesRole::Kept,
                             curveOf(input(WeakBaseStrongAcid, 20, 1e-7), kScreen).points,
                             "Kb 1E-7", 1)};
    lab.marks = {{1, 20.1, 19.9, 20.4, 5.3, std::pair(10.05, 9.2)}};
    QTest::newRow("weak acid, screen") << kWeakAcid << false << 15.0 << 768;
    QTest::newRow("weak acid, paper at 1200 dpi") << kWeakAcid << true << 1.2 << 768;
    QTest::newRow("phosphoric acid, paper") << phosphoric << true << 15.0 << 768;
    QTest::newRow("strong base, 20 M, screen")
        << input(StrongBaseStrongAcid, 10, -1, 1, 20) << false << 15.0 << 768;
    QTest::newRow("weak base with readings, screen") << lab << false << 15.0 << 768;
    QTest::newRow("six protons, narrow screen") << six << false << 15.0 << 420;
    QTest::newRow("weak base with readings, paper") << lab << true << 10.0 << 768;
}

void TestChart::drawnAsRecorded()
{
    QFETCH(Setup, setup);
    QFETCH(bool, paper);
    QFETCH(double, twipsPerPixel);
    QFETCH(int, width);
    const char* kinds[] = {"clear", "text", "line", "box", "dot"};
    QStringList drawn{QString::fromStdString(describe(setup))};
    for (const Op& op : draw(setup, paper, twipsPerPixel, width).ops) {
        char line[512];
        std::snprintf(line, sizeof line, "%s %.4f %.4f %.4f %.4f #%06x pen %d %s %g%s%s \"%s\"",
                      kinds[int(op.kind)], op.x1, op.y1, op.x2, op.y2, unsigned(op.colour),
                      op.penWidth, op.fontName.c_str(), op.fontSize, op.bold ? " bold" : "",
                      op.italic ? " italic" : "", op.text.c_str());
        drawn << line;
    }
    QFile file(
        QStringLiteral(ACIDORA_SOURCE_DIR "/tests/chart/recorded/%1.txt")
            .arg(QString(QTest::currentDataTag()).replace(QRegularExpression("[^a-z0-9]+"), "-")));
    if (qEnvironmentVariableIsSet("ACIDORA_RECORD")) {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(drawn.join('\n').toUtf8() + '\n');
        return;
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QStringList recorded = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(drawn, recorded);
}

void TestChart::worksheetPanels_data()
{
    // An empty grid to a last volume (none: the weak acid's curve, unmarked); the last volume
    // labelled.
    QTest::addColumn<std::optional<double>>("lastVolume");
    QTest::addColumn<QString>("lastLabel");
    QTest::newRow("curve to read from") << std::optional<double>() << "50";
    QTest::newRow("grid to 50 mL") << std::optional(50.0) << "50";
    QTest::newRow("grid to 37 mL: the step before it") << std::optional(37.0) << "36";
    QTest::newRow("grid to no number: 50 mL") << std::optional(qQNaN()) << "50";
    QTest::newRow("grid to below 0: 50 mL") << std::optional(-5.0) << "50";
    QTest::newRow("grid beyond 600 mL: 600") << std::optional(1e300) << "600";
}

void TestChart::worksheetPanels()
{
    QFETCH(std::optional<double>, lastVolume);
    QFETCH(QString, lastLabel);
    const ChartGeometry g = ChartGeometry::paperPanel(180, 70);
    RecordingSurface s(kMm);
    if (lastVolume) {
        drawSketchGrid(s, g, *lastVolume);
    } else {
        const ChartModel chart = *chartOf(kWeakAcid);
        ChartContents unmarked;
        unmarked.markPoints = false;
        drawChart(s, g, ChartModel(chart.model(), chart.points(), unmarked));
    }
    // Every text within the panel; no equivalence point marked, the curve in one colour.
    QStringList volumes, pH;
    for (const Op& op : s.operations) {
        const QString text = QString::fromStdString(op.text);
        QVERIFY(op.kind != Kind::PSet && !text.contains("Equivalence") && !text.contains("Green"));
        if (op.kind != Kind::Print || text.isEmpty())
            continue;
        QVERIFY2(op.x1 >= 0 && op.y1 >= 0 && op.x1 + s.TextWidth(op.text) <= 180 &&
                     op.y1 + 1.15 * op.fontSize * kMm <= 70,
                 qPrintable(text));
        (op.y1 == g.volumeLabelTop ? volumes : pH) << text;
    }
    QCOMPARE(volumes.last(), lastLabel);
    QCOMPARE(pH.first(), lastVolume ? "0" : "-1");
    if (!lastVolume) {
        const Drawn d{g, s.operations, {}};
        QVERIFY(d.of(Kind::Line, kGreen).empty() && d.of(Kind::Line, kRed).size() > 100);
        return;
    }
    // The grid: pH 0 to 14 at even steps from the grid's bottom to its top.
    QCOMPARE(pH.mid(14), (QStringList{"14", "pH", "Volume of titrant added (mL)"}));
    const std::vector<Op> lines = Drawn{g, s.operations, {}}.of(Kind::Line, g.gridColour);
    for (int p = 0; p <= 14; ++p)
        QCOMPARE(lines[std::size_t(p)].y1, g.gridTop + g.gridLength * (14 - p) / 14);
}

QTEST_APPLESS_MAIN(TestChart)
#include "tst_chart.moc"
