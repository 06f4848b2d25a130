#pragma once
// A reading source on its own thread, for the window and the command line: made from the
// user's choice, started on that thread, its reports delivered on the owner's thread, and
// stopped and joined when this goes.

#include "live/source.h"

#include <QObject>
#include <QThread>

namespace live {

class LiveMeter : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(LiveMeter)

public:
    explicit LiveMeter(const SourceChoice& choice, QObject* parent = nullptr);
    ~LiveMeter() override;

    void start();
    /// The burette now reads `volume` mL (a simulated meter's flask follows).
    void setVolume(double volume);
    /// Whether the pH follows setVolume(): a kept reading then waits for a fresh settle.
    bool followsVolume() const { return followsVolume_; }

signals:
    void reading(double seconds, double pH);
    void lineReceived(const QString& line);
    void skipped(qint64 total, const QString& why);
    void stateChanged(live::MeterState state, const QString& message);

private:
    QThread thread_;
    ReadingSource* source_ = nullptr; ///< lives on thread_, deleted as it ends
    bool followsVolume_ = false;
};

} // namespace live
