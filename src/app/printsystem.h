#pragma once

#include <QPageSize>
#include <QString>

#include <optional>

namespace app {

/// What the window needs to know of the installed printers.
struct PrinterAnswer
{
    QString defaultName; ///< the default printer's device name, "" when none is marked default
    QString queue;       ///< where a job goes: the default printer, else the first one installed
    QPageSize pageSize;  ///< the queue's default paper
};

/// The system's print service. Each call may block for as long as the service takes to answer
/// (minutes, for a server that accepts connections and stays silent), so the window makes them
/// on background threads only. The Qt implementation asks CUPS; tests use a fake.
class PrintSystem
{
public:
    virtual ~PrintSystem() = default;

    /// The printer a job would go to, or none when no printer is installed.
    virtual std::optional<PrinterAnswer> query() const = 0;
    /// Hands a PDF file to `queue` as one job named `title`. None when the service accepted
    /// the job, else the service's reason for refusing it.
    virtual std::optional<QString> submit(const QString& queue, const QString& pdfFile,
                                          const QString& title) const = 0;
};

class QtPrintSystem : public PrintSystem
{
public:
    std::optional<PrinterAnswer> query() const override;
    std::optional<QString> submit(const QString& queue, const QString& pdfFile,
                                  const QString& title) const override;
};

} // namespace app
