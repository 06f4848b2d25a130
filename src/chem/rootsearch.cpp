#include "chem/rootsearch.h"

#include "chem/calcerror.h"
#include "chem/checkedmath.h"

#include <cmath>

namespace chem {

double ResolverCubica(double a, double b, double c)
{
    constexpr int kPasses = 11;
    constexpr double kStepsPerPass = 58.0;

    CalcErrorFlag = 0;
    try {
        double x = 1.0E-16;
        double factor = 2.0;
        for (int pass = 1; pass <= kPasses; ++pass) {
            // The counter is a double, as the step count of the original search was.
            for (double counter = 1.0; counter <= kStepsPerPass; counter += 1.0) {
                // Summed left to right; an overflow anywhere leaves f non-finite.
                const double f = detail::finite(x * a * x + x * x * x + x * b + c);
                if (f < 0.0)
                    x = detail::finite(x * factor);
                if (f > 0.0) {
                    x = x / factor;
                    break;
                }
            }
            factor = std::sqrt(factor);
        }
        return x;
    } catch (const detail::ArithmeticFailure&) {
        CalcErrorFlag = 1;
        return 0.0;
    }
}

} // namespace chem
