// The pH routines for one proton and for several: against the charge balance itself, solved
// independently over the accepted inputs and beyond; failure exits and root search.
#include "chem/activity.h"
#include "chem/polyprotic.h"
#include "chem/titration.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace chem;

namespace {

using Real = long double;

/// pH of a charge balance's root (cations minus anions, which rise with h), by bisection on
/// log10 h between pH -8 and 25.
template <class Balance> Real rootPH(Balance balance)
{
    Real lo = -25, hi = 8;
    for (int i = 0; i < 80; ++i) // 33 / 2^80: below long double resolution
        (balance(std::pow(10.0L, (lo + hi) / 2)) > 0 ? hi : lo) = (lo + hi) / 2;
    return -(lo + hi) / 2;
}

Real exactPH(TitrationType type, const TitrationInputs& in, Real V)
{
    const Real total = Real(in.analyteVolume) + V, K = in.dissociationConstant, kw = 1e-14L;
    const Real analyte = Real(in.analyteConc) * in.analyteVolume / total;
    const Real titrant = Real(in.titrantConc) * V / total;
    return rootPH([&](Real h) -> Real {
        switch (type) {
        case TitrationType::StrongAcidStrongBase:
            return h + titrant - kw / h - analyte;
        case TitrationType::StrongBaseStrongAcid:
            return h + analyte - kw / h - titrant;
        case TitrationType::WeakAcidStrongBase: // A- = C·Ka/(h + Ka)
            return h + titrant - kw / h - analyte * K / (h + K);
        case TitrationType::WeakBaseStrongAcid: // BH+ = C·h/(h + Kw/Kb)
            return h + analyte * h / (h + kw / K) - kw / h - titrant;
        }
        return 0;
    });
}

/// The same for several protons, the fractions as plain products of the constants.
Real exactPH(const PolyproticAnalyte& a, Real Va, Real Ct, Real V)
{
    const Real analyte = Real(a.concentration) * Va / (Va + V), titrant = Ct * V / (Va + V);
    return rootPH([&](Real h) {
        Real weight = 1, sum = 1, lost = 0; // weight: [state that lost j] / [fully protonated]
        for (std::size_t j = 1; j <= a.pKa.size(); ++j) {
            weight *= std::pow(10.0L, -Real(a.pKa[j - 1])) / h;
            sum += weight;
            lost += j * weight;
        }
        return a.kind == AnalyteKind::Acid
                   ? h + titrant - 1e-14L / h - analyte * lost / sum
                   : h + analyte * (a.pKa.size() - lost / sum) - 1e-14L / h - titrant;
    });
}

/// The meter's pH by the Davies equation, derived apart: bisection on −log a(H⁺), at each trial
/// the ionic strength by substitution. `charge`: of the form weighed out (Na2CO3 −2); no pKa for
/// a strong acid or base.
Real daviesPH(const PolyproticAnalyte& a, int charge, Real Va, Real Ct, Real V)
{
    const Real C = Real(a.concentration) * Va / (Va + V), titrant = Ct * V / (Va + V);
    const bool acid = a.kind == AnalyteKind::Acid;
    const int top = charge + (acid ? 0 : int(a.pKa.size())); // of the fully protonated state
    const auto gamma = [](int z, Real I) {
        return std::pow(10.0L, -0.509L * z * z * (std::sqrt(I) / (1 + std::sqrt(I)) - 0.3L * I));
    };
    const auto balance = [&](Real aH, Real I, Real& nextI) { // cations − anions
        const Real h = aH / gamma(1, I), oh = 1e-14L / (aH * gamma(1, I));
        const Real strong = a.pKa.empty() ? C : 0; // Cl⁻ or Na⁺
        const Real ions = h - oh + (acid ? titrant - strong : strong - titrant) - charge * C;
        const Real squares = h + oh + titrant + strong + std::abs(charge) * C;
        // [lost j] / [fully protonated], from a(A_j) = Ka·a(A_j-1)/aH; Σ state, Σ z·, Σ z²·state
        Real state = 1, total = 1, charges = top, charges2 = top * top;
        for (std::size_t j = 1; j <= a.pKa.size(); ++j) {
            const int z = top - int(j);
            state *= std::pow(10.0L, -Real(a.pKa[j - 1])) * gamma(z + 1, I) / (aH * gamma(z, I));
            total += state;
            charges += z * state;
            charges2 += z * z * state;
        }
        nextI = (squares + C * charges2 / total) / 2;
        return ions + C * charges / total;
    };
    return rootPH([&](Real aH) {
        Real I = 0, next = 0;
        for (int i = 0; i < 200; ++i, I = next)
            balance(aH, I, next);
        return balance(aH, I, next);
    });
}

} // namespace

