#pragma once

#include <QString>

#include <memory>

class QPrinter;

namespace app {

/// The installed printers, as the window needs to know them. The Qt implementation asks the
/// system's print service; tests use a fake that prints into PDF files. The two queries may
/// run on a worker thread.
class PrintSystem
{
public:
    virtual ~PrintSystem() = default;

    virtual bool hasPrinters() const = 0;
    /// The device name of the default printer, or "" when there is none.
    virtual QString defaultPrinterName() const = 0;
    /// A printer on the default print queue, for one job.
    virtual std::unique_ptr<QPrinter> defaultPrinter() const = 0;
};

class QtPrintSystem : public PrintSystem
{
public:
    bool hasPrinters() const override;
    QString defaultPrinterName() const override;
    std::unique_ptr<QPrinter> defaultPrinter() const override;
};

} // namespace app
