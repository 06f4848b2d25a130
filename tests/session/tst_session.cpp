// The session: legends that name what differs between kept curves, a family over one input,
// and the chart's series for readings, fit, kept curves and derivatives; the document: which
// edits advance its revisions, an outcome that follows every edit, an analysis that lands only
// on the revision it was made for.
#include "lab/synthetic.h"
#include "session/document.h"
#include "session/session.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace session;
using chem::TitrationType;

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void families_data();
    void families();
    void chartSeries();
    void chartTexts();
    void documentRevisions_data();
    void documentRevisions();
    void documentOutcomeFollowsEdits();
    void documentAnalysis();
    void documentAppendsReadingsInOrder();
    void activities();
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
    QTest::newRow("the same twice: the shown one first") << "analyte-volume 25 25" << "curve 2|curve 1";
    QTest::newRow("semicolons, a decimal comma") << "ka 1,8E-5;1E-7" << "Ka 1E-7|Ka 1.8E-5";
    QTest::newRow("a comma between values") << "ka 1E-3,1E-5" << "!ka: '1E-3,1E-5' is not a number";
    QTest::newRow("a unit") << "titrant 0.1M" << "!titrant: '0.1M' is not a number";
    QTest::newRow("too many") << "ka" + QString(" 1E-5").repeated(21) << "!ka: more than 20 values";
    QTest::newRow("nothing") << "" << "!names no input";
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
    const std::string said = chart::chartDescription(*chart);
    QVERIFY(said.find("Derivative of the curve (dpH/dV)") != std::string::npos &&
            said.find("Derivative of the readings (dpH/dV)") != std::string::npos);
    QString roles;
    for (const chart::Series& series : series)
        roles +=
            QString::number(int(series.role)) + ":" + QString::fromStdString(series.legend) + " ";
    QCOMPARE(roles, QStringLiteral("2:Ka 1E-7 1:lab.csv 5:dpH/dV of lab.csv 3:Fitted, 0.1000 mol/L "
                                   "4:dpH/dV "));
    QCOMPARE(chart->modelLegend(), std::string("Ka 1.8E-5"));
    // The readings' end point marked apart, inside its interval; half way to it pH ≈ pKa 4.74.
    QCOMPARE(chart->marks().size(), std::size_t(1));
    const chart::MeasuredMark& mark = chart->marks().front();
    QVERIFY(mark.low < 25 && mark.high > 25 && std::fabs(mark.volume - 25) < 0.1 && mark.pH &&
            *mark.pH > 7 && *mark.pH < 10.5);
    QVERIFY(mark.half && mark.half->first == mark.volume / 2 &&
            std::fabs(mark.half->second - 4.74) < 0.05);
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

void TestSession::chartTexts()
{
    // The same title, indicator and caption for the window and the command line.
    const auto& catalogue = indicators::filledCatalogue();
    Session s = weakAcid("1.8E-5");
    s.indicatorPosition = 4;
    chart::ChartTexts t = session::chartTexts(s, compute(s, catalogue), catalogue);
    QCOMPARE(QString::fromStdString(t.title + '|' + t.indicatorName + '|' + t.caption),
             "Titration of weak acid with strong base|phenolphthalein|25 mL of weak acid 0.1 "
             "mol/L, Ka 1.8E-5, titrated with strong base 0.1 mol/L");
    s.boxes.TxKaKb = "phosphoric acid";
    s.indicatorPosition = 0;
    t = session::chartTexts(s, compute(s, catalogue), catalogue);
    QCOMPARE(QString::fromStdString(t.indicatorName + '|' + t.caption),
             "|25 mL of phosphoric acid 0.1 mol/L, pKa 2.148, 7.198, 12.375, titrated with strong "
             "base 0.1 mol/L");
}

/// A document holding the weak-acid example, phenolphthalein chosen.
static session::Document exampleDocument()
{
    session::Document d(indicators::filledCatalogue());
    d.setInputs(TitrationType::WeakAcidStrongBase, {"0.1", "25", "0.1", "1.8E-5"}, 4);
    return d;
}

