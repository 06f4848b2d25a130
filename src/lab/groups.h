#pragma once
// Readings gathered into groups the analysis can afford, whatever their number.
//
// The derivative's groups: the readings at one volume, and readings closer together than a
// thousandth of the run's span, averaged. A thousand steps are finer than any jump needs; finer
// ones would only multiply the noise's maxima, so that the end points found would grow in
// number with the readings, and cost time in proportion. The fit's groups: those split again
// until the pH rises or falls by less than the noise across each, where the model's mean over
// a group is its value at the group's mean volume; its sum of squares over the readings is then
// the groups' (weighted by their size) plus their readings' scatter about their own line.
// On a run of ordinary spacing every group is one volume.

#include "lab/readings.h"

#include <cstddef>
#include <vector>

namespace lab {

/// Consecutive readings averaged: each group's mean volume and pH, its number of readings,
/// the sum of squares of its pH about the straight line through its readings (about their
/// mean at one volume), and where its readings begin (one more entry: the end).
struct Groups
{
    std::vector<double> x, y, count, within;
    std::vector<std::size_t> first;

    std::size_t size() const { return x.size(); }
};

/// The derivative's groups: a reading joins the group before it when at its volume or
/// closer than a thousandth of the run's span to its first reading.
Groups groupReadings(const Readings& readings);

/// The fit's groups: `coarse` (groupReadings's) split in halves until the pH change along the
/// line through each group's readings is within `noise`.
Groups fitGroups(const Readings& readings, const Groups& coarse, double noise);

/// The quadratic through a point of `g` and kHalfWidth on either side (least squares weighted
/// by their size): its slope and curvature, and the factors that turn the pH noise's variance
/// into the slope's and into the point's residual's. `g` holds at least 2·kHalfWidth + 1.
inline constexpr std::size_t kHalfWidth = 2;
struct Local
{
    double slope = 0.0;
    double secondDerivative = 0.0;
    double slopeVariance = 0.0;    ///< per unit pH variance
    double residual = 0.0;         ///< reading − the quadratic's value
    double residualVariance = 0.0; ///< per unit pH variance
};
Local localQuadratic(const Groups& g, std::size_t j);

/// The standard deviation of one reading's noise: 1.4826 × the median absolute distance of
/// the points from their local quadratics, scaled to one reading (the few on a jump, far off
/// any quadratic, do not move the median); at least what a meter's last digit (0.001 pH)
/// hides. `local` holds localQuadratic of every point.
double readingNoise(const std::vector<Local>& local);
/// The same from the groups themselves (the floor alone with fewer than five).
double readingNoise(const Groups& g);

} // namespace lab
