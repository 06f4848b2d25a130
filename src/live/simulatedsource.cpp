#include "live/simulatedsource.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace live {

SimulatedSource::SimulatedSource(const SourceChoice& choice)
    : meter_(choice.truth, choice.bench, choice.seed,
             meter::ElectrodeResponse{choice.responseSeconds, 0.002}),
      tick_(new QTimer(this))
{
    const double rate = std::clamp(choice.readingsPerSecond, 0.1, 100.0);
    tick_->setInterval(std::max(1, int(std::lround(1000.0 / rate))));
    tick_->setTimerType(Qt::PreciseTimer);
    connect(tick_, &QTimer::timeout, this, [this] {
        const double time = now();
        heard();
        emit reading(time, meter_.read(time));
    });
}

void SimulatedSource::start()
{
    setState(MeterState::Connecting, QString());
    tick_->start();
}

void SimulatedSource::stop()
{
    ReadingSource::stop();
    tick_->stop();
}

void SimulatedSource::setVolume(double volume)
{
    const chem::Result<double> added = meter_.add(volume, now());
    if (!added)
        emit skipped(0, QString::fromStdString(added.failure));
}

} // namespace live
