#pragma once
// A titration at the bench: the meter's pH as it comes, whether it has settled, and the
// readings the student keeps — each a burette volume typed with the settled pH beside it. A
// volume asked for before the pH settles waits for it; the pH is never kept while it moves. No Qt.

#include "chem/result.h"
#include "meter/settle.h"

#include <optional>
#include <vector>

namespace meter {

struct Reading
{
    double volume = 0; ///< mL of titrant added
    double pH = 7;
    bool operator==(const Reading&) const = default;
};

class LiveRun
{
public:
    explicit LiveRun(double band = 0.02, double seconds = 5.0) : detector_(band, seconds) {}

    /// The meter's pH at `time` (seconds, ascending). Returns the reading this keeps: one that
    /// waited for the pH to settle, once it has.
    std::optional<Reading> meterReading(double time, double pH);
    /// The meter's last pH and when it came; none before the first.
    std::optional<double> latestPH() const { return latest_; }
    std::optional<double> latestTime() const { return latestTime_; }
    /// Settled since the last reading was kept (or asked for with a fresh settle).
    bool settled() const { return detector_.settled(); }

    /// Keeps the settled pH with `volume` mL: kept now when the pH has settled, else it waits
    /// (none). `fresh` forgets the pH seen so far, as when the volume has only now reached the
    /// flask (a simulated meter's). Refuses a volume that is not a number, below 0, over 10 L
    /// or below the last one kept (a burette only gives), and one asked while another waits.
    chem::Result<std::optional<Reading>> keep(double volume, bool fresh = false);
    /// The pH seen so far is stale (the meter went silent or away): forgotten, so a volume
    /// waiting or asked for next waits for fresh readings to settle.
    void forgetPH()
    {
        detector_.clear();
        latest_.reset();
        latestTime_.reset();
    }
    /// A new settle rule; the pH seen so far is forgotten, the readings kept stay.
    void setSettle(double band, double seconds)
    {
        detector_ = SettleDetector(band, seconds);
        forgetPH();
    }
    /// The volume that waits for the pH to settle, if any.
    std::optional<double> waiting() const { return waiting_; }
    void cancelWaiting() { waiting_.reset(); }
    /// The next volume of a fixed step: the last kept plus `step`, or 0 before the first.
    double nextVolume(double step) const;
    /// Forgets the last kept reading; returns what it forgot.
    std::optional<Reading> undo();
    const std::vector<Reading>& kept() const { return kept_; }
    /// Takes up a run left off: its readings, in the order they were kept.
    void resume(std::vector<Reading> readings) { kept_ = std::move(readings); }

private:
    SettleDetector detector_;
    std::optional<double> latest_, latestTime_, waiting_;
    std::vector<Reading> kept_;
};

} // namespace meter
