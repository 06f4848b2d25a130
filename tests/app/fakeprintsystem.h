#pragma once

#include "app/printsystem.h"

#include <QStringList>

/// A print system with whatever printers the test gives it.
class FakePrintSystem : public app::PrintSystem
{
public:
    QStringList printers;
    QString defaultPrinter;

    bool hasPrinters() const override { return !printers.isEmpty(); }
    QString defaultPrinterName() const override { return defaultPrinter; }
};
