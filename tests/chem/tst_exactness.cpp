// Get_pH against the charge balance itself, solved independently, over the accepted inputs;
// and against a published titration table.
#include "chem/titration.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace chem;

namespace {

using Real = long double;

/// The charge balance, positive cations minus anions, as a function of [H+]; it rises with h.
Real chargeBalance(TitrationType type, const TitrationInputs& in, Real V, Real h)
{
    const Real total = static_cast<Real>(in.analyteVolume) + V;
    const Real analyte = static_cast<Real>(in.analyteConc) * in.analyteVolume / total;
    const Real titrant = static_cast<Real>(in.titrantConc) * V / total;
    const Real K = in.dissociationConstant;
    const Real kw = 1e-14L;
    switch (type) {
    case TitrationType::StrongAcidStrongBase: // Na+ from the titrant, Cl- from the analyte
        return h + titrant - kw / h - analyte;
    case TitrationType::StrongBaseStrongAcid:
        return h + analyte - kw / h - titrant;
    case TitrationType::WeakAcidStrongBase: // A- = C·Ka/(h + Ka)
        return h + titrant - kw / h - analyte * K / (h + K);
    case TitrationType::WeakBaseStrongAcid: // BH+ = C·h/(h + Kw/Kb)
        return h + analyte * h / (h + kw / K) - kw / h - titrant;
    }
    return 0;
}

/// pH of the root, by bisection on log10 h between pH -3 and 20.
Real exactPH(TitrationType type, const TitrationInputs& in, Real V)
{
    Real lo = -20, hi = 3;         // log10 h
    for (int i = 0; i < 80; ++i) { // 23 / 2^80: below long double resolution
        const Real mid = (lo + hi) / 2;
        (chargeBalance(type, in, V, std::pow(10.0L, mid)) > 0 ? hi : lo) = mid;
    }
    return -(lo + hi) / 2;
}

struct GridCase
{
    TitrationInputs inputs;
    double veq;
};

/// Accepted inputs: concentrations 1e-6..10 mol/L, K 1.1e-14..0.99, analyte 2.5..600 mL, with
/// the equivalence volume inside the accepted 5..300 mL.
std::vector<GridCase> grid(bool weak)
{
    const double concentrations[] = {1e-6, 3e-6, 1e-5, 1e-4, 1e-3, 0.01, 0.1, 0.5, 1, 2, 5, 10};
    const double volumes[] = {2.5, 10, 25, 100, 600};
    const std::vector<double> constants =
        weak ? std::vector<double>{1.1e-14, 1e-12, 1e-9, 1.8e-5, 1e-3, 0.1, 0.99}
             : std::vector<double>{-1.0};
    std::vector<GridCase> cases;
    for (double ca : concentrations)
        for (double ct : concentrations)
            for (double va : volumes)
                for (double k : constants) {
                    const double veq = va * ca / ct;
                    if (veq >= 5 && veq <= 300)
                        cases.push_back({{ct, ca, va, k}, veq});
                }
    return cases;
}

/// Titrant volumes from 0 to twice the equivalence volume, closer together round it.
std::vector<double> volumesFor(double veq)
{
    std::vector<double> v;
    for (int i = 0; i <= 40; ++i)
        v.push_back(veq * i / 20.0);
    for (double f : {0.9, 0.99, 0.999, 1.001, 1.01, 1.1})
        v.push_back(veq * f);
    std::sort(v.begin(), v.end());
    // 1.1·Veq and 22·Veq/20 may differ in the last bit only; such a pair compares rounding
    // noise, not the curve.
    v.erase(
        std::unique(v.begin(), v.end(), [veq](double a, double b) { return b - a < 1e-9 * veq; }),
        v.end());
    return v;
}

QString describe(TitrationType type, const TitrationInputs& in, double V)
{
    return QStringLiteral("type %1, analyte %2 M %3 mL, titrant %4 M, K %5, V %6 mL")
        .arg(static_cast<int>(type))
        .arg(in.analyteConc)
        .arg(in.analyteVolume)
        .arg(in.titrantConc)
        .arg(in.dissociationConstant)
        .arg(V);
}

} // namespace

class TestExactness : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithChargeBalance_data();
    void agreesWithChargeBalance();
    void publishedStrongAcidTable_data();
    void publishedStrongAcidTable();
};

void TestExactness::agreesWithChargeBalance_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("tolerance");

    // The strong types solve the same balance in closed form, so they must agree to rounding.
    QTest::newRow("strong acid with strong base") << 0 << 1e-9;
    QTest::newRow("weak acid with strong base") << 1 << 1e-3;
    QTest::newRow("strong base with strong acid") << 2 << 1e-9;
    QTest::newRow("weak base with strong acid") << 3 << 1e-3;
}

void TestExactness::agreesWithChargeBalance()
{
    QFETCH(int, type);
    QFETCH(double, tolerance);
    const TitrationType t = *titrationTypeFromIndex(type);

    int points = 0;
    double worst = 0;
    QString worstCase;
    for (const GridCase& c : grid(isWeak(t))) {
        for (double V : volumesFor(c.veq)) {
            const double pH = Get_pH(t, c.inputs, V);
            QCOMPARE(CalcErrorFlag, 0);
            const double miss = std::fabs(pH - static_cast<double>(exactPH(t, c.inputs, V)));
            ++points;
            if (miss > worst) {
                worst = miss;
                worstCase = describe(t, c.inputs, V);
            }
        }
    }
    qInfo("%d points, largest miss %.3g pH at %s", points, worst, qPrintable(worstCase));
    QVERIFY(points > 1000);
    QVERIFY2(worst <= tolerance, qPrintable(worstCase));
}

void TestExactness::publishedStrongAcidTable_data()
{
    QTest::addColumn<double>("volume");
    QTest::addColumn<double>("pH");

    // 25.0 mL of 0.100 M HCl titrated with 0.100 M NaOH, as tabulated in general-chemistry
    // textbooks.
    const double table[][2] = {{0, 1.00},    {5, 1.18},   {10, 1.37},    {15, 1.60},
                               {20, 1.95},   {22, 2.20},  {24, 2.69},    {24.5, 3.00},
                               {24.9, 3.70}, {25, 7.00},  {25.1, 10.30}, {25.5, 11.00},
                               {26, 11.29},  {28, 11.75}, {30, 11.96},   {35, 12.22},
                               {40, 12.36},  {45, 12.46}, {50, 12.52}};
    for (const auto& row : table)
        QTest::addRow("%g mL", row[0]) << row[0] << row[1];
}

void TestExactness::publishedStrongAcidTable()
{
    QFETCH(double, volume);
    QFETCH(double, pH);

    const TitrationInputs hcl{0.1, 0.1, 25.0, -1.0};
    QVERIFY(std::fabs(Get_pH(TitrationType::StrongAcidStrongBase, hcl, volume) - pH) <= 0.01);
}

QTEST_APPLESS_MAIN(TestExactness)
#include "tst_exactness.moc"
