#include "app/readingsfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

/// A descriptor of the regular file at `path`, opened without waiting (a FIFO's open would
/// wait for a writer), or the system's reason there is none.
chem::Result<int> openRegular(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return chem::Result<int>::failed(std::strerror(errno));
    struct stat st
    {};
    const char* kind = nullptr;
    if (::fstat(fd, &st) != 0)
        kind = std::strerror(errno);
    else if (S_ISDIR(st.st_mode))
        kind = std::strerror(EISDIR);
    else if (S_ISFIFO(st.st_mode))
        kind = "not a regular file (a named pipe)";
    else if (!S_ISREG(st.st_mode))
        kind = "not a regular file (a device or a socket)";
    if (kind) {
        ::close(fd);
        return chem::Result<int>::failed(kind);
    }
    return chem::Result<int>::success(fd);
}

} // namespace

chem::Result<QByteArray> readingsBytes(const QString& path, FileKinds kinds)
{
    using Failed = chem::Result<QByteArray>;
    QFile file(path);
    if (kinds == FileKinds::RegularOnly) {
        const chem::Result<int> fd = openRegular(path);
        if (!fd)
            return Failed::failed(fd.failure);
        if (!file.open(*fd.value, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(*fd.value);
            return Failed::failed(file.errorString().toStdString());
        }
    } else if (!file.open(QIODevice::ReadOnly)) {
        return Failed::failed(file.errorString().toStdString());
    }
    // One byte past the limit is enough to refuse it, without reading a huge file whole.
    QByteArray bytes = file.read(qint64(lab::kMaxReadingsBytes) + 1);
    if (file.error() != QFileDevice::NoError)
        return Failed::failed(file.errorString().toStdString());
    return Failed::success(std::move(bytes));
}

lab::ReadingsRead readReadingsFile(const QString& path, const lab::ReadOptions& options,
                                   FileKinds kinds)
{
    const chem::Result<QByteArray> bytes = readingsBytes(path, kinds);
    if (!bytes)
        return {chem::Result<lab::Readings>::failed(bytes.failure), {}};
    return lab::readReadings(
        std::string_view(bytes.value->constData(), std::size_t(bytes.value->size())), options);
}

LoadedReadings loadReadings(const QString& path)
{
    LoadedReadings loaded{path, {}, {}};
    chem::Result<QByteArray> bytes = readingsBytes(path, FileKinds::RegularOnly);
    if (!bytes) {
        loaded.read.readings = chem::Result<lab::Readings>::failed(bytes.failure);
        return loaded;
    }
    loaded.bytes = std::move(*bytes.value);
    return rereadReadings(std::move(loaded), {});
}

LoadedReadings rereadReadings(LoadedReadings loaded, const lab::ReadOptions& options)
{
    loaded.read = lab::readReadings(
        std::string_view(loaded.bytes.constData(), std::size_t(loaded.bytes.size())), options);
    loaded.chosen = options.volume.given() || options.pH.given() || options.run > 0;
    return loaded;
}

} // namespace app
