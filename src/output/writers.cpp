#include "output/writers.h"

#include "output/qtdrawingsurface.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace output {

namespace {

QFont arialPixels(int pixels, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

/// A PDF of A4 pages drawn by `draw` on the writer.
template <class Draw> QByteArray pdf(const QString& title, Draw draw)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Acidora"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        if (!draw(writer))
            return {};
    } // the writer finishes the file as it goes
    return bytes;
}

} // namespace

void paintScreenChart(QPainter& painter, const chart::ChartInput& input, QColor textColour,
                      bool labels)
{
    QtDrawingSurface surface(painter, 1.0, textColour);
    surface.Cls();
    chart::drawChart(surface, chart::ChartGeometry::screen(kChartWidth, kChartHeight), input);
    if (!labels)
        return;
    // Where the curve page has its title and indicator labels.
    painter.setPen(kChartLabelColour);
    painter.setFont(arialPixels(15, true));
    painter.drawText(kChartTitleLabel, Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromStdString(input.title));
    painter.setFont(arialPixels(13, false));
    painter.drawText(kChartIndicatorLabel, Qt::AlignRight | Qt::AlignTop,
                     QString::fromStdString(input.indicatorName));
    if (!input.caption.empty()) {
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, kChartHeight, kChartWidth, kChartCaptionHeight), Qt::AlignCenter,
                         QString::fromStdString(input.caption));
    }
}

namespace {

/// The screen chart's height with its caption band, if any.
int screenChartHeight(const chart::ChartInput& input)
{
    return kChartHeight + (input.caption.empty() ? 0 : kChartCaptionHeight);
}

} // namespace

bool drawChartPage(QPagedPaintDevice& device, const chart::ChartInput& input)
{
    device.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    QtDrawingSurface surface(painter, device.logicalDpiX() / 25.4, Qt::black);
    const chart::ChartGeometry paper = chart::ChartGeometry::paper();
    chart::drawChart(surface, paper, input);
    if (!input.caption.empty()) { // under the volume axis's caption, centred on the plot
        surface.setFontName("Arial");
        surface.setFontSize(11);
        surface.setFontBold(false);
        surface.setFontItalic(false);
        surface.setCurrentX((paper.X0 + paper.XR - surface.TextWidth(input.caption)) / 2);
        surface.setCurrentY(paper.H + 8);
        surface.Print(input.caption);
    }
    return painter.end();
}

bool drawResultsPage(QPagedPaintDevice& device, const std::array<ReportLine, 16>& report,
                     const std::string& table)
{
    device.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Millimetres from the top-left of the printable area, which is the painter's origin.
    QtDrawingSurface surface(painter, device.logicalDpiX() / 25.4, Qt::black);
    surface.setFontSize(11);
    surface.setFontItalic(false);
    surface.setFontName("Courier New");
    surface.setFontBold(true);
    const double lineHeightMm = surface.TextHeight("P");
    const double printableHeightMm =
        device.pageLayout().paintRect(QPageLayout::Millimeter).height();
    int page = 0;
    for (const PrintedLine& line : tablePrintout(report, table, printableHeightMm, lineHeightMm)) {
        for (; page < line.page; ++page)
            device.newPage();
        surface.setFontName(line.monospace ? "Courier New" : "Arial");
        surface.setFontBold(line.bold);
        surface.setCurrentX(line.xMm);
        surface.setCurrentY(line.yMm);
        surface.Print(line.text);
    }
    return painter.end();
}

QImage chartImage(const chart::ChartInput& input, int scale)
{
    QImage image(kChartWidth * scale, screenChartHeight(input) * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintScreenChart(painter, input, Qt::black, true);
    return image;
}

QByteArray chartPdf(const chart::ChartInput& input)
{
    return pdf(QString::fromStdString(input.title),
               [&](QPdfWriter& writer) { return drawChartPage(writer, input); });
}

QByteArray chartSvg(const chart::ChartInput& input)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(kChartWidth, screenChartHeight(input)));
    svg.setResolution(96); // a screen pixel: the document's size is the chart's on screen
    svg.setViewBox(QRect(0, 0, kChartWidth, screenChartHeight(input)));
    svg.setTitle(QString::fromStdString(input.title));
    QPainter painter(&svg);
    paintScreenChart(painter, input, Qt::black, true);
    painter.end();
    return bytes;
}

QByteArray chartPng(const chart::ChartInput& input)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    chartImage(input, 2).save(&buffer, "PNG");
    return bytes;
}

QByteArray resultsPdf(const std::array<ReportLine, 16>& report, const std::string& table)
{
    return pdf(QString::fromStdString(report[0].caption),
               [&](QPdfWriter& writer) { return drawResultsPage(writer, report, table); });
}

std::string resultsCsv(const std::string& table)
{
    // Rows are "  vvvv.vv  pppp.pp" after the heading row; blanks only separate the fields.
    std::string csv = "Volume (mL),pH\r\n";
    std::size_t start = table.find("\r\n");
    while (start != std::string::npos && start + 2 < table.size()) {
        const std::size_t end = table.find("\r\n", start + 2);
        const std::string row = table.substr(start + 2, end - start - 2);
        const std::size_t v = row.find_first_not_of(' ');
        const std::size_t gap = row.find(' ', v);
        const std::size_t p = row.find_first_not_of(' ', gap);
        if (v != std::string::npos && p != std::string::npos)
            csv += row.substr(v, gap - v) + ',' + row.substr(p) + "\r\n";
        start = end;
    }
    return csv;
}

std::optional<QString> saveFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> saveNativeFile(const QByteArray& nativePath, const QByteArray& bytes)
{
    return saveFile(QFile::decodeName(nativePath), bytes);
}

} // namespace output
