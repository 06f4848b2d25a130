#include "chem/polyprotic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace chem {

namespace {

constexpr double kLn10 = std::numbers::ln10;
constexpr double kPKw = 14.0; // Kw = 1.0E-14, as in the one-proton routines

/// Newton's method converges quadratically: what is left after a step is of the order of the
/// step squared, so a step this short is the last (the pH then lies within 1e-10 of the root).
/// The bisection stops at kBracketTolerance.
constexpr double kLastStep = 1e-7;
constexpr double kBracketTolerance = 1e-11;
/// Bisection alone needs about 45 halvings for the widest bracket (24 pH units); this only
/// stops a runaway.
constexpr int kMaxIterations = 200;

const char* const kBadVolume = "the titrant volume must be a number of mL, 0 or more";
const char* const kNoRoot = "the pH could not be computed";

double exp10(double x)
{
    return std::exp(kLn10 * x);
}

bool positiveFinite(double x)
{
    return std::isfinite(x) && x > 0.0;
}

} // namespace

/// The state of the analyte's protons at one pH.
struct PolyproticTitration::Speciation
{
    double h;        ///< [H⁺]
    double oh;       ///< [OH⁻]
    double lost;     ///< n̄, the mean number of protons lost
    double bound;    ///< h̄ = n − n̄, summed on its own so that neither loses digits
    double variance; ///< of the number lost: dn̄/dpH = ln 10 · variance
};

/// The charge balance times the total volume, F(pH), and its slopes in pH and in volume.
struct PolyproticTitration::Balance
{
    double value;
    double slope;
    double perVolume;
};

/// A root of the balance, with the curve's slope there to predict the next point.
struct PolyproticTitration::Root
{
    double pH;
    double pHPerVolume;
};

Result<PolyproticTitration> PolyproticTitration::make(PolyproticAnalyte analyte,
                                                      double analyteVolume, double titrantConc)
{
    const std::vector<double>& pKa = analyte.pKa;
    if (pKa.empty() || pKa.size() > std::size_t(kMaxProtons))
        return Result<PolyproticTitration>::failed("an analyte needs 1 to 6 pKa values, not " +
                                                   std::to_string(pKa.size()));
    for (double p : pKa)
        if (!(p >= kMinPKa && p <= kMaxPKa))
            return Result<PolyproticTitration>::failed("each pKa must lie within -5 to 20");
    if (!std::is_sorted(pKa.begin(), pKa.end()))
        return Result<PolyproticTitration>::failed("the pKa values must be in ascending order");
    if (!positiveFinite(analyte.concentration) || analyte.concentration > kMaxConcentration)
        return Result<PolyproticTitration>::failed(
            "the analyte concentration must be a positive number up to 1000 mol/L");
    if (!positiveFinite(analyteVolume))
        return Result<PolyproticTitration>::failed("the analyte volume must be a positive number");
    if (!positiveFinite(titrantConc) || titrantConc > kMaxConcentration)
        return Result<PolyproticTitration>::failed(
            "the titrant concentration must be a positive number up to 1000 mol/L");

    PolyproticTitration t;
    for (double p : pKa) {
        t.acidity_.push_back(exp10(-p));
        t.basicity_.push_back(exp10(p));
    }
    // Whatever the volume, [H⁺] cannot exceed ten times every proton and cation present, nor
    // [OH⁻] ten times every hydroxide: F is negative at the lower end and positive at the upper.
    const double charges = double(pKa.size()) * analyte.concentration + titrantConc + 1e-6;
    t.lowestPH_ = -std::log10(10.0 * charges);
    t.highestPH_ = kPKw + std::log10(10.0 * charges);
    t.analyte_ = std::move(analyte);
    t.analyteVolume_ = analyteVolume;
    t.titrantConc_ = titrantConc;
    return Result<PolyproticTitration>::success(std::move(t));
}

PolyproticTitration::Speciation PolyproticTitration::speciation(double pH) const
{
    // The state that has lost j protons weighs K1·…·Kj/[H⁺]^j, log10: j·pH − (pKa1 + … + pKaj).
    // Since the pKa values ascend, the log weight rises while pH > pKa(j+1) and falls after: the
    // state that has lost as many protons as there are pKa values below the pH weighs most.
    // Weighed relative to it, each step away multiplies by 10^−|pH − pKa| ≤ 1, so no weight
    // overflows, and one exponential serves them all (the bracket keeps 10^pH itself in range).
    const int n = int(acidity_.size());
    const auto& pKa = analyte_.pKa;
    const int dominant = int(std::lower_bound(pKa.begin(), pKa.end(), pH) - pKa.begin());
    const double toPH = exp10(pH), h = 1.0 / toPH;
    std::array<double, kMaxProtons + 1> weight{};
    weight[dominant] = 1.0;
    for (int j = dominant; j < n; ++j)
        weight[j + 1] = weight[j] * (acidity_[j] * toPH);
    for (int j = dominant; j > 0; --j)
        weight[j - 1] = weight[j] * (basicity_[j - 1] * h);
    double sum = 0.0, lost = 0.0, bound = 0.0, lostSquared = 0.0;
    for (int j = 0; j <= n; ++j) {
        const double w = weight[j];
        sum += w;
        lost += j * w;
        bound += (n - j) * w;
        lostSquared += double(j) * j * w;
    }
    const double perState = 1.0 / sum;
    lost *= perState;
    return {h, toPH * kw_, lost, bound * perState,
            std::max(0.0, lostSquared * perState - lost * lost)};
}

