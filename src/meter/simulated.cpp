#include "meter/simulated.h"

#include <algorithm>
#include <cmath>

namespace meter {

SimulatedMeter::SimulatedMeter(lab::Setup truth, const lab::BenchErrors& errors, std::uint32_t seed,
                               ElectrodeResponse response)
    : model_(truth.model()), errors_(errors), response_(response), random_(seed)
{
    // Drawn in the order benchReadings draws them, so a seed means the same electrode.
    offset_ = errors.largestOffset * (2.0 * random_.uniform() - 1.0);
    slope_ = 1.0 - (1.0 - errors.lowestSlope) * random_.uniform();
    zero_ = errors.zeroReadingError * random_.next();
    const double start = model_ ? model_->pH(0).value : 7.0;
    from_ = to_ = shown(model_ && !model_->pH(0).failed ? start : 7.0);
}

chem::Result<double> SimulatedMeter::add(double volume, double time)
{
    using R = chem::Result<double>;
    if (!model_)
        return R::failed("the titration has no model");
    // The student reads the burette off by the reading's error, and the zero reading's.
    const double delivered =
        std::max(0.0, volume - zero_ - errors_.volumeReadingError * random_.next());
    const report::PHValue pH = model_->pH(delivered);
    if (pH.failed)
        return R::failed("no pH after " + std::to_string(volume) + " mL");
    from_ = read(time);
    to_ = shown(pH.value) + errors_.noise * random_.next();
    since_ = time;
    volume_ = volume;
    return R::success(pH.value);
}

double SimulatedMeter::read(double time)
{
    const double elapsed = std::max(0.0, time - since_);
    const double lag = response_.seconds > 0 ? std::exp(-elapsed / response_.seconds) : 0.0;
    double pH = to_ + (from_ - to_) * lag + response_.flicker * random_.next();
    if (errors_.pHResolution > 0)
        pH = std::round(pH / errors_.pHResolution) * errors_.pHResolution;
    return std::clamp(pH, 0.0, 14.0);
}

} // namespace meter
