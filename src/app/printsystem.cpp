#include "app/printsystem.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace app {

bool QtPrintSystem::hasPrinters() const
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString QtPrintSystem::defaultPrinterName() const
{
    return QPrinterInfo::defaultPrinterName();
}

std::unique_ptr<QPrinter> QtPrintSystem::defaultPrinter() const
{
    return std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
}

} // namespace app
