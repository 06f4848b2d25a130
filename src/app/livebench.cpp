#include "app/livebench.h"

namespace app {

LiveBench::LiveBench(session::Document& document, std::string name, double band, double seconds)
    : document_(document), name_(std::move(name)), run_(band, seconds)
{}

chem::Result<bool> LiveBench::start(const std::filesystem::path& path,
                                    const meter::RunHeader& header)
{
    showAll();
    const chem::Result<bool> started = log_.start(path, header);
    saved(started);
    return started;
}

chem::Result<bool> LiveBench::resume(const meter::SavedRun& saved)
{
    run_.resume(saved.readings);
    showAll();
    const chem::Result<bool> resumed = log_.resume(saved.path);
    this->saved(resumed);
    return resumed;
}

void LiveBench::setSettle(double band, double seconds)
{
    run_.setSettle(band, seconds);
}

void LiveBench::meterLost()
{
    run_.forgetPH();
}

std::optional<meter::Reading> LiveBench::meterReading(double time, double pH)
{
    const std::optional<meter::Reading> reading = run_.meterReading(time, pH);
    if (reading)
        kept(*reading);
    return reading;
}

chem::Result<std::optional<meter::Reading>> LiveBench::keep(double volume, bool fresh)
{
    chem::Result<std::optional<meter::Reading>> result = run_.keep(volume, fresh);
    if (result && *result.value)
        kept(**result.value);
    return result;
}

std::optional<meter::Reading> LiveBench::undo()
{
    std::optional<meter::Reading> forgotten = run_.undo();
    if (forgotten) {
        if (log_.isOpen())
            saved(log_.rewrite(run_.kept()));
        showAll();
    }
    return forgotten;
}

void LiveBench::finish()
{
    if (log_.isOpen())
        saved(log_.finish());
}

void LiveBench::kept(const meter::Reading& reading)
{
    if (log_.isOpen())
        saved(log_.append(reading));
    document_.appendReading(reading.volume, reading.pH);
}

void LiveBench::saved(const chem::Result<bool>& written)
{
    saveFailure_ = written ? std::string() : written.failure;
}

void LiveBench::showAll()
{
    if (run_.kept().empty()) {
        document_.setReadings(std::nullopt, name_);
        return;
    }
    lab::Readings readings;
    for (const meter::Reading& r : run_.kept()) {
        readings.volume.push_back(r.volume);
        readings.pH.push_back(r.pH);
    }
    document_.setReadings(std::move(readings), name_);
}

} // namespace app
