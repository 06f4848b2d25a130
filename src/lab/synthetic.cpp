#include "lab/synthetic.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lab {

std::vector<double> labVolumes(std::span<const double> expectedEndPoints, double last)
{
    // In hundredths of a mL, so that the volumes do not gather rounding errors.
    const auto stepAt = [&](long hundredths) {
        long step = 100;
        for (const double e : expectedEndPoints) {
            const double off = std::abs(hundredths / 100.0 - e);
            step = std::min(step, off < 0.05 * e ? 10L : off < 0.2 * e ? 50L : 100L);
        }
        return step;
    };
    std::vector<double> volumes;
    const long end = std::lround(std::clamp(last, 0.0, 1e6) * 100.0);
    for (long v = 0; v <= end; v += stepAt(v))
        volumes.push_back(v / 100.0);
    return volumes;
}

double NormalNoise::next()
{
    if (haveSpare_) {
        haveSpare_ = false;
        return spare_;
    }
    // Uniform in (0, 1]: the logarithm never sees 0.
    const auto uniform = [&] { return (static_cast<double>(engine_()) + 1.0) / 4294967296.0; };
    const double radius = std::sqrt(-2.0 * std::log(uniform()));
    const double angle = 2.0 * std::numbers::pi * uniform();
    spare_ = radius * std::sin(angle);
    haveSpare_ = true;
    return radius * std::cos(angle);
}

chem::Result<Readings> simulateReadings(const Setup& setup, std::span<const double> volumes,
                                        double noise, std::uint32_t seed)
{
    chem::Result<std::vector<double>> pH = modelCurve(setup, volumes);
    if (!pH)
        return chem::Result<Readings>::failed(pH.failure);
    NormalNoise normal(seed);
    Readings r;
    r.volume.assign(volumes.begin(), volumes.end());
    r.pH = std::move(*pH.value);
    for (double& p : r.pH)
        p = std::clamp(p + noise * normal.next(), kMinReadingPH, kMaxReadingPH);
    return chem::Result<Readings>::success(std::move(r));
}

} // namespace lab
