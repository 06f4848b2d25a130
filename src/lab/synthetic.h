#pragma once
// Readings made from the model: what a pH meter with normal noise would show. They are the
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

private:
    std::mt19937 engine_;
    double spare_ = 0.0;
    bool haveSpare_ = false;
};

/// The model's pH at each of `volumes` (ascending) plus normal noise of standard deviation `noise`
/// pH (kept within the readable range), as readings; fails where the model does.
chem::Result<Readings> simulateReadings(const Setup& setup, std::span<const double> volumes,
                                        double noise, std::uint32_t seed);

} // namespace lab
