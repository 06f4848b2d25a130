// Where the chart's labels go: the free place worked by hand on a small plot, and the labels of
// charts with one to six equivalence points, on screen and paper, read back from a recording
// surface: inside the plot, a quarter line clear of one another and of the dots, their leaders
// from just outside a dot to their own label.
#include "chart/labelplacement.h"
#include "chartsetup.h"
#include "report/numbertext.h"

#include <QLineF>
#include <QRectF>
#include <QTest>

#include <cmath>

using namespace chart;
using namespace chart::test;

class TestLabelPlacement : public QObject
{
    Q_OBJECT

private slots:
    void labelsClearOfEachOtherAndTheDots_data();
    void labelsClearOfEachOtherAndTheDots();
    void freePlace_data();
    void freePlace();
};

void TestLabelPlacement::labelsClearOfEachOtherAndTheDots_data()
{
    QTest::addColumn<bool>("paper");
    QTest::addColumn<TitrationType>("type");
    QTest::addColumn<QList<double>>("pKa"); ///< empty: one constant, 1.8E-5
    QTest::addColumn<double>("veq");        ///< of the first point
    const QList<double> phosphoric{2.15, 7.20, 12.35}, carbonate{6.35, 10.33};
    const QList<double> four{2, 5, 8, 11}, five{2, 4.5, 7, 9.5, 12}, six{2, 4, 6, 8, 10, 12};
    const QList<double> crowded{3, 3.6, 4.2, 4.8, 5.4, 6};
    for (const bool paper : {false, true}) {
        const auto row = [paper](const char* name) -> QTestData& {
            return QTest::newRow(qPrintable(QString(name) + (paper ? " on paper" : "")));
        };
        row("one point") << paper << WeakAcidStrongBase << QList<double>() << 25.0;
        row("one point of a weak base") << paper << WeakBaseStrongAcid << QList<double>() << 40.0;
        row("two points, a base") << paper << WeakBaseStrongAcid << carbonate << 25.0;
        row("three points") << paper << WeakAcidStrongBase << phosphoric << 25.0;
        row("four points") << paper << WeakAcidStrongBase << four << 20.0;
        row("five points") << paper << WeakAcidStrongBase << five << 10.0;
        row("six points") << paper << WeakAcidStrongBase << six << 10.0;
        row("six points close together") << paper << WeakAcidStrongBase << crowded << 5.0;
    }
}