Q_DECLARE_METATYPE(PolyproticAnalyte)
Q_DECLARE_METATYPE(TitrationType)

class TestTitration : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithChargeBalance_data();
    void agreesWithChargeBalance();
    void strongBaseInExcess();
    void failuresGiveZeroAndRaiseTheFlag_data();
    void failuresGiveZeroAndRaiseTheFlag();
    void rootSearch();
    void polyprotic_data();
    void polyprotic();
    void activities_data();
    void activities();
    void activityLimits();
};

void TestTitration::agreesWithChargeBalance_data()
{
    QTest::addColumn<TitrationType>("t");
    QTest::newRow("strong acid") << TitrationType::StrongAcidStrongBase;
    QTest::newRow("weak acid") << TitrationType::WeakAcidStrongBase;
    QTest::newRow("strong base") << TitrationType::StrongBaseStrongAcid;
    QTest::newRow("weak base") << TitrationType::WeakBaseStrongAcid;
}

void TestTitration::agreesWithChargeBalance()
{
    QFETCH(TitrationType, t);
    // The strong types solve the same balance in closed form, so they agree to rounding; the
    // weak ones to the root search's lattice of 2^(1/1024).
    const double tolerance = isWeak(t) ? 1e-3 : 1e-9;
    // Accepted inputs: concentrations 1e-6..10 mol/L, K 1.1e-14..0.99, analyte 2.5..600 mL,
    // the equivalence volume in 5..300 mL; titrant from none to twice Veq, closer round it.
    const double concentrations[] = {1e-6, 3e-6, 1e-5, 1e-4, 1e-3, 0.01, 0.1, 0.5, 1, 2, 5, 10};
    const std::vector<double> constants =
        isWeak(t) ? std::vector<double>{1.1e-14, 1e-12, 1e-9, 1.8e-5, 1e-3, 0.1, 0.99}
                  : std::vector<double>{-1.0};
    int points = 0;
    for (double ca : concentrations)
        for (double ct : concentrations)
            for (double va : {2.5, 10.0, 25.0, 100.0, 600.0})
                for (double k : constants) {
                    const double veq = va * ca / ct;
                    if (veq < 5 || veq > 300)
                        continue;
                    const TitrationInputs in{ct, ca, va, k};
                    std::vector<double> volumes{0.99 * veq, 0.999 * veq, 1.001 * veq, 1.01 * veq};
                    for (int i = 0; i <= 40; ++i)
                        volumes.push_back(veq * i / 20.0);
                    std::sort(volumes.begin(), volumes.end());
                    double previous = Get_pH(t, in, 0);
                    for (double V : volumes) {
                        const double pH = Get_pH(t, in, V);
                        QCOMPARE(CalcErrorFlag, 0);
                        // Exact, and the curve never turns back.
                        QVERIFY2(std::fabs(pH - double(exactPH(t, in, V))) <= tolerance &&
                                     (pH - previous) * (titrantIsBase(t) ? 1 : -1) >= -1e-12,
                                 qPrintable(QString::asprintf("%g M %g mL, %g M, K %g, V %g", ca,
                                                              va, ct, k, V)));
                        previous = pH;
                        ++points;
                    }
                }
    QVERIFY(points > 1000);
}

