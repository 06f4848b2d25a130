#pragma once
// A meter on a serial port (a USB adapter's /dev/ttyUSB0, a board's /dev/ttyACM0, a
// pseudo-terminal's /dev/pts/N): opened with the user's settings, asked for readings when it
// answers only on request, and opened again every second after its cable is pulled, so that a
// run goes on where it stopped.

#include "live/source.h"

#include <QSerialPort>

namespace live {

class SerialSource : public ReadingSource
{
    Q_OBJECT
    Q_DISABLE_COPY(SerialSource)

public:
    explicit SerialSource(meter::PortSettings settings);

    void start() override;
    void stop() override;

protected:
    QString portState() const override;

private:
    /// Opens the port; tells why not.
    bool open();
    void failed(QSerialPort::SerialPortError error);

    meter::PortSettings settings_;
    meter::MeterStream stream_;
    QSerialPort* port_ = nullptr;
    QTimer* poll_ = nullptr;
    QTimer* reopen_ = nullptr;
};

/// What to tell the user when `port` cannot be opened for `error`, with the fix.
QString openFailure(const QString& port, QSerialPort::SerialPortError error,
                    const QString& systemText);

} // namespace live
