#pragma once
// A live run's bookkeeping, without widgets: the meter's pH and the volumes typed go to the run
// (meter::LiveRun), and each reading it keeps is written to the autosave file and handed to the
// system before the document — and so the chart — gets it. A file that cannot be written never
// stops the run: the reading still reaches the document, and the failure is told.

#include "meter/liverun.h"
#include "meter/runlog.h"
#include "session/document.h"

#include <filesystem>
#include <optional>
#include <string>

namespace app {

class LiveBench
{
public:
    /// The run's readings go to `document` under the legend `name`.
    LiveBench(session::Document& document, std::string name, double band, double seconds);

    /// A new run saved in `path` with `header`; the document's readings are the run's (none
    /// yet). Fails when the file cannot be made: the run goes on without it.
    chem::Result<bool> start(const std::filesystem::path& path, const meter::RunHeader& header);
    /// Takes up `saved` where it was left: its readings in the run and the document, new ones
    /// appended to its file.
    chem::Result<bool> resume(const meter::SavedRun& saved);
    /// A new settle rule; the readings kept stay.
    void setSettle(double band, double seconds);
    /// The meter went silent or away: the pH seen so far is stale, so a reading asked for
    /// now or waiting waits for fresh readings to settle.
    void meterLost();

    /// The meter's pH at `time`; the reading kept, when one waited for it to settle.
    std::optional<meter::Reading> meterReading(double time, double pH);
    /// Keeps the settled pH with `volume`: kept now, waiting (none) or refused with the reason.
    /// `fresh`: the pH is that of the titrant not yet added, so it must settle anew.
    chem::Result<std::optional<meter::Reading>> keep(double volume, bool fresh);
    /// Forgets the last reading kept, in the file and the document; returns it.
    std::optional<meter::Reading> undo();
    /// Gives up the volume waiting for the pH to settle.
    void cancelWaiting() { run_.cancelWaiting(); }
    /// Marks the run finished in its file; the readings stay in the document.
    void finish();

    const meter::LiveRun& run() const { return run_; }
    const std::filesystem::path& path() const { return log_.path(); }
    /// Why the autosave file was not written last time; empty while it is.
    const std::string& saveFailure() const { return saveFailure_; }

private:
    /// Saves, then shows: the file first, then the document.
    void kept(const meter::Reading& reading);
    void saved(const chem::Result<bool>& written);
    /// The document's readings made the run's again.
    void showAll();

    session::Document& document_;
    std::string name_;
    meter::LiveRun run_;
    meter::RunLog log_;
    std::string saveFailure_;
};

} // namespace app
