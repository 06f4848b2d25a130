#include "live/livemeter.h"

namespace live {

LiveMeter::LiveMeter(const SourceChoice& choice, QObject* parent) : QObject(parent)
{
    qRegisterMetaType<live::MeterState>("live::MeterState");
    source_ = makeSource(choice).release();
    followsVolume_ = source_->followsVolume();
    source_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, source_, &QObject::deleteLater);
    connect(source_, &ReadingSource::reading, this, &LiveMeter::reading);
    connect(source_, &ReadingSource::lineReceived, this, &LiveMeter::lineReceived);
    connect(source_, &ReadingSource::skipped, this, &LiveMeter::skipped);
    connect(source_, &ReadingSource::stateChanged, this, &LiveMeter::stateChanged);
    thread_.setObjectName(QStringLiteral("meter"));
    thread_.start();
}

LiveMeter::~LiveMeter()
{
    ReadingSource* source = source_;
    QMetaObject::invokeMethod(
        source_, [source] { source->stop(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void LiveMeter::start()
{
    ReadingSource* source = source_;
    QMetaObject::invokeMethod(
        source_, [source] { source->start(); }, Qt::QueuedConnection);
}

void LiveMeter::setVolume(double volume)
{
    ReadingSource* source = source_;
    QMetaObject::invokeMethod(
        source_, [source, volume] { source->setVolume(volume); }, Qt::QueuedConnection);
}

} // namespace live
