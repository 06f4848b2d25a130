#pragma once
// Where live readings come from, behind one interface: a meter on a serial port, a simulated
// meter, or a file another program appends to. Each source lives on a thread of its own, so a
// port that blocks or a meter that floods never holds up the window; it reports pH readings
// (parsed by meter::MeterStream, which knows no Qt), the lines it skipped and its state.
// LiveMeter, in livemeter.h, owns a source and its thread for the window and the command line.

#include "lab/synthetic.h"
#include "meter/presets.h"
#include "meter/stream.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <memory>

class QTimer;

namespace live {

enum class MeterState {
    Connecting,   ///< opening the port, or waiting for the first line
    Receiving,    ///< lines arrive
    Silent,       ///< nothing for kSilentSeconds; the port is still open
    Disconnected, ///< the port went away (a pulled cable); retried every second
    Failed,       ///< cannot go on (no such port, no permission, a file that cannot be read)
};

/// How long a meter may send nothing before the user is told.
inline constexpr int kSilentSeconds = 5;

class ReadingSource : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ReadingSource)

public:
    ReadingSource();
    ~ReadingSource() override;

    /// Opens the source and starts reading; called on the source's thread.
    virtual void start() = 0;
    /// Closes it; called on the source's thread before it ends. An override calls this.
    virtual void stop();
    /// The burette now reads `volume` mL: a simulated meter's flask follows; a real one ignores it.
    virtual void setVolume(double /*volume*/) {}
    /// Whether the pH follows setVolume() (only then must a kept reading wait for a fresh settle).
    virtual bool followsVolume() const { return false; }

signals:
    /// A pH, at `seconds` since the source started (a steady clock).
    void reading(double seconds, double pH);
    /// Every line as it came, printable, for a connection check.
    void lineReceived(const QString& line);
    /// Lines that were not readings so far, and why the last was skipped.
    void skipped(qint64 total, const QString& why);
    /// The state and what to tell the user of it, with the port's state.
    void stateChanged(live::MeterState state, const QString& message);

protected:
    /// Seconds since the source was made, on a steady clock.
    double now() const { return double(clock_.nsecsElapsed()) * 1e-9; }
    /// Announces a state, once per change of state or message.
    void setState(MeterState state, const QString& message);
    MeterState state() const { return state_; }
    /// Something arrived: the meter is not silent.
    void heard();
    /// Parses bytes into readings, skips and lines, and emits them; any byte is heard.
    void received(meter::MeterStream& stream, std::string_view bytes);
    /// What the silence message adds after "The meter has sent nothing for 5 s": the port's state.
    virtual QString portState() const { return {}; }

private:
    QElapsedTimer clock_;
    QTimer* silence_ = nullptr;
    MeterState state_ = MeterState::Connecting;
    QString message_;
    qint64 skippedSeen_ = 0;
};

/// What to read from: the meter's kind and its settings.
struct SourceChoice
{
    enum class Kind { Serial, Simulated, File } kind = Kind::Serial;
    meter::PortSettings port; ///< a serial meter's; the file's path in `port.port` and pick
    /// For a simulated meter: the titration in the flask, its bench and its seed.
    lab::Setup truth;
    lab::BenchErrors bench;
    std::uint32_t seed = 1;
    double readingsPerSecond = 2; ///< a simulated meter's
    double responseSeconds = 1;   ///< its electrode's time constant
};

/// A source for `choice`, not yet started.
std::unique_ptr<ReadingSource> makeSource(const SourceChoice& choice);

} // namespace live
