#pragma once
// The few statistics the end points need: Student's t quantile, a weighted straight line with
// its covariance, the interval of the line's x-intercept (Fieller's theorem), and how far from
// one end points stay straight within the noise.

#include "chem/result.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <utility>

namespace lab {

/// The p quantile of Student's t distribution with `df` ≥ 1 degrees of freedom (p in 0.5..1).
double studentTQuantile(double p, int df);

/// A least-squares line y = intercept + slope·x with the covariance of its coefficients
/// (from the residual variance, so the weights need only be relative).
struct Line
{
    double intercept = 0.0;
    double slope = 0.0;
    double varIntercept = 0.0;
    double varSlope = 0.0;
    double covariance = 0.0;
    int degreesOfFreedom = 0; ///< points − 2

    /// −intercept/slope.
    double xIntercept() const { return -intercept / slope; }
};

/// The weighted least-squares line through (x, y) with weights ∝ 1/variance; fails with fewer
/// than 3 points or all x equal.
chem::Result<Line> fitLine(std::span<const double> x, std::span<const double> y,
                           std::span<const double> weight);

/// The confidence interval of the x-intercept at the t value `t` (Fieller's theorem); none when
/// the slope does not differ from 0 at that level, for then the interval is unbounded.
std::optional<std::array<double, 2>> xInterceptInterval(const Line& line, double t);

/// The longest run [first, last) of consecutive points that holds the last point (`fromEnd`)
/// or the first, at least `fewest`, and is straight within the noise: the curvature of the
/// least-squares quadratic through it, each point weighted by 1/(noise·sd)², is within 3 of
/// its standard errors. The run's far edge may lie at every point up to 48 points, at 16 places
/// spread through them beyond. None when no run is straight.
std::optional<std::pair<std::size_t, std::size_t>>
straightRun(std::span<const double> x, std::span<const double> y, std::span<const double> sd,
            double noise, std::size_t fewest, bool fromEnd);

/// The standard deviation of the readings' scatter about a smooth curve: each reading against
/// the line through its neighbours, the median deviation scaled to a normal one, so that the
/// few readings on a jump do not count. 0 for fewer than three distinct volumes.
double readingsScatter(std::span<const double> x, std::span<const double> y);

} // namespace lab
