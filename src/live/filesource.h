#pragma once
// A file another program appends readings to (a logger's output, a script's): read from its end
// as it grows, a line per reading as a meter would send it. Looked at five times a second, which
// every file system allows, rather than watched, which some do not for appends.

#include "live/source.h"

#include <QString>

namespace live {

class FileSource : public ReadingSource
{
    Q_OBJECT
    Q_DISABLE_COPY(FileSource)

public:
    explicit FileSource(const meter::PortSettings& settings);

    void start() override;
    void stop() override;

protected:
    QString portState() const override;

private:
    void look();

    QString path_;
    meter::MeterStream stream_;
    QTimer* look_ = nullptr;
    qint64 read_ = -1; ///< bytes read so far; -1 before the file was first seen
};

} // namespace live
