#include "app/readingsfile.h"

#include <QFile>

namespace app {

chem::Result<lab::Readings> readReadingsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return chem::Result<lab::Readings>::failed(file.errorString().toStdString());
    // One byte past the limit is enough to refuse it, without reading a huge file whole.
    const QByteArray bytes = file.read(qint64(lab::kMaxReadingsBytes) + 1);
    if (file.error() != QFileDevice::NoError)
        return chem::Result<lab::Readings>::failed(file.errorString().toStdString());
    return lab::readReadings(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

} // namespace app
