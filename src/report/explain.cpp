#include "report/explain.h"

#include "report/json.h"
#include "report/numbertext.h"
#include "report/table.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace report {

namespace {

constexpr double kPKw = 14.0, kKw = 1.0E-14; // as the model's
/// Below this an analyte's ions are few beside the 1E-7 mol/L of H⁺ and OH⁻ water gives itself.
constexpr double kDiluteBelow = 1.0E-6;
/// The share of a quantity a formula may leave out.
constexpr double kSmallShare = 0.05;
/// An equivalence point's tolerance: 0.5 % of its volume, at least 0.01 mL.
constexpr double kPointShare = 0.005, kPointLeast = 0.01;

// ---- Texts

std::string pHText(double x)
{
    return FixedText(x, 2);
}

/// Three significant digits, for amounts, concentrations, ratios and shares.
std::string sig(double x)
{
    if (!(x > 0) || !std::isfinite(x))
        return NumberText(x);
    const int decimals = 2 - static_cast<int>(std::floor(std::log10(x)));
    if (decimals > 22)
        return constantText(x);
    return NumberText(decimals <= 0 ? std::round(x) : Round(x, decimals));
}

std::string volumeText(double mL)
{
    return NumberText(Round(mL, 2));
}

std::string percent(double share)
{
    return sig(100 * share) + " %";
}

/// A form of the analyte by the protons it holds: H₂A, HA⁻, A²⁻ for an acid of two; B, BH⁺,
/// BH₂²⁺ for a base.
std::string form(bool acid, int n, int held)
{
    static const char* const subscript[] = {"", "", "₂", "₃", "₄", "₅", "₆"};
    static const char* const superscript[] = {"", "", "²", "³", "⁴", "⁵", "⁶"};
    const int charge = acid ? n - held : held;
    std::string name = acid ? "" : "B";
    if (held > 0)
        name += std::string("H") + subscript[held];
    if (acid)
        name += "A";
    if (charge > 0)
        name += std::string(superscript[charge]) + (acid ? "⁻" : "⁺");
    return name;
}

/// The pKa symbol of step `p` (1 for the most acidic): "pKa" alone for one proton.
std::string pKaName(int p, int n)
{
    return n == 1 ? "pKa" : "pKa" + std::to_string(p);
}

/// "; pH = 14 − 5.28 = 8.72", after a pOH.
std::string fromPOH(double pOH)
{
    return "; pH = 14 − " + pHText(pOH) + " = " + pHText(kPKw - pOH);
}

// ---- The flask at a volume, and the approximation that describes it

struct Flask
{
    bool acid = true; ///< the analyte is an acid, the titrant a strong base
    bool weak = false;
    int n = 1;
    std::vector<double> pKa; ///< ascending, of the conjugate acid for a base
    double N = 0;            ///< the analyte, mmol
    double T = 0;            ///< the titrant added, mmol
    double V = 0;            ///< in the flask, mL

