#include "app/printsystem.h"

#include <QFile>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace app {

std::optional<PrinterAnswer> QtPrintSystem::query() const
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty())
        return std::nullopt;
    PrinterAnswer answer;
    answer.defaultName = QPrinterInfo::defaultPrinterName();
    answer.queue = answer.defaultName.isEmpty() ? names.first() : answer.defaultName;
    // The paper the queue itself is set to, which the PPD's own default may not be.
    if (cups_dest_t* dest =
            cupsGetNamedDest(CUPS_HTTP_DEFAULT, answer.queue.toUtf8().constData(), nullptr)) {
        if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
            cups_size_t size;
            if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) &&
                size.width > 0 && size.length > 0)
                answer.pageSize =
                    QPageSize(QSizeF(size.width / 100.0, size.length / 100.0),
                              QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
            cupsFreeDestInfo(info);
        }
        cupsFreeDests(1, dest);
    }
    if (!answer.pageSize.isValid())
        answer.pageSize = QPrinterInfo::printerInfo(answer.queue).defaultPageSize();
    return answer;
}

std::optional<QString> QtPrintSystem::submit(const QString& queue, const QString& pdfFile,
                                             const QString& title) const
{
    // The job id tells whether the server took the job; a queue that rejects jobs answers
    // Create-Job with an error that Qt's own printing never reports.
    const int job =
        cupsPrintFile(queue.toUtf8().constData(), QFile::encodeName(pdfFile).constData(),
                      title.toUtf8().constData(), 0, nullptr);
    if (job > 0)
        return std::nullopt;
    const QString reason = QString::fromUtf8(cupsLastErrorString());
    return reason.isEmpty() ? QStringLiteral("The print service gave no reason.") : reason;
}

} // namespace app
