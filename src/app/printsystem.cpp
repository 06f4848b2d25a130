#include "app/printsystem.h"

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

} // namespace app
