#pragma once
// The measured-data layer: what a student's own readings say about a titration.
//
// - readings.h reads a text file of volume and pH pairs (sorted by volume, duplicates kept).
// - endpoints.h finds the end points in the readings: the maximum of the smoothed first
//   derivative (with the second derivative's zero crossing as a check) for each jump the data
//   show, and Gran's line in its corrected form where it applies; each with a 95 % interval and
//   the analyte concentration it implies.
// - fit.h fits the model's pH to the readings, varying the analyte's concentration and, on
//   request, its pKa values.
// - synthetic.h makes readings from the model with reproducible noise, ideal or as a real bench
//   gives them: sample data and the reference the methods are checked against.
// - coverage.h measures how often the intervals hold the truth on a real bench's readings.
// Everything runs on values: Setup below says which titration the readings are of. Nothing here
// shows anything or throws; a refusal comes back in a chem::Result with its reason. Above chem
// and report, below the chart and the window; no Qt.
//
// Every pH comes from report::TitrationModel with its failure beside it, so the end points and a
// fit may run on another thread while the window computes curves.

#include "report/model.h"

#include <optional>
#include <span>
#include <vector>

namespace lab {

/// A burette reading's standard uncertainty (mL) unless told otherwise: a 50 mL burette read to
/// its 0.1 mL marks, the last digit estimated.
inline constexpr double kVolumeUncertainty = 0.02;

/// The titration the readings were taken from, as the window's boxes give it. The type, the
/// titrant's concentration and the analyte's volume are taken as exact; the analyte's
/// concentration and constants are the nominal values the fit starts from and the end points
/// are numbered against.
struct Setup
{
    chem::TitrationType type = chem::TitrationType::WeakAcidStrongBase;
    chem::TitrationInputs inputs;                      ///< mol/L and mL; Ka or Kb when weak
    std::optional<report::AnalyteConstants> constants; ///< for an analyte given by its pKa
    /// With Davies, the model has activities: the readings are −log a(H⁺) and a fitted pKa is
    /// thermodynamic.
    chem::ActivityModel activity = chem::ActivityModel::None;
    /// The standard uncertainty of each burette reading, mL; a volume added is the difference
    /// of two.
    double volumeUncertainty = kVolumeUncertainty;

    /// The nominal model; none when the inputs do not make one.
    std::optional<report::TitrationModel> model() const
    {
        return report::TitrationModel::make(type, inputs, constants, activity);
    }
};

/// The pH of `setup`'s model after each of `volumes` (mL); fails if the model cannot be made or
/// any pH cannot be computed.
chem::Result<std::vector<double>> modelCurve(const Setup& setup, std::span<const double> volumes);

} // namespace lab
