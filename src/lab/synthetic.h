#pragma once
// Readings made from the model: what a pH meter with normal noise would show, and what a real
// bench gives (activities, an electrode's offset and slope, a burette read by eye). They are the
// worked examples' data and the reference the methods are checked against, so a seed gives the
// same readings with every compiler and standard library.

#include "lab/readings.h"
#include "lab/setup.h"

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace lab {

/// Volumes (mL) as a careful student takes them, from 0 to `last`: 1 mL steps, 0.5 mL within
/// 20 % of an expected end point, 0.1 mL within 5 % of it; each a multiple of 0.01 mL.
std::vector<double> labVolumes(std::span<const double> expectedEndPoints, double last);

/// Standard normal numbers: std::mt19937 and the Box–Muller transform, both fixed by the
/// standard (std::normal_distribution's algorithm is each library's own).
class NormalNoise
{
public:
    explicit NormalNoise(std::uint32_t seed) : engine_(seed) {}
    double next();
    /// Uniform in (0, 1], from the same engine.
    double uniform() { return (static_cast<double>(engine_()) + 1.0) / 4294967296.0; }

private:
    std::mt19937 engine_;
    double spare_ = 0.0;
    bool haveSpare_ = false;
};

/// The model's pH at each of `volumes` (ascending) plus normal noise of standard deviation `noise`
/// pH (kept within the readable range), as readings; fails where the model does.
chem::Result<Readings> simulateReadings(const Setup& setup, std::span<const double> volumes,
                                        double noise, std::uint32_t seed);

/// How a student spaces the readings: 0.1 mL apart within 1.5 mL of each expected end point and
/// 0.5 mL elsewhere, or 0.5 mL apart throughout.
enum class VolumePlan { Dense, Coarse };

/// The volumes (mL) a student aims at, from 0 to `last`, each a multiple of 0.1 mL.
std::vector<double> plannedVolumes(VolumePlan plan, std::span<const double> expectedEndPoints,
                                   double last);

/// What makes a real bench's readings differ from the model's curve; the defaults are a school
/// bench's: a glass electrode calibrated to within 0.1 pH with a slope of 97 to 100 % of Nernst's,
/// a meter showing 0.01 pH, a 50 mL burette read by eye to 0.05 mL.
struct BenchErrors
{
    double largestOffset = 0.1;        ///< pH: the electrode's offset, uniform within ±this
    double lowestSlope = 0.97;         ///< the electrode's slope, uniform from this to 1
    double noise = 0.01;               ///< pH: standard deviation of each reading
    double pHResolution = 0.01;        ///< pH: the meter's last digit
    double volumeResolution = 0.05;    ///< mL: what the volumes are typed to
    double volumeReadingError = 0.015; ///< mL: standard error of each burette reading
    double zeroReadingError = 0.01;    ///< mL: standard error of the first, common to all
};

/// Readings of `truth` (whose activity model the meter sees, Davies for a real one) as a bench
/// gives them, the student aiming at `planned` volumes (ascending, 0.1 mL apart at least): the
/// burette stops anywhere within half a typed step of each mark; the volume typed is what the
/// student reads there, off by each reading's error and the zero reading's, rounded to the
/// typed step; the meter shows 7 + slope·(pH − 7) + offset plus noise, rounded to its digit.
/// Sorted by volume; fails where the model does.
chem::Result<Readings> benchReadings(const Setup& truth, std::span<const double> planned,
                                     const BenchErrors& errors, std::uint32_t seed);

} // namespace lab
