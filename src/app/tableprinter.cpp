#include "app/tableprinter.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace app {

namespace {

QFont printFont(bool monospace, bool bold)
{
    QFont font(monospace ? QStringLiteral("Courier New") : QStringLiteral("Arial"));
    font.setStyleHint(monospace ? QFont::Monospace : QFont::SansSerif);
    font.setPointSizeF(11);
    font.setBold(bold);
    font.setItalic(false);
    return font;
}

} // namespace

bool printTable(QPrinter& printer, const std::array<output::ReportLine, 16>& report,
                const std::string& table)
{
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QStringLiteral("Acidora - table of values"));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    // Millimetres from the top-left of the printable area, which is the painter's origin.
    const double dotsPerMm = printer.resolution() / 25.4;
    const double printableHeightMm =
        printer.pageLayout().paintRect(QPageLayout::Millimeter).height();
    const double lineHeightMm = QFontMetricsF(printFont(true, true), &printer).height() / dotsPerMm;

    int page = 0;
    painter.setPen(Qt::black);
    for (const output::PrintedLine& line :
         output::tablePrintout(report, table, printableHeightMm, lineHeightMm)) {
        while (page < line.page) {
            printer.newPage();
            ++page;
        }
        const QFont font = printFont(line.monospace, line.bold);
        painter.setFont(font);
        // The line's top is where it is placed, as a printer's current position is.
        const double ascent = QFontMetricsF(font, &printer).ascent();
        painter.drawText(QPointF(line.xMm * dotsPerMm, line.yMm * dotsPerMm + ascent),
                         QString::fromStdString(line.text));
    }
    return painter.end();
}

} // namespace app
