#include "app/tableprinter.h"

#include "app/qtdrawingsurface.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace app {

bool printTable(QPrinter& printer, const std::array<output::ReportLine, 16>& report,
                const std::string& table)
{
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QStringLiteral("Acidora - table of values"));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    // Millimetres from the top-left of the printable area, which is the painter's origin.
    QtDrawingSurface surface(painter, printer.resolution() / 25.4, Qt::black);
    surface.setFontSize(11);
    surface.setFontItalic(false);
    surface.setFontName("Courier New");
    surface.setFontBold(true);
    const double lineHeightMm = surface.TextHeight("P");
    const double printableHeightMm =
        printer.pageLayout().paintRect(QPageLayout::Millimeter).height();

    int page = 0;
    for (const output::PrintedLine& line :
         output::tablePrintout(report, table, printableHeightMm, lineHeightMm)) {
        for (; page < line.page; ++page)
            printer.newPage();
        surface.setFontName(line.monospace ? "Courier New" : "Arial");
        surface.setFontBold(line.bold);
        surface.setCurrentX(line.xMm);
        surface.setCurrentY(line.yMm);
        surface.Print(line.text);
    }
    return painter.end();
}

} // namespace app
