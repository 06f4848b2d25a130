#include "meter/settle.h"

#include <algorithm>
#include <cmath>

namespace meter {

void SettleDetector::add(double time, double pH)
{
    if (!std::isfinite(time) || !std::isfinite(pH))
        return;
    if (!window_.empty() && time < window_.back().first)
        window_.clear();
    window_.emplace_back(time, pH);
    // Keep one reading at or before the span's start, to know the readings cover it.
    while (window_.size() > 1 && window_[1].first <= time - seconds_)
        window_.pop_front();
}

bool SettleDetector::settled() const
{
    if (window_.empty() || window_.front().first > window_.back().first - seconds_)
        return false;
    const auto [low, high] =
        std::minmax_element(window_.begin(), window_.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; });
    return high->second - low->second < band_;
}

std::optional<double> SettleDetector::settledPH() const
{
    if (!settled())
        return std::nullopt;
    double sum = 0.0;
    for (const auto& [time, pH] : window_)
        sum += pH;
    return sum / static_cast<double>(window_.size());
}

} // namespace meter