    double C() const { return N / V; }
    std::string form(int held) const { return report::form(acid, n, held); }
    /// The pKa index of the step between the forms holding `held` and `held` − 1.
    int step(int held) const { return n - held + 1; }
    double Ka(int p) const { return std::pow(10.0, -pKa[p - 1]); }
};

/// What an approximation takes as small, for saying why it misses.
struct Assumption
{
    enum class Kind { None, StrongIons, Alone, Pair, Amphiprotic } kind = Kind::None;
    double c = 0; ///< StrongIons: the excess's concentration
    /// Alone: the lone form's protons (n: the acid, 0: the base); Pair: the acid form's;
    /// Amphiprotic: the species'.
    int held = 0;
    double cAcid = 0, cBase = 0; ///< Pair: the two forms' concentrations
};

struct Approximation
{
    Region region = Region::Initial;
    int step = 0;
    std::string regionText, name, formula;
    double pH = 0;
    Assumption assumes;
};

Approximation strongAlone(const Flask& f)
{
    const double p = -std::log10(f.C());
    const std::string chain = "−log C = −log " + sig(f.C()) + " = " + pHText(p);
    return {Region::Initial,
            0,
            "before any titrant",
            f.acid ? "strong acid alone" : "strong base alone",
            f.acid ? "pH = " + chain : "pOH = " + chain + fromPOH(p),
            f.acid ? p : kPKw - p,
            {Assumption::Kind::StrongIons, f.C()}};
}

/// A strong acid or base left over: −log((n(more) − n(less))/V), as pH when the acid is left.
Approximation leftOver(const Flask& f, bool acidLeft, const std::string& more, double nMore,
                       const std::string& less, double nLess)
{
    Approximation a;
    const double c = (nMore - nLess) / f.V;
    const double p = -std::log10(c);
    const std::string chain = "−log((" + more + " − " + less + ")/V) = −log((" + sig(nMore) +
                              " − " + sig(nLess) + ")/" + volumeText(f.V) + ") = " + pHText(p);
    a.formula = acidLeft ? "pH = " + chain : "pOH = " + chain + fromPOH(p);
    a.pH = acidLeft ? p : kPKw - p;
    a.assumes = {Assumption::Kind::StrongIons, c};
    return a;
}

/// A strong analyte in excess, before its equivalence point.
Approximation strongLeft(const Flask& f)
{
    Approximation a = f.acid ? leftOver(f, true, "n(H⁺)", f.N, "n(OH⁻)", f.T)
                             : leftOver(f, false, "n(OH⁻)", f.N, "n(H⁺)", f.T);
    a.region = Region::Strong;
    a.regionText = f.acid ? "strong acid in excess, before the equivalence point"
                          : "strong base in excess, before the equivalence point";
    a.name = f.acid ? "excess strong acid" : "excess strong base";
    return a;
}

/// The titrant in excess after the last equivalence point.
Approximation excessTitrant(const Flask& f)
{
    std::string analyte =
        !f.weak ? (f.acid ? "n(H⁺)" : "n(OH⁻)") : "n(" + f.form(f.acid ? f.n : 0) + ")";
    if (f.n > 1)
        analyte = std::to_string(f.n) + analyte;
    Approximation a = leftOver(f, !f.acid, f.acid ? "n(OH⁻)" : "n(H⁺)", f.T, analyte, f.n * f.N);
    a.region = Region::Excess;
    a.regionText = f.n > 1 ? "excess titrant, after the last equivalence point"
                           : "excess titrant, after the equivalence point";
    a.name = f.acid ? "excess strong base" : "excess strong acid";
    return a;
}

/// A weak acid (the form holding every proton) or weak base (holding none) alone at `C`,
/// written `cText` and named `cSymbol` in the formula.
Approximation alone(const Flask& f, bool acidForm, double C, const std::string& cSymbol,
                    const std::string& cText)
{
    Approximation a;
    const double pK = acidForm ? f.pKa.front() : kPKw - f.pKa.back();
    const std::string pKName = acidForm ? pKaName(1, f.n) : f.n == 1 ? "pKb" : "pKb1";
    const double p = (pK - std::log10(C)) / 2;
    const std::string chain = "½(" + pKName + " − log " + cSymbol + ") = ½(" + FixedText(pK, 2) +
                              " − log" + (cText.front() == '(' ? "" : " ") + cText +
                              ") = " + pHText(p);
    a.formula = acidForm ? "pH = " + chain : "pOH = " + chain + fromPOH(p);
    a.pH = acidForm ? p : kPKw - p;
    a.assumes.kind = Assumption::Kind::Alone;
    a.assumes.held = acidForm ? f.n : 0;
    return a;
}

Approximation initial(const Flask& f)
{
    if (!f.weak)
        return strongAlone(f);
    Approximation a = alone(f, f.acid, f.C(), "C", sig(f.C()));
    a.regionText = "before any titrant";
    a.name = f.acid ? "weak acid alone" : "weak base alone";
    return a;
}

Approximation buffer(const Flask& f, int k)
{
    // The titrant has turned (k − 1)·N of the analyte into the forms of step k, and part of the
    // rest into the next form.
    const double reacted = f.T - (k - 1) * f.N, left = k * f.N - f.T;
    const int held = f.acid ? f.n - k + 1 : k; // the acid form's
    const double nAcid = f.acid ? left : reacted, nBase = f.acid ? reacted : left;
    const int p = f.step(held);
    const double pKa = f.pKa[p - 1];
    Approximation a;
    a.region = Region::Buffer;
    a.step = k;
    a.regionText = f.n > 1 ? "buffer region of proton " + std::to_string(k) : "buffer region";
    a.name = "Henderson–Hasselbalch equation";
    a.pH = pKa + std::log10(nBase / nAcid);
    a.formula = "pH = " + pKaName(p, f.n) + " + log(n(" + f.form(held - 1) + ")/n(" + f.form(held) +
                ")) = " + FixedText(pKa, 2) + " + log(" + sig(nBase) + "/" + sig(nAcid) +
                ") = " + pHText(a.pH);
    a.assumes = {Assumption::Kind::Pair, 0, held, nAcid / f.V, nBase / f.V};
    return a;
}

Approximation equivalence(const Flask& f, int k)
{
    Approximation a;
    if (!f.weak) {
        a.name = "neutral salt";
        a.formula = "pH = ½·pKw = ½·14 = 7.00";
        a.pH = kPKw / 2;
    } else if (k < f.n) {
        const int held = f.acid ? f.n - k : k;
        const int p = f.step(held + 1);
        const double pKa1 = f.pKa[p - 1], pKa2 = f.pKa[p];
        a.name = "amphiprotic " + f.form(held);
        a.pH = (pKa1 + pKa2) / 2;
        a.formula = "pH = ½(" + pKaName(p, f.n) + " + " + pKaName(p + 1, f.n) + ") = ½(" +
                    FixedText(pKa1, 2) + " + " + FixedText(pKa2, 2) + ") = " + pHText(a.pH);
        a.assumes.kind = Assumption::Kind::Amphiprotic;
        a.assumes.held = held;
    } else {
        // Every proton given (or taken): the conjugate base (or acid) alone, diluted.
        const std::string conjugate = f.form(f.acid ? 0 : f.n);
        a = alone(f, !f.acid, f.C(), "C(" + conjugate + ")",
                  "(" + sig(f.N) + "/" + volumeText(f.V) + ")");
        a.name = f.acid ? "conjugate base alone" : "conjugate acid alone";
    }
    a.region = Region::Equivalence;
    a.step = k;
    a.regionText = f.n > 1 ? "equivalence point " + std::to_string(k) + " of " + std::to_string(f.n)
                           : "equivalence point";
    return a;
}

Approximation approximationAt(const Flask& f, double volume, const std::vector<double>& points)
{
    if (volume == 0)
        return initial(f);
    for (std::size_t i = 0; i < points.size(); ++i)
        if (std::fabs(volume - points[i]) <= std::max(kPointShare * points[i], kPointLeast))
            return equivalence(f, static_cast<int>(i) + 1);
    if (volume > points.back())
        return excessTitrant(f);
    if (!f.weak)
        return strongLeft(f);
    const auto passed =
        std::count_if(points.begin(), points.end(), [&](double veq) { return veq < volume; });
    return buffer(f, static_cast<int>(passed) + 1);
}

// ---- Why an approximation misses

struct Verdict
{
    double measure = 0; ///< how far past what the formula may leave out: above 1 is past it
    MissReason reason = MissReason::WaterIons;
    std::string why;
};

/// The shares of the analyte's forms at `pH`, by the protons they hold (0 to n); weighed in
/// log space against the largest, so nothing overflows.
std::vector<double> formShares(const Flask& f, double pH)
{
    std::vector<double> logWeight(f.n + 1, 0.0);
    for (int held = 1; held <= f.n; ++held)
        logWeight[held] = logWeight[held - 1] + f.pKa[f.step(held) - 1] - pH;
    const double top = *std::max_element(logWeight.begin(), logWeight.end());
    std::vector<double> shares;
    double sum = 0;
    for (const double w : logWeight)
        sum += shares.emplace_back(std::pow(10.0, w - top));
    for (double& s : shares)
        s /= sum;
    return shares;
}

Verdict dilute(double c, const std::string& what)
{
    return {1, MissReason::TooDilute,
            "Too dilute: " + sig(c) + " mol/L of " + what +
                " is not much beside the 1E-07 mol/L of H⁺ and OH⁻ that water gives itself, "
                "which the formula leaves out."};
}

/// The forms outside the ones the formula counts (holding `low` to `high` protons), against
/// `reference` mol/L of what it does count.
Verdict overlap(const Flask& f, const std::vector<double>& shares, int low, int high,
                double reference)
{
    int third = -1;
    double outside = 0;
    for (int held = 0; held <= f.n; ++held)
        if (held < low || held > high) {
            outside += shares[held];
            if (third < 0 || shares[held] > shares[third])
                third = held;
        }
    if (third < 0)
        return {};
    // The step that joins the third form to the counted ones, and the counted step beside it.
    const int q = third > high ? f.step(high + 1) : f.step(low);
    const int near = third > high ? q + 1 : q - 1;
    return {outside * f.C() / reference / kSmallShare, MissReason::ProtonsOverlap,
            "Two protons overlap: " + pKaName(std::min(q, near), f.n) + " and " +
                pKaName(std::max(q, near), f.n) + " are " +
                FixedText(std::fabs(f.pKa[q - 1] - f.pKa[near - 1]), 2) + " apart, so " +
                f.form(third) + " holds " + percent(shares[third]) +
                " of the analyte, which the formula leaves out."};
}

std::array<Verdict, 3> aloneVerdicts(const Flask& f, const std::vector<double>& shares, double H,
                                     double OH, bool acidForm)
{
    const int held = acidForm ? f.n : 0, next = acidForm ? f.n - 1 : 1;
    const double K = acidForm ? f.Ka(1) : kKw / f.Ka(f.n), C = f.C();
    const std::string kName = std::string(acidForm ? "Ka" : "Kb") + (f.n > 1 ? "1" : "");
    const std::string kind = acidForm ? "acid" : "base";
    const double changed = 1 - shares[held];
    return {
        {{changed / kSmallShare, MissReason::TooStrong,
          "Too strong " + std::string(acidForm ? "an acid" : "a base") + " for the weak-" + kind +
              " formula: with " + kName + "/C = " + sig(K / C) + ", " + percent(changed) +
              " of it has " + (acidForm ? "given its proton" : "taken a proton") +
              ", where the formula counts on a few per cent at most."},
         overlap(f, shares, std::min(held, next), std::max(held, next), shares[next] * C),
         {(acidForm ? OH / H : H / OH) / kSmallShare, MissReason::WaterIons,
          "Water's own ions matter: " + kName + "·C = " + sig(K * C) +
              " is not large beside Kw = 1E-14, so water's own " + (acidForm ? "H⁺" : "OH⁻") +
              " adds to the " + kind + "'s."}}};
}

std::array<Verdict, 3> pairVerdicts(const Flask& f, const std::vector<double>& shares, double H,
                                    double OH, const Assumption& a)
{
    const bool acidLess = a.cAcid < a.cBase;
    const double less = std::min(a.cAcid, a.cBase);
    const std::string counted = " is not small beside the " + sig(less) + " mol/L of " +
                                f.form(acidLess ? a.held : a.held - 1) + " the formula counts.";
    const double ownIon = f.acid ? H : OH, waterIon = f.acid ? OH : H;
    const int p = f.step(a.held);
    const std::string waterForm = f.acid ? f.form(a.held - 1) : f.form(a.held);
    return {{{ownIon / less / kSmallShare, MissReason::TooStrong,
              f.acid ? "Too strong an acid for the buffer formula: the acid's own H⁺, " + sig(H) +
                           " mol/L," + counted
                     : "Too strong a base for the buffer formula: the base's own OH⁻, " + sig(OH) +
                           " mol/L," + counted},
             overlap(f, shares, a.held - 1, a.held, less),
             {waterIon / less / kSmallShare, MissReason::WaterIons,
              f.acid ? "Water's own ions matter: " + waterForm +
                           " takes H⁺ from water (Kb = " + constantText(kKw / f.Ka(p)) +
                           "), and the OH⁻ it leaves, " + sig(OH) + " mol/L," + counted
                     : "Water's own ions matter: " + waterForm +
                           " gives H⁺ to water (Ka = " + constantText(f.Ka(p)) +
                           "), and the H⁺ it makes, " + sig(H) + " mol/L," + counted}}};
}

std::array<Verdict, 3> amphiproticVerdicts(const Flask& f, const std::vector<double>& shares,
                                           int held)
{
    // The formula holds when C is large beside the first constant, and the second constant
    // times C large beside Kw.
    const int p = f.step(held + 1);
    const double C = f.C(), K1 = f.Ka(p), K2 = f.Ka(p + 1);
    const std::string name1 = "K" + pKaName(p, f.n).substr(2),
                      name2 = "K" + pKaName(p + 1, f.n).substr(2);
    return {
        {{K1 / C / kSmallShare, MissReason::TooStrong,
          "Too strong an acid for the amphiprotic formula: " + name1 + " = " + constantText(K1) +
              " is not small beside C = " + sig(C) + " mol/L."},
         overlap(f, shares, held - 1, held + 1, std::min(shares[held - 1], shares[held + 1]) * C),
         {kKw / (K2 * C) / kSmallShare, MissReason::WaterIons,
          "Water's own ions matter: " + name2 + "·C = " + sig(K2 * C) +
              " is not large beside Kw = 1E-14, so the H⁺ and OH⁻ water gives itself take "
              "part."}}};
}

Verdict diagnose(const Flask& f, const Assumption& a, double exactPH)
{
    const double H = std::pow(10.0, -exactPH), OH = kKw / H;
    if (a.kind == Assumption::Kind::StrongIons) {
        const bool titrantLeft = f.T > f.n * f.N;
        if (!f.weak || a.c < kDiluteBelow)
            return dilute(a.c, titrantLeft == f.acid ? "OH⁻" : "H⁺");
        // Past the last point of a weak analyte, the conjugate's reaction with water adds ions.
        return {
            1, MissReason::WaterIons,
            "Water's own ions matter: the conjugate " + std::string(f.acid ? "base " : "acid ") +
                f.form(f.acid ? 0 : f.n) +
                (f.acid ? " takes H⁺ from water, and the OH⁻" : " gives H⁺ to water, and the H⁺") +
                " it makes is not small beside the excess titrant's " + sig(a.c) + " mol/L."};
    }
    if (f.C() < kDiluteBelow)
        return dilute(f.C(), "the analyte");
    const std::vector<double> shares = formShares(f, exactPH);
    const std::array<Verdict, 3> verdicts =
        a.kind == Assumption::Kind::Alone  ? aloneVerdicts(f, shares, H, OH, a.held == f.n)
        : a.kind == Assumption::Kind::Pair ? pairVerdicts(f, shares, H, OH, a)
                                           : amphiproticVerdicts(f, shares, a.held);
    return *std::max_element(
        verdicts.begin(), verdicts.end(),
        [](const Verdict& x, const Verdict& y) { return x.measure < y.measure; });
}

/// Within an equivalence point's tolerance but off its volume: the titrant left over (or the
/// analyte not yet titrated) against what the formula works with there.
Verdict offThePoint(const Flask& f, const Approximation& a, double veq, double volume)
{
    const double left = std::fabs(f.T - a.step * f.N) / f.V;
    double reference = std::pow(10.0, -std::min(a.pH, kPKw - a.pH)); // the ion the formula gives
    if (a.assumes.kind == Assumption::Kind::Amphiprotic) {
        const int p = f.step(a.assumes.held + 1);
        reference = f.C() * std::pow(10.0, (f.pKa[p - 1] - f.pKa[p]) / 2); // each minor form
    }
    const double dV = volume - veq;
    return {left / reference / kSmallShare, MissReason::OffThePoint,
            "Off the point: " + volumeText(std::fabs(dV)) + " mL " +
                (dV > 0 ? "past it, the titrant left over, "
                        : "before it, the analyte not yet "
                          "titrated, ") +
                sig(left) + " mol/L, is not small beside the " + sig(reference) +
                " mol/L the formula works with; the pH changes steeply here."};
}

} // namespace

