#include "meter/liverun.h"

#include "lab/readings.h"

#include <cmath>
#include <sstream>

namespace meter {

namespace {

std::string mL(double volume)
{
    std::ostringstream text;
    text << volume << " mL";
    return text.str();
}

} // namespace

std::optional<Reading> LiveRun::meterReading(double time, double pH)
{
    if (!std::isfinite(time) || !std::isfinite(pH))
        return std::nullopt;
    latest_ = pH;
    latestTime_ = time;
    detector_.add(time, pH);
    if (!waiting_ || !detector_.settled())
        return std::nullopt;
    const Reading reading{*waiting_, *detector_.settledPH()};
    waiting_.reset();
    kept_.push_back(reading);
    detector_.clear(); // the next reading is of titrant not yet added: it settles anew
    return reading;
}

chem::Result<std::optional<Reading>> LiveRun::keep(double volume, bool fresh)
{
    using R = chem::Result<std::optional<Reading>>;
    if (!std::isfinite(volume))
        return R::failed("the volume is not a number");
    if (volume < 0)
        return R::failed("the volume " + mL(volume) + " is below 0");
    if (volume > lab::kMaxReadingVolume)
        return R::failed("the volume " + mL(volume) + " is over 10 L");
    if (!kept_.empty() && volume < kept_.back().volume)
        return R::failed("the volume " + mL(volume) + " is below the last one kept, " +
                         mL(kept_.back().volume));
    if (waiting_)
        return R::failed("the reading at " + mL(*waiting_) + " still waits for the pH to settle");
    if (fresh)
        detector_.clear();
    if (!detector_.settled()) {
        waiting_ = volume;
        return R::success(std::nullopt);
    }
    const Reading reading{volume, *detector_.settledPH()};
    kept_.push_back(reading);
    detector_.clear();
    return R::success(reading);
}

double LiveRun::nextVolume(double step) const
{
    return kept_.empty() ? 0.0 : kept_.back().volume + step;
}

std::optional<Reading> LiveRun::undo()
{
    if (kept_.empty())
        return std::nullopt;
    const Reading forgotten = kept_.back();
    kept_.pop_back();
    return forgotten;
}

} // namespace meter
