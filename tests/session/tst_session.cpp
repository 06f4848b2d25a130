// The session: legends that name what differs between kept curves, a family over one input,
// and the chart's series for readings, fit, kept curves and derivatives.
#include "lab/synthetic.h"
#include "session/session.h"

#include <QTest>

#include <algorithm>

using namespace session;
using chem::TitrationType;

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void families_data();
    void families();
    void chartSeries();
};

static Session weakAcid(const char* ka)
{
    Session s;
    s.type = TitrationType::WeakAcidStrongBase;
    s.boxes = {"0.1", "25", "0.1", ka};
    return s;
}

void TestSession::families_data()
{
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("legends"); // kept curves' then the shown one's; or "!" and why
    // clang-format off
    QTest::newRow("Ka") << "KA 1E-3 1E-5 1e-7" << "Ka 1E-5|Ka 1e-7|Ka 1E-3";
    QTest::newRow("titrant") << "titrant 0.1 0.2" << "titrant 0.2 mol/L|titrant 0.1 mol/L";
    QTest::newRow("a name among numbers") << "ka 1.8E-5 acetic" << "!ka acetic: 'acetic' is not in the substance library (nearest: ";
    QTest::newRow("the same twice") << "analyte-volume 25 25" << "curve 1|curve 2";
    QTest::newRow("a value refused") << "analyte 0.1 5" << "!analyte 5: the equivalence volume 1250 mL is outside 5 to 300 mL";
    QTest::newRow("Kb for an acid") << "kb 1E-5" << "!kb does not apply to this titration";
    QTest::newRow("no value") << "ka" << "!ka needs at least one value";
    QTest::newRow("unknown input") << "volume 5 10" << "!'volume' is none of titrant, analyte, analyte-volume, ka and kb";
    // clang-format on
}

void TestSession::families()
{
    QFETCH(QString, spec);
    QFETCH(QString, legends);
    const auto& catalogue = indicators::filledCatalogue();
    const chem::Result<Session> f = family(weakAcid("1.8E-5"), spec.toStdString(), catalogue);
    QStringList got;
    if (f) {
        Session s = *f.value;
        const std::optional<KeptCurve> shown = curveToKeep(s, compute(s, catalogue));
        QVERIFY(shown);
        const std::string mine = keptLegends(s.kept, &*shown);
        for (const KeptCurve& k : s.kept)
            got << QString::fromStdString(k.legend);
        got << QString::fromStdString(mine);
    }
    const QString said = f ? got.join('|') : "!" + QString::fromStdString(f.failure);
    QVERIFY2(said.startsWith(legends), qPrintable(said));
}

void TestSession::chartSeries()
{
    // Readings with their fit and derivative, a kept curve, the model's derivative: each a
    // series in its role; the model's legend names what differs from the kept one.
    const auto& catalogue = indicators::filledCatalogue();
    Session s = weakAcid("1.8E-5");
    const lab::Setup setup{*s.type, {0.1, 0.1, 25, 1.8e-5}, {}};
    s.readings =
        *lab::simulateReadings(setup, lab::labVolumes(std::vector<double>{25.0}, 40.0), 0.01, 5)
             .value;
    s.readingsName = "lab.csv";
    s.showDerivative = true;
    Session other = weakAcid("1E-7");
    s.kept.push_back(*curveToKeep(other, compute(other, catalogue)));
    const Outcome o = compute(s, catalogue);
    QVERIFY(o.report && o.measured && o.measured->fit);
    const std::optional<chart::ChartModel> chart = chartModel(s, o, catalogue);
    QVERIFY(chart);
    const std::vector<chart::Series>& series = chart->series();
    QString roles;
    for (const chart::Series& series : series)
        roles +=
            QString::number(int(series.role)) + ":" + QString::fromStdString(series.legend) + " ";
    QCOMPARE(roles, QStringLiteral("2:Ka 1E-7 1:lab.csv 5:dpH/dV of lab.csv 3:Fitted, 0.1000 mol/L "
                                   "4:dpH/dV "));
    QCOMPARE(chart->modelLegend(), std::string("Ka 1.8E-5"));
    // The fitted curve passes through the readings' end point region as the model does.
    const auto& fitted = series[3].points;
    QVERIFY(fitted.size() > 400 && fitted.front().first == 0 && fitted.back().first == 50);
    // The model's derivative rises to the jump and falls, never below 0: no rounding noise.
    const auto& slope = series[4].points;
    QVERIFY(std::all_of(slope.begin(), slope.end(), [](auto p) { return p.second > 0; }));
    // A refused session has no chart.
    Session refused = weakAcid("7");
    refused.showDerivative = true;
    QVERIFY(!chartModel(refused, compute(refused, catalogue), catalogue));
}

QTEST_APPLESS_MAIN(TestSession)
#include "tst_session.moc"
