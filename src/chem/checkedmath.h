#pragma once
// C++ does not trap floating-point faults, so the pH routines check each step themselves and
// jump to their failure exit through this exception. It never leaves the chem library.

#include <cmath>

namespace chem::detail {

struct ArithmeticFailure
{};

/// The value itself, or a failure when an overflow or an invalid operation made it non-finite.
inline double finite(double x)
{
    if (!std::isfinite(x))
        throw ArithmeticFailure{};
    return x;
}

inline double divide(double numerator, double denominator)
{
    if (denominator == 0.0)
        throw ArithmeticFailure{};
    return finite(numerator / denominator);
}

/// pH of a hydrogen-ion concentration, -ln(h)/ln(10); a non-positive h fails as its logarithm.
inline double pHOf(double h)
{
    if (!(h > 0.0))
        throw ArithmeticFailure{};
    return finite(-std::log(h) / std::log(10.0));
}

} // namespace chem::detail
