#pragma once
// A pH meter on a simulated bench, for practice without a meter and for tests: the flask holds
// the titration `truth` describes, the burette is read by eye (each volume typed is off by the
// reading's error), and the electrode shows the pH with its offset, its slope, a lag after
// titrant is added and a flicker in the last digit — the bench lab::benchReadings models, in
// time. No Qt.

#include "lab/setup.h"
#include "lab/synthetic.h"

#include <cstdint>
#include <optional>

namespace meter {

/// How the electrode moves, beside the bench's errors.
struct ElectrodeResponse
{
    double seconds = 1.0;   ///< time constant of the approach to a new pH
    double flicker = 0.002; ///< pH: standard deviation of each shown reading about its value
};

class SimulatedMeter
{
public:
    SimulatedMeter(lab::Setup truth, const lab::BenchErrors& errors, std::uint32_t seed,
                   ElectrodeResponse response = {});

    /// The burette reads `volume` mL from `time` on (seconds); the flask's pH starts to move.
    /// Fails where the model has no pH there (the flask keeps its pH).
    chem::Result<double> add(double volume, double time);
    /// What the meter shows at `time`: rounded to its digit, within 0 to 14.
    double read(double time);
    /// The volume the burette reads, none before the first add().
    std::optional<double> volume() const { return volume_; }

private:
    /// The electrode's reading of the flask's pH.
    double shown(double pH) const { return 7.0 + slope_ * (pH - 7.0) + offset_; }

    std::optional<report::TitrationModel> model_;
    lab::BenchErrors errors_;
    ElectrodeResponse response_;
    lab::NormalNoise random_;
    double offset_ = 0, slope_ = 1, zero_ = 0;
    double from_ = 7, to_ = 7, since_ = 0; ///< the electrode moves from `from_` to `to_`
    std::optional<double> volume_;
};

} // namespace meter
