#pragma once
// When a reading is ready to keep: after titrant is added the pH drifts while the electrode
// settles, and a student keeps the reading once it stops moving. No Qt.

#include <deque>
#include <optional>
#include <utility>

namespace meter {

/// Settled when the pH has varied by less than `band` over the last `seconds`, readings
/// covering all of that time.
class SettleDetector
{
public:
    explicit SettleDetector(double band = 0.02, double seconds = 5.0)
        : band_(band), seconds_(seconds)
    {}

    /// A reading at `time` (seconds, ascending); one going back in time starts afresh.
    void add(double time, double pH);
    /// Forgets the readings, as after titrant is added.
    void clear() { window_.clear(); }
    bool settled() const;
    /// The mean pH over the settled time; none while it moves.
    std::optional<double> settledPH() const;

private:
    double band_, seconds_;
    std::deque<std::pair<double, double>> window_; ///< (time, pH), the first at or before the span
};

} // namespace meter
