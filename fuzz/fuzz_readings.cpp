// Any bytes as a file of measured readings, then the end points and the fit for a weak acid
// over them: the reader accepts or refuses with a line, the readings it keeps are sorted and in
// range, and nothing downstream returns a non-number. A broken invariant aborts, saying what.
#include "lab/endpoints.h"
#include "lab/fit.h"
#include "lab/readings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant violated: %s\n", what);
        std::abort();
    }
}

bool isNumber(double x)
{
    return std::isfinite(x);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const chem::Result<lab::Readings> read = lab::readReadings(text);
    check(read.value.has_value() != !read.failure.empty(), "a value or a reason, never both");
    if (!read)
        return 0;
    const lab::Readings& r = *read.value;
    check(r.size() >= lab::kMinReadings && r.volume.size() == r.pH.size(), "enough readings");
    check(std::is_sorted(r.volume.begin(), r.volume.end()), "readings sorted by volume");
    for (std::size_t i = 0; i < r.size(); ++i)
        check(isNumber(r.volume[i]) && r.volume[i] >= 0 && r.pH[i] >= lab::kMinReadingPH &&
                  r.pH[i] <= lab::kMaxReadingPH,
              "a reading in range");

    // 25 mL of 0.1 mol/L acetic acid with 0.1 mol/L base: whatever the readings say.
    lab::Setup setup;
    setup.type = chem::TitrationType::WeakAcidStrongBase;
    setup.inputs = {0.1, 0.1, 25, 1.8e-5};
    if (const auto ends = lab::findEndPoints(r, setup); ends)
        for (const lab::EndPoint& e : *ends.value)
            check(isNumber(e.volume) && isNumber(e.ci95[0]) && isNumber(e.ci95[1]) &&
                      e.ci95[0] <= e.volume && e.volume <= e.ci95[1] &&
                      isNumber(e.analyteConcentration),
                  "an end point is a number within its interval");
    if (const auto fit = lab::fitReadings(r, setup); fit)
        check(isNumber(fit.value->analyteConcentration) && fit.value->analyteConcentration > 0 &&
                  isNumber(fit.value->analyteConcentrationSE) && isNumber(fit.value->rmsResidual),
              "a fit is numbers");
    return 0;
}
