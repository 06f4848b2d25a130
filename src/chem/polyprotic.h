#pragma once
// Analytes with one to six protons, titrated with a strong base (an acid) or a strong acid
// (a base).
//
// - PolyproticAnalyte is plain data: the stepwise pKa values, ascending, of the acid or of the
//   base's conjugate acid as tables list them (ammonia: 9.25), its concentration, acid or base.
//   A base given as a salt (sodium carbonate) has the same balance: its counter-ions cancel.
// - PolyproticTitration::make checks the analyte, its volume and the titrant once and returns
//   the titration or the reason it refuses; afterwards only a titrant volume can be wrong.
// - With n̄ the mean number of protons the analyte has lost, h̄ = n − n̄ the mean number bound
//   and Δ = [H⁺] − [OH⁻], the charge balance solved for the titrant volume is explicit:
//     acid: V = Va·(C·n̄ − Δ)/(Ct + Δ)        base: V = Va·(C·h̄ + Δ)/(Ct − Δ)
//   (volumeAt). For the pH after a volume, the same balance multiplied by the total volume,
//     F(pH) = Va·C·n̄ − (Va + V)·Δ − V·Ct   or   −Va·C·h̄ − (Va + V)·Δ + V·Ct,
//   rises with pH for every V ≥ 0, so its one root is bracketed in pH and found by Newton's
//   method kept inside the bracket (bisection where a step would leave it). curve() starts each
//   point from the tangent at the last one, so a point takes two or three steps.
// - The fractions of the protonation states are weighed relative to the one that dominates at
//   that pH (found in log space: as many protons lost as pKa values below the pH), so every
//   weight is at most 1 and nothing overflows, with six protons and pKa values 25 units apart;
//   one exponential per pH serves them all.
// Kw = 1.0E-14, concentrations stand for activities, the titrant is fully dissociated, as in the
// one-proton routines; withConstants gives the conditional form that chem/activity.h solves
// at each ionic strength. Nothing here throws, touches CalcErrorFlag or returns a NaN: a failure
// comes back in the Result.

#include "chem/result.h"

#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace chem {

/// The most protons an analyte may carry, and the accepted range of each pKa.
inline constexpr int kMaxProtons = 6;
inline constexpr double kMinPKa = -5.0;
inline constexpr double kMaxPKa = 20.0;
/// The largest concentration accepted, far beyond any solution: it bounds the pH range, so that
/// 10^pH never overflows.
inline constexpr double kMaxConcentration = 1000.0;

/// Whether the analyte gives its protons to a strong base or takes them from a strong acid.
enum class AnalyteKind { Acid, Base };

/// An acid or base with 1 to kMaxProtons protons.
struct PolyproticAnalyte
{
    /// Stepwise pKa values in ascending order; for a base, those of its conjugate acid(s).
    std::vector<double> pKa;
    double concentration = 0.0; ///< mol/L, in the flask
    AnalyteKind kind = AnalyteKind::Acid;
};

/// A checked titration of a polyprotic analyte with a strong titrant. Cheap to copy; safe to use
/// from any thread, since it keeps no state between calls.
class PolyproticTitration
{
public:
    /// The titration of `analyteVolume` mL of `analyte` with a strong titrant of
    /// `titrantConc` mol/L, or the reason it is refused: no pKa or more than kMaxProtons, a pKa
    /// outside kMinPKa..kMaxPKa or out of order, a concentration or volume that is not a
    /// positive finite number, a concentration above kMaxConcentration.
    static Result<PolyproticTitration> make(PolyproticAnalyte analyte, double analyteVolume,
                                            double titrantConc);

    /// pH after `titrantVolume` mL of titrant, to 1e-9 pH; fails for a volume that is not a
    /// finite number ≥ 0 or when the arithmetic overflows.
    Result<double> pH(double titrantVolume) const;

    /// pH after each of `titrantVolumes` (ascending runs are fastest: each point starts from
    /// the last); fails as pH() does, at the first volume that fails.
    Result<std::vector<double>> curve(std::span<const double> titrantVolumes) const;

    /// pH of the analyte alone, before any titrant.
    Result<double> analyteAlonePH() const { return pH(0.0); }

    /// The titrant volume (mL) at which the flask reaches `pH`; fails where no volume ≥ 0
    /// reaches it (before the start, or beyond what the titrant alone could give).
    Result<double> volumeAt(double pH) const;

    /// Veq_k = k·Va·C/Ct for k = 1..n, in mL.
    std::vector<double> equivalenceVolumes() const;

    /// The same titration with other constants, unchecked: conditional ones at an ionic
    /// strength (chem/activity.h), which may lie outside the typed range. `pKw` replaces 14.
    PolyproticTitration withConstants(std::span<const double> pKa, double pKw) const;

    /// pH() with the root searched from `guess` first (a nearby pH saves steps).
    Result<double> pHFrom(double titrantVolume, double guess) const;

    /// The mean number of protons the analyte has lost at `pH` and its variance over the
    /// protonation states: with them the states' charges weigh in an ionic strength.
    std::pair<double, double> protonsLost(double pH) const;

    const PolyproticAnalyte& analyte() const { return analyte_; }
    double analyteVolume() const { return analyteVolume_; }
    double titrantConc() const { return titrantConc_; }

private:
    struct Balance;
    struct Speciation;
    struct Root;

    PolyproticTitration() = default;
    Speciation speciation(double pH) const;
    Balance balance(double pH, double titrantVolume) const;
    std::optional<Root> solve(double titrantVolume, double guess) const;

    PolyproticAnalyte analyte_;
    double analyteVolume_ = 0.0;
    double titrantConc_ = 0.0;
    std::vector<double> acidity_;  ///< Ka1 … Kan
    std::vector<double> basicity_; ///< 1/Ka1 … 1/Kan
    double kw_ = 1.0E-14;          ///< as in the one-proton routines, unless conditional
    double lowestPH_ = 0.0;        ///< the bracket of every root
    double highestPH_ = 0.0;
};

} // namespace chem
