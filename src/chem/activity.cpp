#include "chem/activity.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace chem {

namespace {

constexpr double kPKw = 14.0; // Kw = 1.0E-14, as in the one-proton routines
/// Constants standing for a strong acid's and a strong base's: 30 units beyond any pH the
/// bracket reaches, so the undissociated share is below 1e-25.
constexpr double kStrongAcidPKa = -30.0;
constexpr double kStrongBasePKa = 44.0;
/// The ionic strength settles geometrically, by a factor well below 0.1 a round at school
/// concentrations; these stop it where a further round moves the pH by less than 1e-12.
constexpr int kMaxRounds = 200;
constexpr double kRelativeTolerance = 1e-11;
constexpr double kAbsoluteTolerance = 1e-15;

/// f(I) of the Davies equation: log10 γ = −A·z²·f(I).
double daviesFactor(double I)
{
    const double root = std::sqrt(I);
    return root / (1.0 + root) - 0.3 * I;
}

/// With two decimals and a decimal point, whatever the locale.
std::string fixed(double x)
{
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, x, std::chars_format::fixed, 2).ptr};
}

} // namespace

double daviesLogGamma(int charge, double ionicStrength)
{
    return -kDaviesA * double(charge * charge) * daviesFactor(ionicStrength);
}

Result<ActivityTitration> ActivityTitration::make(PolyproticAnalyte analyte, int charge,
                                                  double analyteVolume, double titrantConc)
{
    using Failure = Result<ActivityTitration>;
    if (std::abs(charge) > kMaxCharge)
        return Failure::failed("the analyte's charge must lie within -6 to 6");
    const bool strong = analyte.pKa.empty();
    const bool base = analyte.kind == AnalyteKind::Base;
    std::vector<double> pKa = analyte.pKa;
    if (strong) {
        charge = 0;
        pKa = {base ? kStrongBasePKa : kStrongAcidPKa};
        analyte.pKa = {base ? kMaxPKa : kMinPKa}; // checked as one proton; replaced in solve()
    }
    Result<PolyproticTitration> ideal =
        PolyproticTitration::make(std::move(analyte), analyteVolume, titrantConc);
    if (!ideal)
        return Failure::failed(ideal.failure);
    ActivityTitration t(std::move(*ideal.value));
    t.protonatedCharge_ = charge + (base ? int(pKa.size()) : 0);
    t.counterIons_ = std::abs(charge);
    t.pKa_ = std::move(pKa);
    return Failure::success(std::move(t));
}

Result<ActivityTitration::Point> ActivityTitration::solve(double V, Point guess) const
{
    using Failure = Result<Point>;
    const PolyproticAnalyte& a = ideal_.analyte();
    const double Va = ideal_.analyteVolume(), total = Va + V;
    const double C = a.concentration * Va / total, titrantIons = ideal_.titrantConc() * V / total;
    std::vector<double> pKc(pKa_.size());
    double I = std::clamp(guess.ionicStrength, 0.0, kMaxIonicStrength);
    double pH = guess.pH;
    for (int round = 0; round < kMaxRounds; ++round) {
        const double shift = 2.0 * kDaviesA * daviesFactor(I);
        for (std::size_t k = 0; k < pKc.size(); ++k)
            pKc[k] = pKa_[k] + shift * double(protonatedCharge_ - int(k + 1));
        const PolyproticTitration t = ideal_.withConstants(pKc, kPKw - shift);
        const Result<double> p = t.pHFrom(V, pH);
        if (!p)
            return Failure::failed(p.failure);
        pH = *p.value;
        // Σ c·z² of the analyte's states: the states' charges z0 − j have the mean z0 − n̄ and
        // the variance of the number lost.
        const auto [lost, variance] = t.protonsLost(pH);
        const double meanCharge = double(protonatedCharge_) - lost;
        const double h = std::pow(10.0, -pH), oh = std::pow(10.0, pH - (kPKw - shift));
        const double next = 0.5 * (h + oh + titrantIons +
                                   C * (double(counterIons_) + meanCharge * meanCharge + variance));
        if (!std::isfinite(next))
            break;
        const double capped = std::min(next, kMaxIonicStrength);
        if (std::fabs(capped - I) <= kAbsoluteTolerance + kRelativeTolerance * I) {
            if (next > kMaxIonicStrength)
                return Failure::failed("the ionic strength reaches " + fixed(next) +
                                       " mol/L, beyond the Davies equation's range (up to 0.5)");
            return Failure::success({pH + 0.5 * shift, I});
        }
        I = capped;
    }
    return Failure::failed("the ionic strength did not settle");
}

Result<double> ActivityTitration::pH(double titrantVolume) const
{
    const Result<Point> p = solve(titrantVolume, {7.0, 0.0});
    return p ? Result<double>::success(p.value->pH) : Result<double>::failed(p.failure);
}

Result<double> ActivityTitration::ionicStrength(double titrantVolume) const
{
    const Result<Point> p = solve(titrantVolume, {7.0, 0.0});
    return p ? Result<double>::success(p.value->ionicStrength) : Result<double>::failed(p.failure);
}

Result<std::vector<double>> ActivityTitration::curve(std::span<const double> volumes) const
{
    std::vector<double> pHs;
    pHs.reserve(volumes.size());
    Point last{7.0, 0.0};
    for (const double V : volumes) {
        const Result<Point> p = solve(V, last);
        if (!p)
            return Result<std::vector<double>>::failed(p.failure);
        // The next point starts from this one's concentration pH and ionic strength.
        last = {p.value->pH - kDaviesA * daviesFactor(p.value->ionicStrength),
                p.value->ionicStrength};
        pHs.push_back(p.value->pH);
    }
    return Result<std::vector<double>>::success(std::move(pHs));
}

} // namespace chem