void TestLabelPlacement::labelsClearOfEachOtherAndTheDots()
{
    QFETCH(bool, paper);
    QFETCH(TitrationType, type);
    QFETCH(QList<double>, pKa);
    QFETCH(double, veq);
    Setup in = input(type, veq, 1.8e-5);
    if (!pKa.isEmpty())
        in.constants = report::AnalyteConstants{{pKa.begin(), pKa.end()}, "", ""};
    const Drawn d = draw(in, paper);
    const std::vector<Op> dots = d.of(Kind::PSet, d.g.dotColour);
    QCOMPARE(dots.size(), std::size_t(pKa.isEmpty() ? 1 : pKa.size()));
    QVERIFY(paper ||
            std::ranges::all_of(dots, [&](const Op& o) { return o.penWidth == d.g.dotPen; }));
    // Each of several points' labels names the point and its pH as the report gives them.
    const std::vector<report::EquivalencePoint> points = chartOf(in)->points();
    for (std::size_t k = 0; points.size() > 1 && k < points.size(); ++k) {
        const std::string head = " Equivalence point " + std::to_string(k + 1) +
                                 ".  pH = " + chartNumber(report::Round(points[k].pH, 3)) + ' ';
        QVERIFY2(std::ranges::count(d.of(Kind::Print), head, &Op::text) == 1, head.c_str());
    }
    const double radius = d.g.dotPen / 2;
    // Every text on the plot stands over its white box; lines of one label touch.
    std::vector<QRectF> labels;
    for (const Op& box : d.of(Kind::Box, kWhite)) {
        const QRectF r(QPointF(box.x1, box.y1), QPointF(box.x2, box.y2));
        if (!labels.empty() && labels.back().left() == r.left() &&
            std::fabs(labels.back().bottom() - r.top()) < 1e-9)
            labels.back() |= r;
        else
            labels.push_back(r);
    }
    const double L = 1.15 * (paper ? 11 * kMm : 10 * kPt); // of the smaller texts
    const QRectF plot(QPointF(d.g.X0, d.g.yOfPH(15)), QPointF(d.g.XR, d.g.yOfPH(-1)));
    // How far apart two rectangles are, along whichever axis parts them (negative: overlapping).
    const auto gap = [](const QRectF& a, const QRectF& b) {
        return std::max({a.left() - b.right(), b.left() - a.right(), a.top() - b.bottom(),
                         b.top() - a.bottom()});
    };
    for (std::size_t i = 0; i < labels.size(); ++i) {
        QVERIFY2(plot.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(labels[i]),
                 qPrintable(QStringLiteral("label %1 leaves the plot").arg(i)));
        for (std::size_t j = 0; j < i; ++j)
            QVERIFY2(gap(labels[i], labels[j]) >= L / 4 - 1e-9,
                     qPrintable(QStringLiteral("labels %1 and %2 %3 apart")
                                    .arg(j)
                                    .arg(i)
                                    .arg(gap(labels[i], labels[j]))));
        for (const Op& dot : dots) {
            const QRectF covered(dot.x1 - radius, dot.y1 - radius, 2 * radius, 2 * radius);
            QVERIFY2(
                gap(labels[i], covered) >= L / 4 - 1e-9,
                qPrintable(
                    QStringLiteral("label %1 %2 from a dot").arg(i).arg(gap(labels[i], covered))));
        }
    }
    // A leader runs from just outside its dot to the edge of its label, through no other.
    for (const Op& leader : d.of(Kind::Line, d.g.dotColour)) {
        const Op& dot = *std::ranges::min_element(
            dots, {}, [&](const Op& o) { return std::hypot(o.x1 - leader.x1, o.y1 - leader.y1); });
        const double from = std::hypot(dot.x1 - leader.x1, dot.y1 - leader.y1);
        QVERIFY(from > radius * std::sqrt(2.0) && from < 2 * radius);
        const auto ends = std::ranges::count_if(labels, [&](const QRectF& r) {
            return r.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(leader.x2, leader.y2) &&
                   !r.adjusted(1e-9, 1e-9, -1e-9, -1e-9).contains(leader.x2, leader.y2);
        });
        QCOMPARE(ends, 1);
        for (const QRectF& r : labels)
            for (double t = 0; t < 1; t += 0.01)
                QVERIFY(!r.adjusted(1e-6, 1e-6, -1e-6, -1e-6)
                             .contains(leader.x1 + (leader.x2 - leader.x1) * t,
                                       leader.y1 + (leader.y2 - leader.y1) * t));
    }
}