chem::Result<Explanation> explain(const TitrationModel& model, double volume)
{
    using Failure = chem::Result<Explanation>;
    if (model.activity() != chem::ActivityModel::None)
        return Failure::failed("the textbook's approximations leave activities out");
    const std::vector<double> points = model.equivalenceVolumes();
    const bool weak = chem::isWeak(model.type());
    if (points.empty() || (weak && model.pKa().empty()))
        return Failure::failed("the titration has no equivalence point to explain from");
    if (!std::isfinite(volume) || volume < 0)
        return Failure::failed("the volume " + NumberText(volume) + " mL is below 0");
    const double end = curveEnd(model);
    if (volume > end)
        return Failure::failed("the volume " + NumberText(volume) +
                               " mL is beyond the curve, which ends at " + NumberText(end) + " mL");
    const PHValue exact = model.pH(volume);
    if (exact.failed || !std::isfinite(exact.value))
        return Failure::failed("the pH after " + NumberText(volume) + " mL cannot be computed");

    const chem::TitrationInputs& in = model.inputs();
    Flask f;
    f.acid = chem::titrantIsBase(model.type());
    f.weak = weak;
    f.pKa = model.pKa();
    f.n = weak ? static_cast<int>(f.pKa.size()) : 1;
    f.N = in.analyteConc * in.analyteVolume;
    f.T = in.titrantConc * volume;
    f.V = in.analyteVolume + volume;
    const Approximation a = approximationAt(f, volume, points);

    Explanation e;
    e.volume = volume;
    e.region = a.region;
    e.step = a.step;
    e.protons = f.n;
    e.regionText = a.regionText;
    e.approximation = a.name;
    e.formula = a.formula;
    e.approximatePH = a.pH;
    e.exactPH = exact.value;
    if (std::fabs(e.difference()) > kMissLimit) {
        // Beside a point the pH changes steeply: what is left over may outweigh the rest.
        const bool atPoint = a.region == Region::Equivalence;
        Verdict v = atPoint ? offThePoint(f, a, points[a.step - 1], volume) : Verdict{};
        if ((!atPoint || v.measure < 1) && a.assumes.kind != Assumption::Kind::None)
            v = diagnose(f, a.assumes, exact.value);
        e.reason = v.reason;
        e.why = std::move(v.why);
    }
    return Failure::success(std::move(e));
}

