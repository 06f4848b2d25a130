#include "live/source.h"

#include "live/filesource.h"
#include "live/serialsource.h"
#include "live/simulatedsource.h"

#include <QTimer>

namespace live {

ReadingSource::ReadingSource() : silence_(new QTimer(this))
{
    clock_.start();
    silence_->setSingleShot(true);
    silence_->setInterval(kSilentSeconds * 1000);
    connect(silence_, &QTimer::timeout, this, [this] {
        if (state_ != MeterState::Receiving && state_ != MeterState::Connecting)
            return;
        const QString port = portState();
        setState(MeterState::Silent,
                 QStringLiteral("The meter has sent nothing for %1 s").arg(kSilentSeconds) +
                     (port.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(port)));
    });
}

ReadingSource::~ReadingSource() = default;

void ReadingSource::setState(MeterState state, const QString& message)
{
    if (state == MeterState::Connecting)
        silence_->start(); // the first line is awaited as any other
    if (state == MeterState::Disconnected || state == MeterState::Failed)
        silence_->stop();
    if (state == state_ && message == message_)
        return;
    state_ = state;
    message_ = message;
    emit stateChanged(state, message);
}

void ReadingSource::stop()
{
    silence_->stop();
}

void ReadingSource::heard()
{
    silence_->start();
    if (state_ != MeterState::Receiving)
        setState(MeterState::Receiving, QString());
}

void ReadingSource::received(meter::MeterStream& stream, std::string_view bytes)
{
    // Lines are shown as they come for a connection check; readings and skips as parsed.
    if (!bytes.empty())
        heard(); // garbage and "*OK" too: the meter is not silent
    const std::vector<double> readings = stream.feed(bytes);
    for (const std::string& line : stream.lastLines())
        emit lineReceived(QString::fromStdString(meter::printable(line)));
    for (const double pH : readings)
        emit reading(now(), pH);
    if (qint64(stream.skipped()) != skippedSeen_) {
        skippedSeen_ = qint64(stream.skipped());
        emit skipped(skippedSeen_, QString::fromStdString(stream.lastSkip()));
    }
}

std::unique_ptr<ReadingSource> makeSource(const SourceChoice& choice)
{
    switch (choice.kind) {
    case SourceChoice::Kind::Simulated:
        return std::make_unique<SimulatedSource>(choice);
    case SourceChoice::Kind::File:
        return std::make_unique<FileSource>(choice.port);
    case SourceChoice::Kind::Serial:
        break;
    }
    return std::make_unique<SerialSource>(choice.port);
}

} // namespace live