using Edit = std::function<void(session::Document&)>;
Q_DECLARE_METATYPE(Edit)

void TestSession::documentRevisions_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("revisions");         // how far revision() moves
    QTest::addColumn<int>("analysisRevisions"); // how far analysisRevision() moves
    const report::BoxTexts example{"0.1", "25", "0.1", "1.8E-5"};
    const auto weak = TitrationType::WeakAcidStrongBase;
    // clang-format off
    QTest::newRow("the same inputs again") << Edit([=](auto& d) { d.setInputs(weak, example, 4); }) << 0 << 0;
    QTest::newRow("another indicator") << Edit([=](auto& d) { d.setInputs(weak, example, 5); }) << 1 << 0;
    QTest::newRow("another type") << Edit([=](auto& d) { d.setInputs(TitrationType::StrongAcidStrongBase, example, 4); }) << 1 << 1;
    QTest::newRow("a box retyped") << Edit([](auto& d) { d.setBox(report::Input::TxKaKb, "1E-5"); }) << 1 << 1;
    QTest::newRow("a box as it was") << Edit([](auto& d) { d.setBox(report::Input::TxVErl, "25"); }) << 0 << 0;
    QTest::newRow("the fit's choice") << Edit([](auto& d) { d.setFitPKa(true); }) << 1 << 1;
    QTest::newRow("activities") << Edit([](auto& d) { d.setActivity(chem::ActivityModel::Davies); }) << 1 << 1;
    QTest::newRow("the derivative") << Edit([](auto& d) { d.setShowDerivative(true); }) << 1 << 0;
    QTest::newRow("a curve kept") << Edit([](auto& d) { QVERIFY(d.keepCurve()); }) << 1 << 0;
    QTest::newRow("no kept curve to clear") << Edit([](auto& d) { d.clearKept(); }) << 0 << 0;
    QTest::newRow("a reading") << Edit([](auto& d) { d.appendReading(1, 3); }) << 1 << 1;
    QTest::newRow("the verdict's caption") << Edit([](auto& d) { d.setVerdictCaption("Inappropriate"); }) << 1 << 0;
    // clang-format on
}

void TestSession::documentRevisions()
{
    QFETCH(Edit, edit);
    QFETCH(int, revisions);
    QFETCH(int, analysisRevisions);
    session::Document d = exampleDocument();
    const auto before = d.revision(), analysisBefore = d.analysisRevision();
    edit(d);
    QCOMPARE(int(d.revision() - before), revisions);
    QCOMPARE(int(d.analysisRevision() - analysisBefore), analysisRevisions);
}

void TestSession::documentOutcomeFollowsEdits()
{
    session::Document d = exampleDocument();
    QCOMPARE(d.outcome().report->points.front().volume, 25.0);
    d.setBox(report::Input::TxCErl, "0.2");
    QCOMPARE(d.outcome().report->points.front().volume, 50.0);
    d.setBox(report::Input::TxCErl, "2");
    QVERIFY(!d.outcome().report && d.outcome().refusal);
    // The caption the page showed last goes into the report when the refresh hides the verdict
    // (no indicator), and not while a verdict shows.
    d.setBox(report::Input::TxCErl, "0.1");
    d.setVerdictCaption("Inappropriate");
    QCOMPARE(d.outcome().input.verdictCaption, std::string("Very appropriate"));
    d.setInputs(TitrationType::WeakAcidStrongBase, d.setup().boxes, 0);
    QCOMPARE(d.outcome().input.verdictCaption, std::string("Inappropriate"));
}