void TestTitration::strongBaseInExcess()
{
    // With base in excess [H+] is tiny next to the excess; a root formula that subtracts the
    // two loses it (2 M read 14.311, 10 M 15.051, 100 M failed). [OH-] = C: pH = 14 + log10 C.
    for (double c : {0.5, 2.0, 10.0, 100.0, 1e6}) {
        const double pH = pH_AFBF(0, 0, c, 1);
        QVERIFY2(CalcErrorFlag == 0 && std::fabs(pH - double(14 + std::log10(Real(c)))) < 1e-9,
                 qPrintable(QString::number(c)));
    }
}

void TestTitration::failuresGiveZeroAndRaiseTheFlag_data()
{
    // Acid concentration and volume, base concentration and volume, constant.
    QTest::addColumn<QString>("routine");
    QTest::addColumn<double>("ca");
    QTest::addColumn<double>("va");
    QTest::addColumn<double>("cb");
    QTest::addColumn<double>("vb");
    QTest::addColumn<double>("K");
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    // clang-format off
    QTest::newRow("strong, no volume at all") << "AFBF" << 0.1 << 0.0 << 0.1 << 0.0 << 0.0;
    QTest::newRow("strong, amounts overflow") << "AFBF" << 1e300 << 1e300 << 0.0 << 1.0 << 0.0;
    QTest::newRow("strong, acid overflows") << "AFBF" << 1e200 << 1.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("strong, NaN volume") << "AFBF" << 0.1 << kNaN << 0.1 << 1.0 << 0.0;
    QTest::newRow("weak acid, no volume") << "ADBF" << 0.1 << 0.0 << 0.1 << 0.0 << 1e-5;
    QTest::newRow("weak acid overflows") << "ADBF" << 1e300 << 1.0 << 0.0 << 0.0 << 0.5;
    QTest::newRow("weak acid, NaN Ka") << "ADBF" << 0.1 << 1.0 << 0.0 << 0.0 << kNaN;
    QTest::newRow("weak base, Kb 0") << "AFBD" << 0.0 << 0.0 << 0.1 << 1.0 << 0.0;
    QTest::newRow("weak base, no volume") << "AFBD" << 0.1 << 0.0 << 0.1 << 0.0 << 1e-5;
    // clang-format on
}

void TestTitration::failuresGiveZeroAndRaiseTheFlag()
{
    QFETCH(QString, routine);
    QFETCH(double, ca);
    QFETCH(double, va);
    QFETCH(double, cb);
    QFETCH(double, vb);
    QFETCH(double, K);
    CalcErrorFlag = 0;
    const double pH = routine == "AFBF"   ? pH_AFBF(ca, va, cb, vb)
                      : routine == "ADBF" ? pH_ADBF(ca, va, cb, vb, K)
                                          : pH_AFBD(ca, va, cb, vb, K);
    QVERIFY(pH == 0.0 && CalcErrorFlag == 1);
    // Only the call that failed reports it: the next good one clears the flag.
    Get_pH(TitrationType::WeakBaseStrongAcid, {0.1, 0.1, 25, 1.8e-5}, 0);
    QCOMPARE(CalcErrorFlag, 0);
}

