#pragma once
// End points from measured readings.
//
// Derivative: the readings at one volume are averaged, then a quadratic is fitted by least
// squares to each reading and its two neighbours on either side (a Savitzky–Golay filter that
// takes uneven steps); its slope is the smoothed dpH/dV and twice its curvature d²pH/dV². Each
// interior maximum of the slope that stands out of the noise (its prominence over the lowest
// slope between it and a higher peak is both 8 standard deviations of the slope and 5 % of the
// highest peak) is an end point, placed at the vertex of the parabola through the top three
// slopes; where the second derivative falls through zero next to it is the check. The noise is
// read from the data: the median distance of the readings from their local quadratics.
//
// Gran: in the corrected form, exact (without activities) at every volume:
//   strong analyte: (Va + V)·([H⁺] − [OH⁻]) = ±Ct·(V − Ve), a straight line on both sides;
//   weak acid:      V'·[H⁺]  = Ka·(Ve − V'),  V' = V + ([H⁺] − [OH⁻])·(Va + V)/Ct, before;
//   weak base:      V'·[OH⁻] ∝ (Ve − V'),     V' = V − ([H⁺] − [OH⁻])·(Va + V)/Ct, before.
// Of the readings from 10 to 95 % of the derivative's end point (before), or from 105 to 200 %
// (after), the longest run next to the end point on which the function is straight within the
// noise (a quarter of them, 5 at least; a bend is the model failing, not the chemistry) is fitted
// by least squares, weighted by the error a pH reading's noise gives each value (in proportion to
// (Va + V)·([H⁺] + [OH⁻]) for a strong analyte, to the value itself for a weak one); the
// line's x-intercept is the end point, its 95 % interval Fieller's from the regression with
// Student's t for n − 2 degrees of freedom, widened by what bends the function too little to show
// in the noise but moves the line's far end: the electrode's slope and the ions' activities.

#include "lab/readings.h"
#include "lab/setup.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace lab {

enum class EndPointMethod { Derivative, Gran };
/// The side of the end point a Gran line is drawn on.
enum class GranSide { Before, After };

/// The middle 95 % of an end point spread evenly over a step between readings: this share of
/// the step's width on either side.
inline constexpr double kStepShare95 = 0.475;

/// One end point found in the readings.
struct EndPoint
{
    EndPointMethod method = EndPointMethod::Derivative;
    int index = 1;                ///< which equivalence point: 1 for the first
    double volume = 0.0;          ///< mL
    std::array<double, 2> ci95{}; ///< mL: the 95 % interval, low and high
    /// What the interval is made of, each a 95 % half-width in mL: where in the step between
    /// readings the end point lies, the burette's two readings, the readings' scatter. The
    /// interval's half-width is their root sum of squares.
    struct Budget
    {
        double spacing = 0.0, volumeReading = 0.0, scatter = 0.0;
        /// Gran only: how far its line moves when the readings are taken with an electrode
        /// slope of 97 % of Nernst's, and with the ions' activities of the Davies equation
        /// removed (the two added): what bends Gran's function without showing
        /// in the scatter.
        double electrode = 0.0;
        double total() const;
    } budget;
    double analyteConcentration = 0.0; ///< mol/L it implies: Ct·volume/(index·Va), or 0

    /// Derivative only: the volume where the second derivative crosses zero near the maximum,
    /// and whether it disagrees (no crossing, or one outside ci95).
    std::optional<double> crossingVolume;
    bool crossingDisagrees = false;
    /// Derivative only: the width of the step between readings that holds it, mL.
    double step = 0.0;
    /// Where nothing can place the jump within its step (the model misses the readings), the
    /// step's width counts in full in the spacing, and the interval widens with it.
    void countWholeStep();

    /// Gran only: the side of its line, how many readings it holds and the volumes of its
    /// first and last (mL).
    GranSide side = GranSide::Before;
    int linePoints = 0;
    std::array<double, 2> lineVolumes{};
};

/// The maxima of the smoothed first derivative, ascending; fails with fewer than 5 distinct
/// volumes or when no jump stands out of the noise.
///
/// Its interval says where the equivalence point lies with 95 % confidence as far as this
/// method can tell: the method is run again 200 times on the nominal model's curve, read at the
/// same volumes with the noise read from the data, the model's end point moved through the step
/// between readings that holds the maximum (where in that step a narrow jump lies is what the
/// readings cannot say), and the interval's half-width is the 95th percentile of its errors.
/// Without a model that runs the readings' way, it is the middle 95 % of that step.
chem::Result<std::vector<EndPoint>> derivativeEndPoints(const Readings& readings,
                                                        const Setup& setup);

/// Why Gran's line is not drawn where its function bends all along.
inline constexpr const char* kNotStraight =
    "Gran's function is not straight within the noise on a quarter of its readings";

/// Gran's line on `side` of the end point near `estimate` (mL, e.g. the derivative's), through
/// the longest run of the readings in its range next to the end point that is straight within
/// their noise, a quarter of them at least (see straightRun). Fails where the method does not apply
/// (after the end point of a weak analyte, an analyte with several protons), with fewer than 3
/// readings in the range, with kNotStraight, or a slope that does not differ from 0.
chem::Result<EndPoint> granEndPoint(const Readings& readings, const Setup& setup, double estimate,
                                    GranSide side);

/// Every end point the readings show: the derivative's, then Gran's lines where they apply
/// around the first; why a line that applies cannot be drawn goes to `declined`, if given,
/// after "before: " or "after: ". Fails as derivativeEndPoints.
chem::Result<std::vector<EndPoint>> findEndPoints(const Readings& readings, const Setup& setup,
                                                  std::vector<std::string>* declined = nullptr);

} // namespace lab