void TestSession::documentAnalysis()
{
    session::Document d = exampleDocument();
    QVERIFY(!d.analysisJob() && d.analysisCurrent()); // no readings, nothing to analyse
    const lab::Setup setup{TitrationType::WeakAcidStrongBase, {0.1, 0.1, 25, 1.8e-5}, {}};
    d.setReadings(
        *lab::simulateReadings(setup, lab::labVolumes(std::vector<double>{25.0}, 40.0), 0.01, 5)
             .value,
        "lab.csv");
    const std::optional<session::Document::AnalysisJob> job = d.analysisJob();
    QVERIFY(job && !d.analysisCurrent() && !d.outcome().measured);
    QVERIFY(!d.analysisJob(job->analysisRevision)); // already running
    const std::optional<lab::Measured> measured =
        session::Document::analyse(*job, indicators::filledCatalogue());
    QVERIFY(measured && measured->fit);

    // An analysis of readings since replaced is dropped; the newer one is asked for.
    d.setFitPKa(true);
    QVERIFY(!d.deliverAnalysis(job->analysisRevision, measured));
    QVERIFY(!d.outcome().measured && d.analysisJob());
    // The one for the revision that stands lands in the outcome, and outlives an edit it does
    // not depend on.
    d.setFitPKa(false);
    QVERIFY(d.deliverAnalysis(d.analysisRevision(), measured));
    QVERIFY(d.outcome().measured && d.analysisCurrent() && !d.analysisJob());
    d.setInputs(TitrationType::WeakAcidStrongBase, d.setup().boxes, 7);
    QVERIFY(d.outcome().measured);
    d.setBox(report::Input::TxKaKb, "1E-5");
    QVERIFY(!d.outcome().measured);
}

void TestSession::documentAppendsReadingsInOrder()
{
    session::Document d = exampleDocument();
    for (const auto& [v, pH] : {std::pair{2.0, 4.0}, {0.0, 2.9}, {1.0, 3.5}, {1.0, 3.6}})
        d.appendReading(v, pH);
    const lab::Readings& r = *d.setup().readings;
    QCOMPARE(r.volume, (std::vector<double>{0, 1, 1, 2}));
    QCOMPARE(r.pH, (std::vector<double>{2.9, 3.5, 3.6, 4.0})); // a repeated volume keeps its order
}

QTEST_APPLESS_MAIN(TestSession)
void TestSession::activities()
{
    // Sodium carbonate with activities: a line under the title, the headings on their texts, the
    // fit with activities too; the library's ions (CO3 2- with 2 Na+) count.
    Session s = weakAcid("sodium carbonate");
    s.type = TitrationType::WeakBaseStrongAcid;
    const Outcome ideal = compute(s, indicators::filledCatalogue());
    s.activity = chem::ActivityModel::Davies;
    s.readings =
        lab::simulateReadings({*s.type, {0.1, 0.1, 25, 0}, ideal.input.constants, s.activity},
                              lab::labVolumes(std::vector{25.0, 50.0}, 60), 0.01, 1)
            .value;
    s.fitPKa = true;
    const Outcome o = compute(s, indicators::filledCatalogue());
    const std::vector<std::string>& lines = o.report->lines;
    QVERIFY(lines[1] == report::kActivityLine && lines.size() == ideal.report->lines.size() + 1);
    for (std::size_t k = 0; k < o.report->headings.size(); ++k)
        QCOMPARE(lines[o.report->headings[k]], ideal.report->lines[ideal.report->headings[k]]);
    QVERIFY2(o.measured->fit && std::abs(o.measured->fit->pKa[1] - 10.33) < 0.05,
             qPrintable(QString::number(o.measured->fit->pKa[1]))); // thermodynamic, as typed
    // I = 0.30 mol/L with the sodium; the carbonate taken as neutral would give 0.005 and 11.65.
    QVERIFY(std::abs(o.report->model->analyteAlonePH().value - 11.389) < 1e-3);
    // 0.3 mol/L phosphoric acid with 0.45 mol/L NaOH: past its third point I reaches 0.53.
    s = weakAcid("H3PO4");
    s.boxes = {"0.45", "25", "0.3", "H3PO4"};
    s.indicatorPosition = 4;
    s.activity = chem::ActivityModel::Davies;
    QVERIFY(compute(s, indicators::filledCatalogue()).refusal->text.find("0.53 mol/L") !=
            std::string::npos);
}

#include "tst_session.moc"
