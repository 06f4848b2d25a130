#pragma once
// What the chart draws besides its axes and labels: series of points computed before drawing.
// The model's curve is one series (sampled for a geometry, with the colour of every segment);
// measured readings, kept curves, a fitted curve and derivatives are others, each drawn in the
// style of its role. Nothing here knows the surface.

#include "indicators/colour.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace chart {

using indicators::Colour;

enum class SeriesRole {
    Model,             ///< the calculated curve
    Readings,          ///< measured (volume, pH) pairs
    Kept,              ///< a curve kept for comparison
    Fitted,            ///< the model with fitted values
    Derivative,        ///< dpH/dV of the model
    ReadingsDerivative ///< dpH/dV of the readings
};

enum class SeriesAxis {
    PH,        ///< the left axis, pH −1 to 15
    Derivative ///< the right axis, dpH/dV in 1/mL, scaled to the derivatives drawn
};

struct SeriesStyle
{
    Colour colour = 0;
    /// A line's width as a multiple of the model curve's pen; a marker's diameter as a
    /// multiple of the equivalence point's dot.
    double width = 1;
    bool dashed = false;
    bool markersOnly = false;
};

/// Points in (volume in mL, value on the series' axis). A line is interrupted, not clamped,
/// where a point lies off the plot or is not a number.
struct Series
{
    std::vector<std::pair<double, double>> points;
    SeriesRole role = SeriesRole::Model;
    SeriesStyle style;
    SeriesAxis axis = SeriesAxis::PH;
    std::string legend; ///< "" keeps the series out of the legend

    /// Of the model's curve as drawChart samples it, and used for that curve only (a series
    /// handed in is drawn from its points and style): the colour of the segment that ends at
    /// each point (green within 1 % of an equivalence volume); the x on the surface each point
    /// was sampled at, so that the curve keeps exactly the columns it was sampled on; and
    /// whether a pH computation failed after the last point, which leaves the equivalence
    /// points unmarked.
    std::vector<Colour> segmentColours;
    std::vector<double> sampledX;
    bool cutShort = false;
};

/// The style of `role`; kept curves take the `index`-th colour of a palette readable on white,
/// apart from the model's red and green and told apart with the common colour-vision
/// deficiencies (it repeats after six).
SeriesStyle seriesStyle(SeriesRole role, std::size_t index = 0);

/// A series of `role` in the role's style, on the right axis for a derivative.
Series makeSeries(SeriesRole role, std::vector<std::pair<double, double>> points,
                  std::string legend = {}, std::size_t index = 0);

/// dpH/dV of a curve sampled at ascending volumes (the model's series, say), by differences
/// over each point's neighbours that are exact for a parabola however uneven the steps;
/// points that are not numbers or repeat a volume are skipped. Fewer than two usable points
/// give no points. The series is of role Derivative, legend "dpH/dV".
Series derivativeSeries(const std::vector<std::pair<double, double>>& curve);

} // namespace chart
