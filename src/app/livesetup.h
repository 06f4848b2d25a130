#pragma once
// The live mode's choices: the meter as the dialog sets it, read into a reading source and a
// settle rule; written as name and value pairs, which the settings remember between sessions
// and a run's autosave file carries in its header, so that a run left off is taken up with the
// titration and the meter it was taken with.

#include "live/source.h"
#include "meter/runlog.h"
#include "session/session.h"

#include <QString>

#include <cstdint>
#include <optional>

class QSettings;

namespace app {

/// The meter dialog's choices.
struct MeterForm
{
    bool simulated = false;         ///< the flask is the titration typed on the input page
    std::string preset = "generic"; ///< the preset last picked, by its command-line name
    meter::PortSettings port;       ///< of a serial meter
    std::string pick = "1";         ///< as typed: N, "last" or a regular expression
    double settleBand = 0.02;       ///< pH
    double settleSeconds = 5;
};

/// What the live mode starts with: the source and when a reading has settled.
struct LiveChoice
{
    live::SourceChoice source;
    double settleBand = 0.02, settleSeconds = 5;
    /// A practice run's exercise: its number goes in the run's header, never its flask.
    std::optional<std::uint32_t> exercise;
};

/// A pick as the user writes it again: "3", "last" or the expression.
std::string pickText(const meter::Pick& pick);

/// The form with a preset's port settings and pick; the port and the settle rule stay.
MeterForm withPreset(MeterForm form, const meter::Preset& preset);

/// The source and settle rule of `form`, or why it cannot be used (no port, a pick that reads
/// nothing, a poll too frequent, a settle rule out of range). A simulated meter's flask is left
/// to the caller.
chem::Result<LiveChoice> liveChoice(const MeterForm& form);

/// The form that gives `choice`.
MeterForm formOf(const LiveChoice& choice);

/// The form as name and value pairs; and read back, where a value is missing or unreadable
/// the form's default.
meter::RunHeader formEntries(const MeterForm& form);
MeterForm formFromEntries(const meter::RunHeader& entries);

/// The remembered form; the default one the first time.
MeterForm rememberedForm(QSettings& settings);
void rememberForm(QSettings& settings, const MeterForm& form);

/// A run's header: the titration as typed (type, boxes, indicator) and the meter's form.
meter::RunHeader runHeader(const session::Session& setup, const MeterForm& form);

/// What a run's header restores: the titration as it was typed, and the meter.
struct RestoredRun
{
    std::optional<chem::TitrationType> type;
    report::BoxTexts boxes;
    int indicatorPosition = 0;
    MeterForm form;
};
RestoredRun restoredRun(const meter::RunHeader& header);

/// "1 reading", "2 readings": `noun` counted, in English.
QString counted(qint64 count, const QString& noun);

/// Where the runs are saved as they are taken: the user's data folder, "live".
QString liveFolder();
/// A new run's file in `folder`, named by its start ("run-20240131-142501.csv"), with a number
/// added when that name is taken.
QString newRunPath(const QString& folder);

} // namespace app