void TestTitration::rootSearch()
{
    ResolverCubica(-1e308, 0, 0);
    QCOMPARE(CalcErrorFlag, 1);
    // The root search lands below the root by less than its last factor 2^(1/1024), beyond
    // its first pass too (x³ = 1000); positive from the start, it steps back once a pass,
    // from 1e-16 down by 2·2^(1/2)·…·2^(1/1024) = 2^(2 - 1/1024).
    const double x = ResolverCubica(0, 0, -1000);
    QVERIFY(x < 10 && x > 10 / std::pow(2.0, 1.0 / 1024.0));
    QVERIFY(std::fabs(ResolverCubica(0, 0, 0) * std::pow(2.0, 2.0 - 1.0 / 1024.0) / 1e-16 - 1) <
            1e-12);
    // A root beyond reach: every pass climbs all its 58 steps, to 1e-16·2^(58·(2 - 1/1024)).
    QVERIFY(std::fabs(ResolverCubica(0, 0, -1e60) / std::pow(2.0, 58 * (2 - 1.0 / 1024)) / 1e-16 -
                      1) < 1e-12);
    pH_ADBF(0.1, 1, 0, 0, 1.8e-5);
    QCOMPARE(CalcErrorFlag, 0);
    // No type: pH 0, and no failure.
    CalcErrorFlag = 1;
    QCOMPARE(Get_pH(titrationTypeFromIndex(-1), {0.1, 0.1, 25, 1.8e-5}, 10), 0.0);
    QCOMPARE(CalcErrorFlag, 0);
    QVERIFY(!titrationTypeFromIndex(4));
}

void TestTitration::polyprotic_data()
{
    QTest::addColumn<PolyproticAnalyte>("analyte");
    QTest::addColumn<double>("va");
    QTest::addColumn<double>("ct");
    QTest::addColumn<bool>("accepted");
    const auto row = [](const char* name, PolyproticAnalyte a, double va, double ct,
                        bool accepted = true) { QTest::newRow(name) << a << va << ct << accepted; };
    const auto base = AnalyteKind::Base;
    // pKa of phosphoric, carbonic, citric, sulfuric (second proton) and acetic acid and of
    // ammonium from Skoog, West, Holler, Crouch, Fundamentals of Analytical Chemistry, 9th ed.,
    // Appendix 3; EDTA's six from Harris, Quantitative Chemical Analysis, 8th ed., ch. 11.
    row("phosphoric acid", {{2.15, 7.20, 12.35}, 0.1}, 25, 0.1);
    row("sodium carbonate", {{6.35, 10.33}, 0.1, base}, 25, 0.1);
    row("citric acid, steps overlap", {{3.13, 4.76, 6.40}, 0.05}, 20, 0.1);
    row("pKa half a unit apart", {{4.0, 4.5}, 0.1}, 25, 0.1);
    row("strong first proton", {{-3.0, 1.99}, 0.1}, 25, 0.1);
    row("very dilute", {{2.15, 7.20, 12.35}, 1e-5}, 25, 1e-5);
    row("six protons", {{0.0, 1.5, 2.0, 2.69, 6.13, 10.37}, 0.01}, 50, 0.1);
    row("range ends, concentrated: pH beyond 0..14", {{-5.0, 20.0}, 5.0}, 10, 10);
    // The bracket's ends: pKa 20 and 25 units apart, from the most concentrated accepted to far
    // below water's own ions; Newton steps that would leave the bracket.
    row("six pKa over 25 units, 1000 M", {{-5.0, 0.0, 5.0, 10.0, 15.0, 20.0}, 1000.0}, 1, 1000);
    row("six pKa over 25 units, 1e-7 M", {{-5.0, 0.0, 5.0, 10.0, 15.0, 20.0}, 1e-7}, 25, 1e-7);
    row("base, pKa 20 apart, 10 M", {{-2.0, 18.0}, 10.0, base}, 10, 5);
    row("base, pKa 20 apart, 1e-6 M", {{-2.0, 18.0}, 1e-6, base}, 50, 1e-5);
    row("two strong protons, 1000 M, titrant 1e-3 M", {{-5.0, -4.0}, 1000.0}, 1, 1e-3);
    row("acid, titrant 1000 times stronger", {{3.0, 11.0}, 1e-3}, 100, 1.0);
    row("base, titrant 1000 times weaker", {{3.0, 11.0}, 1.0, base}, 0.1, 1e-3);
    // The one-proton routines land above the exact pH by less than their search's last factor.
    row("one proton, acid", {{4.76}, 0.1}, 25, 0.1);
    row("one proton, base", {{9.25}, 0.01, base}, 50, 0.02);
    // Nonsense: refused with a reason, never a NaN.
    row("no pKa", {{}, 0.1}, 25, 0.1, false);
    row("seven pKa", {std::vector(7, 5.0), 0.1}, 25, 0.1, false);
    row("pKa below -5", {{-5.01, 4.0}, 0.1}, 25, 0.1, false);
    row("pKa above 20", {{4.0, 20.01}, 0.1}, 25, 0.1, false);
    row("pKa not a number", {{NAN}, 0.1}, 25, 0.1, false);
    row("pKa descending", {{7.2, 2.15}, 0.1}, 25, 0.1, false);
    row("no analyte", {{4.0}, 0.0}, 25, 0.1, false);
    row("more than any solution", {{4.0}, 1001.0}, 25, 0.1, false);
    row("negative analyte volume", {{4.0}, 0.1}, -25, 0.1, false);
    row("titrant not a number", {{4.0}, 0.1}, 25, NAN, false);
    // Accepted, but the balance overflows: a failure too, not a NaN.
    row("overflowing amounts", {{4.0}, 1000.0}, 1e306, 1000.0, false);
}

