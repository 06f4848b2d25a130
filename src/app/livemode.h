#pragma once
// The live mode's part of the main window: the command that asks for the meter and opens the
// live panel, the run's autosave file, and at the window's start the offer to take up a run
// left unfinished (after a crash, a pulled cable or a closed window).

#include "app/livesetup.h"
#include "session/document.h"

#include <QObject>
#include <QPointer>

class QTimer;
class QWidget;

namespace app {

class InputPage;
class LivePanel;
struct Platform;

class LiveMode : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(LiveMode)

public:
    LiveMode(QWidget* window, session::Document& document, Platform& platform, InputPage& input);
    ~LiveMode() override;

    /// The command: the panel when a run is on, else the meter's settings first.
    void open();
    /// Starts a run with `choice` (a simulated meter without a flask gets the titration typed);
    /// false, with a message, when the typed titration cannot fill the flask.
    bool start(const LiveChoice& choice);
    /// Offers each run left unfinished in the live folder, newest first, until one is taken
    /// up or put off.
    void offerUnfinishedRuns();
    LivePanel* panel() const { return panel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    /// The document's readings changed: the shown page is drawn again, once for the readings
    /// kept in one turn of the event loop.
    void readingsChanged();
    /// The curve page, where the readings are drawn.
    void curveWanted();
    /// A run's file opened as measured readings.
    void readingsWanted(const QString& path);

private:
    /// Asks for the meter's settings, starting from `form`; none when cancelled.
    std::optional<LiveChoice> askMeter(const MeterForm& form);
    bool begin(LiveChoice choice, const meter::SavedRun* resumed);
    /// Puts the typed titration in a simulated meter's flask; false when it is refused.
    bool fillFlask(LiveChoice& choice);
    /// The run's titration typed in again, and its meter; false when cancelled.
    bool resume(const meter::SavedRun& run);

    QWidget* window_;
    session::Document& document_;
    Platform& platform_;
    InputPage& input_;
    QPointer<LivePanel> panel_;
    QTimer* redraw_ = nullptr;
};

} // namespace app