PolyproticTitration::Balance PolyproticTitration::balance(double pH, double V) const
{
    const Speciation s = speciation(pH);
    const double Va = analyteVolume_, C = analyte_.concentration, Ct = titrantConc_;
    const double delta = s.h - s.oh;
    const double value = analyte_.kind == AnalyteKind::Acid
                             ? Va * C * s.lost - (Va + V) * delta - V * Ct
                             : -Va * C * s.bound - (Va + V) * delta + V * Ct;
    return {value, kLn10 * (Va * C * s.variance + (Va + V) * (s.h + s.oh)),
            analyte_.kind == AnalyteKind::Acid ? -delta - Ct : -delta + Ct};
}

std::optional<PolyproticTitration::Root> PolyproticTitration::solve(double V, double guess) const
{
    double low = lowestPH_, high = highestPH_;
    double x = std::isfinite(guess) ? std::clamp(guess, low, high) : 0.5 * (low + high);
    for (int i = 0; i < kMaxIterations; ++i) {
        const Balance b = balance(x, V);
        if (!std::isfinite(b.value))
            break;
        if (b.value == 0.0)
            return Root{x, -b.perVolume / b.slope};
        (b.value < 0.0 ? low : high) = x;
        double next = x - b.value / b.slope;
        // A step out of the bracket (or through a zero slope) falls back to bisection.
        const bool newton = next > low && next < high;
        if (!newton)
            next = 0.5 * (low + high);
        if ((newton && std::fabs(next - x) < kLastStep) || high - low < kBracketTolerance)
            return Root{next, -b.perVolume / b.slope};
        x = next;
    }
    return std::nullopt;
}

Result<double> PolyproticTitration::pH(double titrantVolume) const
{
    // The bracket is symmetric about pH 7: start halfway.
    return pHFrom(titrantVolume, 0.5 * (lowestPH_ + highestPH_));
}

Result<double> PolyproticTitration::pHFrom(double titrantVolume, double guess) const
{
    if (!(std::isfinite(titrantVolume) && titrantVolume >= 0.0))
        return Result<double>::failed(kBadVolume);
    const std::optional<Root> root = solve(titrantVolume, guess);
    if (!root)
        return Result<double>::failed(kNoRoot);
    return Result<double>::success(root->pH);
}

PolyproticTitration PolyproticTitration::withConstants(std::span<const double> pKa,
                                                       double pKw) const
{
    PolyproticTitration t = *this;
    t.analyte_.pKa.assign(pKa.begin(), pKa.end());
    t.acidity_.clear();
    t.basicity_.clear();
    for (double p : pKa) {
        t.acidity_.push_back(exp10(-p));
        t.basicity_.push_back(exp10(p));
    }
    t.kw_ = exp10(-pKw);
    t.highestPH_ = highestPH_ - kPKw + pKw;
    return t;
}

std::pair<double, double> PolyproticTitration::protonsLost(double pH) const
{
    const Speciation s = speciation(pH);
    return {s.lost, s.variance};
}

Result<std::vector<double>> PolyproticTitration::curve(std::span<const double> volumes) const
{
    std::vector<double> pHs;
    pHs.reserve(volumes.size());
    Root last{0.5 * (lowestPH_ + highestPH_), 0.0};
    double lastVolume = 0.0;
    for (double V : volumes) {
        if (!(std::isfinite(V) && V >= 0.0))
            return Result<std::vector<double>>::failed(kBadVolume);
        // The tangent at the last point predicts this one to second order in the step.
        const std::optional<Root> root = solve(V, last.pH + last.pHPerVolume * (V - lastVolume));
        if (!root)
            return Result<std::vector<double>>::failed(kNoRoot);
        last = *root;
        lastVolume = V;
        pHs.push_back(last.pH);
    }
    return Result<std::vector<double>>::success(std::move(pHs));
}

Result<double> PolyproticTitration::volumeAt(double pH) const
{
    // Outside the bracket of every root no volume reaches the pH (and nothing overflows).
    if (!(pH > lowestPH_ && pH < highestPH_))
        return Result<double>::failed("no volume of titrant reaches this pH");
    const Speciation s = speciation(pH);
    const double Va = analyteVolume_, C = analyte_.concentration, Ct = titrantConc_;
    const double delta = s.h - s.oh;
    const bool acid = analyte_.kind == AnalyteKind::Acid;
    const double numerator = acid ? C * s.lost - delta : C * s.bound + delta;
    const double denominator = acid ? Ct + delta : Ct - delta;
    const double V = Va * numerator / denominator;
    if (!(denominator > 0.0 && V >= 0.0 && std::isfinite(V)))
        return Result<double>::failed("no volume of titrant reaches this pH");
    return Result<double>::success(V);
}

std::vector<double> PolyproticTitration::equivalenceVolumes() const
{
    std::vector<double> volumes;
    const double first = analyteVolume_ * analyte_.concentration / titrantConc_;
    for (std::size_t k = 1; k <= analyte_.pKa.size(); ++k)
        volumes.push_back(double(k) * first);
    return volumes;
}

} // namespace chem
