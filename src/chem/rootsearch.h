#pragma once

namespace chem {

/// A positive root of x³ + a·x² + b·x + c = 0 by geometric bracketing from below: starting at
/// 1e-16, eleven passes climb by the factors 2, 2^(1/2), ... 2^(1/1024) until the cubic turns
/// positive and step back once. For a cubic that is negative below its one positive root and
/// positive above it, the result lies below the root by less than a factor 2^(1/1024).
/// At most 638 evaluations. On an overflow returns 0 with CalcErrorFlag set.
double ResolverCubica(double a, double b, double c);

} // namespace chem