void TestTitration::polyprotic()
{
    QFETCH(PolyproticAnalyte, analyte);
    QFETCH(double, va);
    QFETCH(double, ct);
    QFETCH(bool, accepted);
    const auto made = PolyproticTitration::make(analyte, va, ct);
    if (!accepted) { // refused, with its reason, or failing on the largest volume
        const auto pH = made ? made.value->pH(1e308) : Result<double>{{}, made.failure};
        QVERIFY(!pH.value && !pH.failure.empty());
        return;
    }
    const auto& titration = made.value;
    QVERIFY(titration);
    // From nothing to one step past the last equivalence point, closer round each of them.
    const std::vector<double> equivalences = titration->equivalenceVolumes();
    std::vector<double> volumes;
    for (std::size_t i = 0; i <= 20 * (equivalences.size() + 1); ++i)
        volumes.push_back(equivalences[0] * i / 20.0);
    for (double v : equivalences)
        volumes.insert(volumes.end(), {0.999 * v, 0.9999 * v, 1.0001 * v, 1.001 * v});
    std::sort(volumes.begin(), volumes.end());
    const auto curve = titration->curve(volumes).value;
    QVERIFY(curve);
    const bool acid = analyte.kind == AnalyteKind::Acid;
    const auto type = acid ? TitrationType::WeakAcidStrongBase : TitrationType::WeakBaseStrongAcid;
    const double K = std::pow(10, acid ? -analyte.pKa[0] : analyte.pKa[0] - 14);
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const double V = volumes[i], pH = (*curve)[i], exact = double(exactPH(analyte, va, ct, V));
        const double rise = i == 0 ? 0 : (pH - (*curve)[i - 1]) * (acid ? 1 : -1);
        const double back = i == 0 ? V : titration->volumeAt(pH).value.value_or(-1);
        QVERIFY2(std::fabs(pH - exact) < 1e-8 && std::fabs(*titration->pH(V).value - pH) < 1e-9 &&
                     rise > -1e-9 && std::fabs(back - V) < 1e-6 * (1 + V),
                 qPrintable(QString::asprintf("V %g: %.9f, exact %.9f", V, pH, exact)));
        const double above = Get_pH(type, {ct, analyte.concentration, va, K}, V) - pH;
        QVERIFY(equivalences.size() > 1 ||
                (above > -1e-9 && above < std::log10(2.0) / 1024 + 1e-9));
    }
    // No volume reaches a pH before the start, nor one beyond the titrant's own in water.
    const double ion = (ct + std::sqrt(ct * ct + 4e-14)) / 2, toward = acid ? 1e-3 : -1e-3;
    const double own = acid ? 14 + std::log10(ion) : -std::log10(ion);
    QVERIFY(!titration->volumeAt((*curve)[0] - toward).value &&
            !titration->volumeAt(own + toward).value);
    QVERIFY(!titration->pH(-1).value && !titration->curve({{1.0, NAN}}).value &&
            !titration->curve({{1.0, -1.0}}).value);
}

