#pragma once
// The live panel: a tool window beside the main window while a run is taken at the bench. It
// shows the meter's pH large, whether it has settled, the meter's state and the lines it
// skipped; the student types the burette reading and presses Enter (or adds a fixed step), and
// the settled pH is kept with it — saved first, then drawn on the chart. Keyboard only works
// throughout; a screen reader hears the pH about once a second and each reading kept.

#include "app/livebench.h"
#include "app/livesetup.h"
#include "live/livemeter.h"

#include <QElapsedTimer>
#include <QWidget>

#include <memory>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace app {

class LivePanel : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(LivePanel)

public:
    /// A panel over `window`, its readings going to `document`.
    LivePanel(QWidget* window, session::Document& document, const LiveChoice& choice);
    ~LivePanel() override;

    /// Starts a new run saved in `path`, or takes up `saved` and goes on in its file.
    void start(const QString& path, const meter::RunHeader& header);
    void resume(const meter::SavedRun& saved);
    /// Reads from another meter, or the same with other settings; the run goes on.
    void setMeter(const LiveChoice& choice);
    const LiveChoice& choice() const { return choice_; }
    const LiveBench& bench() const { return bench_; }
    /// Brings the panel forward with the volume box ready for typing.
    void activate();
    /// Puts `widget` (a practice run's brief) at the top of the panel, which takes it.
    void addBrief(QWidget* widget);
    /// Ends the run: marked finished in its file, the readings left in the document.
    void finish();

signals:
    /// A reading was kept or taken back: the document's readings changed.
    void readingsChanged();
    /// The student asks for other meter settings.
    void meterWanted();
    void finished();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* buildEntry();
    void meterReading(double seconds, double pH);
    void meterState(live::MeterState state, const QString& message);
    /// Keeps the settled pH with the volume `text` says.
    void keepVolume(const QString& text);
    void undo();
    void showKept(const meter::Reading& reading);
    /// Says `text` under the volume box, where a screen reader hears it.
    void tell(const QString& text);
    void showSaving();

    LiveChoice choice_;
    LiveBench bench_;
    std::unique_ptr<live::LiveMeter> meter_;
    QElapsedTimer spoken_; ///< since the screen reader was last given the pH
    QLabel* pH_ = nullptr;
    QLabel* settle_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* skipped_ = nullptr;
    QLineEdit* volume_ = nullptr;
    QDoubleSpinBox* step_ = nullptr;
    QLabel* note_ = nullptr;
    QListWidget* readings_ = nullptr;
    QLabel* saving_ = nullptr;
    bool finished_ = false;
};

} // namespace app
