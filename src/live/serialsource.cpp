#include "live/serialsource.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace live {

namespace {

QSerialPort::Parity parityOf(meter::Parity parity)
{
    switch (parity) {
    case meter::Parity::Even:
        return QSerialPort::EvenParity;
    case meter::Parity::Odd:
        return QSerialPort::OddParity;
    case meter::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

} // namespace

QString openFailure(const QString& port, QSerialPort::SerialPortError error,
                    const QString& systemText)
{
    switch (error) {
    case QSerialPort::PermissionError:
        // udev gives serial devices (tty[A-Z]*[0-9]) to the group dialout: systemd's
        // rules.d/50-udev-default.rules, as Debian and Ubuntu ship it.
        return QStringLiteral("No permission to open %1. Join the dialout group: "
                              "sudo adduser $USER dialout, then log out and in again.")
            .arg(port);
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("There is no port %1. Is the meter plugged in?").arg(port);
    case QSerialPort::UnsupportedOperationError: // a file, or settings the port cannot take
        return QStringLiteral("%1 cannot be opened as a serial port with these settings: %2")
            .arg(port, systemText);
    default:
        break;
    }
    return QStringLiteral("%1 cannot be opened: %2").arg(port, systemText);
}

SerialSource::SerialSource(meter::PortSettings settings)
    : settings_(std::move(settings)), stream_(settings_.pick, settings_.poll),
      port_(new QSerialPort(this)), poll_(new QTimer(this)), reopen_(new QTimer(this))
{
    port_->setPortName(QString::fromStdString(settings_.port));
    connect(port_, &QSerialPort::readyRead, this, [this] {
        const QByteArray bytes = port_->readAll();
        received(stream_, std::string_view(bytes.constData(), std::size_t(bytes.size())));
    });
    connect(port_, &QSerialPort::errorOccurred, this, &SerialSource::failed);
    const double seconds = std::isfinite(settings_.pollSeconds)
                               ? std::clamp(settings_.pollSeconds, meter::kShortestPoll, 3600.0)
                               : 1.0;
    poll_->setInterval(int(std::lround(seconds * 1000)));
    connect(poll_, &QTimer::timeout, this, [this] {
        const std::string command = meter::pollBytes(settings_);
        if (port_->isOpen())
            port_->write(command.data(), qint64(command.size()));
    });
    reopen_->setInterval(1000);
    connect(reopen_, &QTimer::timeout, this, [this] {
        if (open())
            reopen_->stop();
    });
}

bool SerialSource::open()
{
    port_->setBaudRate(settings_.baud);
    port_->setDataBits(QSerialPort::DataBits(settings_.dataBits));
    port_->setParity(parityOf(settings_.parity));
    port_->setStopBits(settings_.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite))
        return false; // failed() has told why
    // A meter asked for its readings answers from a line's start once what waited is thrown
    // away; one that sends by itself may be mid-line now, and its first line is dropped.
    const bool asks = !settings_.poll.empty();
    if (asks)
        port_->clear(QSerialPort::Input);
    stream_.restart(asks);
    setState(MeterState::Connecting, portState());
    if (asks) {
        poll_->start();
        const std::string command = meter::pollBytes(settings_);
        port_->write(command.data(), qint64(command.size()));
    }
    return true;
}

void SerialSource::start()
{
    if (settings_.port.empty()) // Qt would open "/dev/" and fail with "Is a directory"
        setState(MeterState::Failed, QStringLiteral("No port is chosen: pick one from the list "
                                                    "or type its path, such as /dev/ttyUSB0."));
    else if (!port_->isOpen() && !reopen_->isActive()) // started once
        open();
}

void SerialSource::stop()
{
    ReadingSource::stop();
    poll_->stop();
    reopen_->stop();
    if (port_->isOpen())
        port_->close();
}

void SerialSource::failed(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    const QString port = QString::fromStdString(settings_.port);
    const bool wasOpen = port_->isOpen();
    const QString reason = port_->errorString();
    port_->clearError();
    if (wasOpen && (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                    error == QSerialPort::WriteError)) {
        // A pulled cable: the readings stay, and the port is tried again every second.
        port_->close();
        poll_->stop();
        setState(MeterState::Disconnected,
                 QStringLiteral("The meter's cable was pulled or its port closed (%1). The "
                                "readings are kept; the run goes on when it is back.")
                     .arg(port));
        reopen_->start();
        return;
    }
    if (reopen_->isActive())
        return; // still away: keep trying, and keep the message
    setState(MeterState::Failed, openFailure(port, error, reason));
}

QString SerialSource::portState() const
{
    QString state = QString::fromStdString(settings_.port) + ' ' +
                    (port_->isOpen() ? QStringLiteral("open at ") : QStringLiteral("closed, "));
    state += QString::fromStdString(meter::describe(settings_));
    if (!settings_.poll.empty())
        state += QStringLiteral(", asking \"%1\" every %2 s")
                     .arg(QString::fromStdString(settings_.poll))
                     .arg(settings_.pollSeconds);
    return state;
}

} // namespace live