const char* regionName(Region region)
{
    switch (region) {
    case Region::Initial:
        return "initial";
    case Region::Buffer:
        return "buffer";
    case Region::Equivalence:
        return "equivalence";
    case Region::Excess:
        return "excess";
    case Region::Strong:
        break;
    }
    return "strong";
}

const char* reasonName(MissReason reason)
{
    switch (reason) {
    case MissReason::TooDilute:
        return "too-dilute";
    case MissReason::TooStrong:
        return "too-strong";
    case MissReason::ProtonsOverlap:
        return "protons-overlap";
    case MissReason::WaterIons:
        return "water-ions";
    case MissReason::OffThePoint:
        break;
    }
    return "off-the-point";
}

std::vector<std::string> explanationLines(const Explanation& e)
{
    const double d = Round(e.difference(), 2);
    std::vector<std::string> lines{
        "After " + NumberText(e.volume) + " mL of titrant: " + e.regionText,
        "  " + e.approximation + ": " + e.formula,
        "  Approximate pH " + pHText(e.approximatePH) + ", exact pH " + pHText(e.exactPH) +
            ", difference " + (d > 0 ? "+" : "") + FixedText(d, 2)};
    if (e.reason)
        lines.push_back("  Why it misses: " + e.why);
    return lines;
}

std::string explanationJson(const Explanation& e)
{
    JsonWriter json;
    json.beginObject().key("volume").number(e.volume);
    json.key("region").string(regionName(e.region));
    if (e.protons > 1 && e.region == Region::Buffer)
        json.key("proton").integer(e.step);
    if (e.protons > 1 && e.region == Region::Equivalence)
        json.key("point").integer(e.step);
    json.key("approximation").string(e.approximation).key("formula").string(e.formula);
    json.key("approximatePH").number(e.approximatePH).key("exactPH").number(e.exactPH);
    json.key("difference").number(e.difference()).key("reason");
    e.reason ? json.string(reasonName(*e.reason)) : json.null();
    json.key("why");
    e.reason ? json.string(e.why) : json.null();
    return json.end().text() + '\n';
}

} // namespace report
