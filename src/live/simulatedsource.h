#pragma once
// A simulated meter as a source: meter::SimulatedMeter read at a steady rate, its flask
// following the volumes the student types.

#include "live/source.h"
#include "meter/simulated.h"

namespace live {

class SimulatedSource : public ReadingSource
{
    Q_OBJECT
    Q_DISABLE_COPY(SimulatedSource)

public:
    explicit SimulatedSource(const SourceChoice& choice);

    void start() override;
    void stop() override;
    void setVolume(double volume) override;
    bool followsVolume() const override { return true; }

private:
    meter::SimulatedMeter meter_;
    QTimer* tick_ = nullptr;
};

} // namespace live