void TestLabelPlacement::freePlace_data()
{
    // A plot 100 × 100, lines 4 high: places on a grid of 2 across and 1 down, a quarter line
    // (1) clear; dots 2 across, whose leader starts 1.5 from the centre.
    QTest::addColumn<QRectF>("plot");
    QTest::addColumn<QList<QRectF>>("boxes");   ///< avoided: dots, texts
    QTest::addColumn<QList<QRectF>>("markers"); ///< of other series
    QTest::addColumn<QList<QLineF>>("curve");   ///< the model's
    QTest::addColumn<QSizeF>("label");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QRectF>("placed"); ///< null: no place
    QTest::addColumn<QLineF>("leader"); ///< null: none
    const QRectF plot(0, 0, 100, 100), dot(49, 49, 2, 2);
    const QSizeF label(10, 4);
    const QPointF centre(50, 50);
    QTest::newRow("nothing in the way: over the point, first on the grid")
        << plot << QList<QRectF>{} << QList<QRectF>{} << QList<QLineF>{} << label << centre
        << QRectF(40, 46, 10, 4) << QLineF();
    QTest::newRow("a dot: the nearest place a quarter line clear, no leader that near")
        << plot << QList<QRectF>{dot} << QList<QRectF>{} << QList<QLineF>{} << label << centre
        << QRectF(38, 46, 10, 4) << QLineF();
    QTest::newRow("markers around the dot: further off, with a leader")
        << plot << QList<QRectF>{dot} << QList<QRectF>{{40, 40, 20, 20}} << QList<QLineF>{} << label
        << centre << QRectF(28, 46, 10, 4) << QLineF(48.5, 50, 38, 50);
    QTest::newRow("markers close by: a leader beyond a line off")
        << plot << QList<QRectF>{dot} << QList<QRectF>{{46, 46, 8, 8}} << QList<QLineF>{} << label
        << centre << QRectF(34, 46, 10, 4) << QLineF(48.5, 50, 44, 50);
    QTest::newRow("a box across that leader: the next place, whose leader is clear")
        << plot << QList<QRectF>{dot, {44, 49.5, 1, 1}} << QList<QRectF>{{40, 40, 20, 20}}
        << QList<QLineF>{} << label << centre << QRectF(40, 34, 10, 4) << QLineF(50, 48.5, 50, 38);
    QTest::newRow("as wide as the plot: it fits")
        << QRectF(0, 0, 20, 100) << QList<QRectF>{} << QList<QRectF>{} << QList<QLineF>{}
        << QSizeF(20, 4) << QPointF(10, 50) << QRectF(0, 46, 20, 4) << QLineF();
    QTest::newRow("a flat curve everywhere: covered rather than nowhere")
        << QRectF(0, 0, 20, 8) << QList<QRectF>{} << QList<QRectF>{} << QList<QLineF>{{0, 4, 20, 4}}
        << QSizeF(20, 4) << QPointF(10, 4) << QRectF(0, 0, 20, 4) << QLineF();
    QTest::newRow("a curve at 45 degrees everywhere: no jump, covered rather than nowhere")
        << QRectF(0, 0, 20, 8) << QList<QRectF>{} << QList<QRectF>{} << QList<QLineF>{{6, 8, 14, 0}}
        << QSizeF(20, 4) << QPointF(10, 4) << QRectF(0, 0, 20, 4) << QLineF();
    QTest::newRow("a steep curve everywhere: nowhere")
        << QRectF(0, 0, 20, 8) << QList<QRectF>{} << QList<QRectF>{}
        << QList<QLineF>{{10, 0, 10, 8}} << QSizeF(20, 4) << QPointF(10, 4) << QRectF() << QLineF();
}

void TestLabelPlacement::freePlace()
{
    QFETCH(QRectF, plot);
    QFETCH(QList<QRectF>, boxes);
    QFETCH(QList<QRectF>, markers);
    QFETCH(QList<QLineF>, curve);
    QFETCH(QSizeF, label);
    QFETCH(QPointF, at);
    QFETCH(QRectF, placed);
    QFETCH(QLineF, leader);
    const auto rect = [](const QRectF& r) {
        return Rect{r.left(), r.top(), r.right(), r.bottom()};
    };
    LabelPlacer placer(rect(plot), 2);
    for (const QRectF& b : boxes)
        placer.avoid(rect(b));
    for (const QRectF& m : markers)
        placer.avoidSeries(rect(m));
    for (const QLineF& c : curve)
        placer.avoidCurve({c.x1(), c.y1(), c.x2(), c.y2()});
    const std::optional<Place> place =
        placer.freePlace(label.width(), label.height(), at.x(), at.y(), 4, true);
    QCOMPARE(place.has_value(), !placed.isNull());
    if (!place)
        return;
    const Rect& r = place->rect;
    QCOMPARE(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)), placed);
    QCOMPARE(place->leader.has_value(), !leader.isNull());
    if (const std::optional<Segment>& s = place->leader)
        QCOMPARE(QLineF(s->x1, s->y1, s->x2, s->y2), leader);
    // Taken, the place is avoided: the same label goes elsewhere.
    placer.take(*place);
    const std::optional<Place> next =
        placer.freePlace(label.width(), label.height(), at.x(), at.y(), 4, true);
    QVERIFY(!next || !next->rect.grown(1).overlaps(r));
}

QTEST_APPLESS_MAIN(TestLabelPlacement)
#include "tst_labelplacement.moc"
