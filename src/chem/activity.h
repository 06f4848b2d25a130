#pragma once
// Activities by the Davies equation: the titration of chem/polyprotic.h with its constants taken
// as thermodynamic ones and the pH as a meter reads it, −log a(H⁺).
//
// - At an ionic strength I an ion of charge z has log10 γ = −A·z²·f(I), f(I) = √I/(1 + √I) − 0.3·I
//   (daviesLogGamma). The charge balance in concentrations keeps its form with conditional
//   constants: with z_k the charge of the state that has lost k protons,
//     pKc_k = pKa_k + 2·A·f(I)·z_k        pKwc = pKw − 2·A·f(I)
//   (from Kc = Ka·γ(HA_{k−1})/(γ(H⁺)·γ(A_k)) and Kwc = Kw/(γ(H⁺)·γ(OH⁻))), which
//   PolyproticTitration::withConstants solves for [H⁺]. Its ions give I again, and the two are
//   iterated until I settles; the meter then reads −log [H⁺] + A·f(I).
// - The ions: H⁺, OH⁻, the titrant's counter-ion (Na⁺ of the base, Cl⁻ of the acid), each
//   protonation state of the analyte with its charge, and the counter-ions of the salt the
//   analyte was weighed as (2 Na⁺ for each Na2CO3), all diluted by the titrant added.
// - A strong analyte is the limit of a weak one whose constant lies far beyond any pH: HCl is an
//   acid whose anion never takes a proton back, NaOH a base that always holds one (its Na⁺ is the
//   state's charge). So every type goes through the same balance.
// - Beyond kMaxIonicStrength the equation no longer describes real solutions; a point that
//   reaches it fails with that reason, as one whose ionic strength does not settle. Nothing here
//   throws or returns a NaN.

#include "chem/polyprotic.h"

#include <span>
#include <vector>

namespace chem {

/// Whether the pH is computed with concentrations for activities (the default) or with
/// activity coefficients by the Davies equation.
enum class ActivityModel { None, Davies };

/// The Davies equation's A for water at 25 °C, (L/mol)^½. C. W. Davies, Ion Association,
/// Butterworths, London (1962); A = 0.509 as in Stumm & Morgan, Aquatic Chemistry, 3rd ed.
/// (1996), ch. 3.
inline constexpr double kDaviesA = 0.509;
/// The highest ionic strength (mol/L) the Davies equation is used at: Stumm & Morgan (above)
/// give about 0.5 mol/L as its range; beyond, its coefficients rise without bound.
inline constexpr double kMaxIonicStrength = 0.5;
/// The largest charge an analyte's form may carry.
inline constexpr int kMaxCharge = 6;

/// log10 of the activity coefficient of an ion of `charge` at `ionicStrength` mol/L.
double daviesLogGamma(int charge, double ionicStrength);

/// A titration whose every point is solved with activities by the Davies equation.
class ActivityTitration
{
public:
    /// The titration of `analyteVolume` mL of `analyte` (no pKa: a strong acid or base) with a
    /// strong titrant of `titrantConc` mol/L. `charge` is that of the analyte's form as weighed
    /// out, its counter-ions of charge ±1 (the fully protonated form of an acid, −2 for the
    /// carbonate of Na2CO3, +1 for the ammonium of NH4Cl); 0 for a strong analyte. Refused as
    /// PolyproticTitration::make refuses, and for a charge beyond ±kMaxCharge.
    static Result<ActivityTitration> make(PolyproticAnalyte analyte, int charge,
                                          double analyteVolume, double titrantConc);

    /// The meter's pH, −log a(H⁺), after `titrantVolume` mL; fails for a volume that is not a
    /// finite number ≥ 0, an ionic strength beyond kMaxIonicStrength or one that does not settle.
    Result<double> pH(double titrantVolume) const;

    /// pH() at each of `titrantVolumes` (each point starts from the last); fails at the first
    /// volume that fails.
    Result<std::vector<double>> curve(std::span<const double> titrantVolumes) const;

    /// The ionic strength (mol/L) after `titrantVolume` mL, failing as pH() does.
    Result<double> ionicStrength(double titrantVolume) const;

    /// Veq_k = k·Va·C/Ct, in mL.
    std::vector<double> equivalenceVolumes() const { return ideal_.equivalenceVolumes(); }

private:
    struct Point
    {
        double pH;
        double ionicStrength;
    };

    explicit ActivityTitration(PolyproticTitration ideal) : ideal_(std::move(ideal)) {}
    Result<Point> solve(double titrantVolume, Point guess) const;

    PolyproticTitration ideal_; ///< the same analyte with the constants as given
    std::vector<double> pKa_;   ///< thermodynamic; far beyond any pH for a strong analyte
    int protonatedCharge_ = 0;  ///< of the state that has lost no proton
    int counterIons_ = 0;       ///< monovalent counter-ions per formula unit
};

} // namespace chem
