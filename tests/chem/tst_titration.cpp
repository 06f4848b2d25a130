// The pH routines: against the charge balance itself, solved independently over the accepted
// inputs and beyond them in strong excess; and their failure exits and root search.
#include "chem/titration.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace chem;

namespace {

using Real = long double;

/// pH of the charge balance's root, by bisection on log10 h between pH -3 and 20; the
/// balance (cations minus anions) rises with h.
Real exactPH(TitrationType type, const TitrationInputs& in, Real V)
{
    const Real total = Real(in.analyteVolume) + V, K = in.dissociationConstant, kw = 1e-14L;
    const Real analyte = Real(in.analyteConc) * in.analyteVolume / total;
    const Real titrant = Real(in.titrantConc) * V / total;
    const auto balance = [&](Real h) -> Real {
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
    };
    Real lo = -20, hi = 3;
    for (int i = 0; i < 80; ++i) // 23 / 2^80: below long double resolution
        (balance(std::pow(10.0L, (lo + hi) / 2)) > 0 ? hi : lo) = (lo + hi) / 2;
    return -(lo + hi) / 2;
}

} // namespace

class TestTitration : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithChargeBalance();
    void strongBaseInExcess();
    void failuresGiveZeroAndRaiseTheFlag();
};

void TestTitration::agreesWithChargeBalance()
{
    for (int type = 0; type < 4; ++type) {
        const TitrationType t = *titrationTypeFromIndex(type);
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
                        std::vector<double> volumes{0.99 * veq, 0.999 * veq, 1.001 * veq,
                                                    1.01 * veq};
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
                                     qPrintable(QString::asprintf("%g M %g mL, %g M, K %g, V %g",
                                                                  ca, va, ct, k, V)));
                            previous = pH;
                            ++points;
                        }
                    }
        QVERIFY(points > 1000);
    }
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

void TestTitration::failuresGiveZeroAndRaiseTheFlag()
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    // Routine (0 AFBF, 1 ADBF, 2 AFBD), acid concentration and volume, base concentration and
    // volume, constant: no volume at all, overflows, NaN, Kb 0.
    // clang-format off
    const double cases[][6] = {{0, 0.1, 0, 0.1, 0, 0}, {0, 1e300, 1e300, 0, 1, 0},
        {0, 1e200, 1, 0, 0, 0}, {0, 0.1, kNaN, 0.1, 1, 0}, {1, 0.1, 0, 0.1, 0, 1e-5},
        {1, 1e300, 1, 0, 0, 0.5}, {1, 0.1, 1, 0, 0, kNaN}, {2, 0, 0, 0.1, 1, 0},
        {2, 0.1, 0, 0.1, 0, 1e-5}};
    // clang-format on
    for (const auto& [routine, ca, va, cb, vb, K] : cases) {
        CalcErrorFlag = 0;
        const double pH = routine == 0   ? pH_AFBF(ca, va, cb, vb)
                          : routine == 1 ? pH_ADBF(ca, va, cb, vb, K)
                                         : pH_AFBD(ca, va, cb, vb, K);
        QVERIFY2(pH == 0.0 && CalcErrorFlag == 1, qPrintable(QString::number(ca)));
        // Only the call that failed reports it: the next good one clears the flag.
        Get_pH(TitrationType::WeakBaseStrongAcid, {0.1, 0.1, 25, 1.8e-5}, 0);
        QCOMPARE(CalcErrorFlag, 0);
    }
    ResolverCubica(-1e308, 0, 0);
    QCOMPARE(CalcErrorFlag, 1);
    // The root search lands below the root by less than its last factor 2^(1/1024), beyond
    // its first pass too (x³ = 1000); positive from the start, it steps back once a pass,
    // from 1e-16 down by 2·2^(1/2)·…·2^(1/1024) = 2^(2 - 1/1024).
    const double x = ResolverCubica(0, 0, -1000);
    QVERIFY(x < 10 && x > 10 / std::pow(2.0, 1.0 / 1024.0));
    QVERIFY(std::fabs(ResolverCubica(0, 0, 0) * std::pow(2.0, 2.0 - 1.0 / 1024.0) / 1e-16 - 1) <
            1e-12);
    pH_ADBF(0.1, 1, 0, 0, 1.8e-5);
    QCOMPARE(CalcErrorFlag, 0);
    // No type: pH 0, and no failure.
    CalcErrorFlag = 1;
    QCOMPARE(Get_pH(titrationTypeFromIndex(-1), {0.1, 0.1, 25, 1.8e-5}, 10), 0.0);
    QCOMPARE(CalcErrorFlag, 0);
    QVERIFY(!titrationTypeFromIndex(4));
}

QTEST_APPLESS_MAIN(TestTitration)
#include "tst_titration.moc"
