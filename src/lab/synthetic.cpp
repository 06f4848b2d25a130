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

std::vector<double> plannedVolumes(VolumePlan plan, std::span<const double> expectedEndPoints,
                                   double last)
{
    // In tenths of a mL, so that the volumes do not gather rounding errors.
    const auto stepAt = [&](long tenths) {
        if (plan == VolumePlan::Coarse)
            return 5L;
        for (const double e : expectedEndPoints)
            if (std::abs(tenths / 10.0 - e) < 1.5 + 1e-9)
                return 1L;
        return 5L;
    };
    std::vector<double> volumes;
    const long end = std::lround(std::clamp(last, 0.0, 1e6) * 10.0);
    for (long v = 0; v <= end; v += stepAt(v))
        volumes.push_back(v / 10.0);
    return volumes;
}

chem::Result<Readings> benchReadings(const Setup& truth, std::span<const double> planned,
                                     const BenchErrors& errors, std::uint32_t seed)
{
    NormalNoise random(seed);
    const auto within = [&](double half) { return half * (2.0 * random.uniform() - 1.0); };
    const double offset = within(errors.largestOffset);
    const double slope = 1.0 - (1.0 - errors.lowestSlope) * random.uniform();
    const double zero = errors.zeroReadingError * random.next();
    const auto rounded = [](double x, double step) {
        return step > 0.0 ? std::round(x / step) * step : x;
    };
    std::vector<double> delivered, typed;
    for (const double mark : planned) {
        const double v = std::max(0.0, mark + within(errors.volumeResolution / 2));
        const double read = v + zero + errors.volumeReadingError * random.next();
        delivered.push_back(v);
        typed.push_back(std::max(0.0, rounded(read, errors.volumeResolution)));
    }
    chem::Result<std::vector<double>> pH = modelCurve(truth, delivered);
    if (!pH)
        return chem::Result<Readings>::failed(pH.failure);
    std::vector<std::pair<double, double>> readings;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const double shown =
            7.0 + slope * ((*pH.value)[i] - 7.0) + offset + errors.noise * random.next();
        readings.emplace_back(typed[i], std::clamp(rounded(shown, errors.pHResolution),
                                                   kMinReadingPH, kMaxReadingPH));
    }
    // A misread mark may land before the one typed last: the file is sorted, as the reader's.
    std::stable_sort(readings.begin(), readings.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    Readings r;
    for (const auto& [volume, p] : readings) {
        r.volume.push_back(volume);
        r.pH.push_back(p);
    }
    return chem::Result<Readings>::success(std::move(r));
}

} // namespace lab