void TestTitration::activities_data()
{
    QTest::addColumn<PolyproticAnalyte>("analyte");
    QTest::addColumn<int>("charge");
    QTest::addColumn<double>("ct");
    QTest::addColumn<double>("volume");
    const auto base = AnalyteKind::Base;
    const PolyproticAnalyte phosphoric{{2.148, 7.198, 12.375}, 0.05};
    // 25 mL of analyte throughout; pKa as in data/substances.tsv.
    QTest::newRow("acetic acid, half way") << PolyproticAnalyte{{4.756}, 0.1} << 0 << 0.1 << 12.5;
    for (const double V : {0.0, 6.25, 12.5, 18.75, 25.0, 31.0})
        QTest::addRow("phosphoric acid 0.05 M, %g mL", V) << phosphoric << 0 << 0.1 << V;
    QTest::newRow("Na2CO3") << PolyproticAnalyte{{6.35, 10.33}, 0.05, base} << -2 << 0.1 << 15.0;
    QTest::newRow("ammonium chloride, Cl-") << PolyproticAnalyte{{9.25}, 0.1} << 1 << 0.1 << 10.0;
    QTest::newRow("strong acid, before") << PolyproticAnalyte{{}, 0.1} << 0 << 0.1 << 20.0;
    QTest::newRow("strong acid, after") << PolyproticAnalyte{{}, 0.1} << 0 << 0.1 << 30.0;
    QTest::newRow("strong base") << PolyproticAnalyte{{}, 0.02, base} << 0 << 0.05 << 5.0;
}

void TestTitration::activities()
{
    QFETCH(PolyproticAnalyte, analyte);
    QFETCH(int, charge);
    QFETCH(double, ct);
    QFETCH(double, volume);
    const auto t = ActivityTitration::make(analyte, charge, 25, ct);
    QVERIFY(t);
    const double pH = t.value->pH(volume).value.value_or(NAN);
    const double exact = double(daviesPH(analyte, charge, 25, ct, volume));
    QVERIFY2(std::fabs(pH - exact) < 1e-6, qPrintable(QString::asprintf("%.9f %.9f", pH, exact)));
    QCOMPARE(t.value->curve({{0.0, volume, volume + 1}}).value.value_or(std::vector(2, 0.0))[1],
             pH);
}

void TestTitration::activityLimits()
{
    // Acetic acid half neutralised: Na+ and acetate at 0.1·12.5/37.5 mol/L each, H+ 1.8e-5.
    const auto acetic = ActivityTitration::make({{4.756}, 0.1}, 0, 25, 0.1);
    QVERIFY(std::fabs(*acetic.value->ionicStrength(12.5).value - 0.033352) < 1e-5);
    // 0.1 M HCl alone, I = 0.1: pH 1 + 0.509·(√0.1/(1 + √0.1) − 0.03) = 1.10702, by hand.
    QVERIFY(std::fabs(*ActivityTitration::make({{}, 0.1}, 0, 25, 0.1).value->pH(0).value -
                      1.10702) < 1e-5);
    // 1 M HCl: an ionic strength of about 1 mol/L, beyond the equation; said, not a NaN.
    const Result<double> beyond = ActivityTitration::make({{}, 1.0}, 0, 25, 1.0).value->pH(10);
    QVERIFY(!beyond.value && beyond.failure.find("beyond the Davies") != std::string::npos);
    QVERIFY(!ActivityTitration::make({{4.0}, 0.1}, 7, 25, 0.1).value &&
            !acetic.value->pH(-1).value);
}

QTEST_APPLESS_MAIN(TestTitration)
#include "tst_titration.moc"
