#pragma once
// The model fitted to the readings by least squares in pH.
//
// The parameters are log10 of the analyte's concentration and, on request, its pKa values
// (of the conjugate acid for a base), so every step is relative and no concentration goes
// negative. Levenberg–Marquardt with a Jacobian by forward differences; a step that leaves the
// accepted ranges (a concentration up to chem::kMaxConcentration, pKa values ascending within
// the constant box's range) or that the model cannot compute is refused like a step that does
// not lower the sum of squares. It starts from the nominal concentration and from the one the
// derivative's first end point implies, and keeps the better end. The model is the program's:
// report::TitrationModel for a strong analyte, and for a weak one the same chemistry in
// chem::PolyproticTitration's form (which TitrationModel uses for several protons), since the
// one-proton routines find their root in steps of about 3e-4 pH that a Jacobian by
// differences cannot follow. Every analyte the program knows can be fitted.

#include "lab/readings.h"
#include "lab/setup.h"

#include <optional>
#include <span>
#include <vector>

namespace lab {

/// The most iterations a fit takes before it gives up.
inline constexpr int kMaxFitIterations = 100;
/// A fit whose rms residual is above this (pH) has not found the titration the readings show.
inline constexpr double kMaxFitRmsResidual = 1.0;

/// A converged fit. Standard errors come from JᵀJ at the minimum and the residual variance.
struct Fit
{
    double analyteConcentration = 0.0; ///< mol/L
    double analyteConcentrationSE = 0.0;
    std::vector<double> pKa;   ///< ascending; empty unless fitted
    std::vector<double> pKaSE; ///< one for each pKa
    /// Whether the readings determine each pKa: they reach within kBufferReach of it, and its
    /// standard error, with the residuals' scatter taken as at least a meter's (kMeterScatter),
    /// is at most kUndeterminedPKaSE.
    std::vector<bool> pKaDetermined;
    /// The electrode's offset (pH read − pH of the model) and its standard error, when fitted.
    std::optional<double> offset, offsetSE;
    double rmsResidual = 0.0; ///< pH
    int iterations = 0;
    /// The setup with the fitted values: what "Use fitted values" puts into the boxes.
    Setup fitted;

    /// The fitted model's pH at `volumes` (mL), as the meter reads it: with its offset.
    chem::Result<std::vector<double>> curve(std::span<const double> volumes) const
    {
        chem::Result<std::vector<double>> pH = modelCurve(fitted, volumes);
        if (pH && offset)
            for (double& x : *pH.value)
                x += *offset;
        return pH;
    }
};

/// Fits `setup`'s model to `readings`, varying the analyte's concentration and, when `fitPKa`
/// and the analyte is weak, its pKa values, and when `fitOffset` an electrode offset (within
/// ±2 pH) added to every reading of the model. Fails with "the fit did not converge" and why:
/// fewer readings than the parameters plus two, no step that lowers the sum of squares left before
/// kMaxFitIterations, parameters the readings do not determine (JᵀJ singular), or an rms
/// residual above kMaxFitRmsResidual.
chem::Result<Fit> fitReadings(const Readings& readings, const Setup& setup, bool fitPKa = false,
                              bool fitOffset = false);

/// A fitted pKa whose standard error is above this is not determined by the readings: they do
/// not reach the buffer region where it shows.
inline constexpr double kUndeterminedPKaSE = 0.3;
/// The scatter below which a meter's readings are never taken to be (pH): a reading to 0.01 pH
/// is itself uncertain by that much. Readings computed without noise fit to nothing, which
/// must not make a pKa they hardly touch look determined.
inline constexpr double kMeterScatter = 0.005;
/// How near a pKa (pH) the readings must come to show it: a step's buffer region is about its
/// pKa ± 1, and its middle half is where the pH follows the pKa closely.
inline constexpr double kBufferReach = 0.5;

} // namespace lab
