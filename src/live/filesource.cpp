#include "live/filesource.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>

namespace live {

namespace {

/// Whether the first `size` bytes of `file` are none or end with a line end.
bool endsLine(QFile& file, qint64 size)
{
    char last = 0;
    return size == 0 ||
           (file.seek(size - 1) && file.getChar(&last) && (last == '\n' || last == '\r'));
}

} // namespace

FileSource::FileSource(const meter::PortSettings& settings)
    : path_(QString::fromStdString(settings.port)), stream_(settings.pick), look_(new QTimer(this))
{
    look_->setInterval(200);
    connect(look_, &QTimer::timeout, this, &FileSource::look);
}

void FileSource::start()
{
    setState(MeterState::Connecting, portState());
    look();
    look_->start();
}

void FileSource::stop()
{
    ReadingSource::stop();
    look_->stop();
}

void FileSource::look()
{
    QFile file(path_);
    if (!file.exists()) {
        read_ = 0; // readings in a file made later are all new
        stream_.restart(true);
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        look_->stop();
        setState(MeterState::Failed,
                 QStringLiteral("%1 cannot be read: %2").arg(path_, file.errorString()));
        return;
    }
    const qint64 size = file.size();
    if (read_ < 0 || size < read_) {
        // What was there at the start is not live, and a line it left open is not whole; a file
        // written anew is read from its start.
        const bool anew = read_ >= 0;
        read_ = anew ? 0 : size;
        stream_.restart(anew || endsLine(file, size));
    }
    if (size == read_ || !file.seek(read_))
        return;
    const QByteArray bytes = file.read(std::min<qint64>(size - read_, 1 << 20));
    read_ += bytes.size();
    received(stream_, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

QString FileSource::portState() const
{
    return QFileInfo::exists(path_) ? path_ + QStringLiteral(" is not growing")
                                    : path_ + QStringLiteral(" does not exist yet");
}

} // namespace live
