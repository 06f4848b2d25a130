#pragma once

#include <QMarginsF>
#include <QPageSize>
#include <QString>

#include <chrono>
#include <optional>

namespace app {

/// What the window needs to know of the installed printers.
struct PrinterAnswer
{
    QString defaultName; ///< the default printer's device name, "" when none is marked default
    QString queue;       ///< where a job goes: the default printer, else the first one installed
};

/// The paper a queue is set to, and the edges its printer cannot print on.
struct PaperAnswer
{
    QPageSize size;
    /// Millimetres, as the paper lies in portrait; none when the queue does not say.
    std::optional<QMarginsF> unprintableMm;
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
    /// The paper of `queue`, or none when the queue does not say.
    virtual std::optional<PaperAnswer> paper(const QString& queue) const = 0;
    /// Hands a PDF file to `queue` as one job named `title`. None when the service accepted
    /// the job, else the service's reason for refusing it.
    virtual std::optional<QString> submit(const QString& queue, const QString& pdfFile,
                                          const QString& title) const = 0;
};

/// CUPS, asked directly: one connection per call, each given up after `bound` without an
/// answer. The questions are single requests to the server, with no search of the network for
/// printers, so that asking often stays cheap.
class QtPrintSystem : public PrintSystem
{
public:
    explicit QtPrintSystem(std::chrono::milliseconds bound = std::chrono::seconds(10))
        : bound_(bound)
    {}
    std::optional<PrinterAnswer> query() const override;
    std::optional<PaperAnswer> paper(const QString& queue) const override;
    std::optional<QString> submit(const QString& queue, const QString& pdfFile,
                                  const QString& title) const override;

    static QString noAnswerReason() { return QStringLiteral("The print server did not answer."); }

private:
    std::chrono::milliseconds bound_;
};

} // namespace app
