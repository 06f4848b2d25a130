#include "output/writers.h"

#include "output/qtdrawingsurface.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <random>

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

/// The system's words for `error`, in the user's language.
QString systemReason(int error)
{
    return qt_error_string(error);
}

/// Writes all of `bytes` to `fd`; 0, else the errno of the failing call.
int writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

std::optional<QString> writeInPlace(const char* path, const QByteArray& bytes)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return systemReason(errno);
    int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error ? std::optional(systemReason(error)) : std::nullopt;
}

/// The last link of `path` followed to what it names, which need not exist yet; the folders
/// on the way are left as they are, since the new file is renamed within its own folder.
/// 0, else an errno.
int followLinks(const char* path, std::string& resolved)
{
    resolved = path;
    for (int hops = 0;; ++hops) {
        struct stat link
        {};
        if (::lstat(resolved.c_str(), &link) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(link.st_mode))
            return 0;
        if (hops == 40)
            return ELOOP;
        std::string to(std::size_t(PATH_MAX), '\0');
        const ssize_t n = ::readlink(resolved.c_str(), to.data(), to.size());
        if (n < 0)
            return errno;
        to.resize(std::size_t(n));
        const std::size_t slash = resolved.rfind('/');
        resolved = to.starts_with('/') || slash == std::string::npos
                       ? to
                       : resolved.substr(0, slash + 1) + to;
    }
}

/// A new file beside `path`, filled and flushed to the disk, then renamed onto it: the old
/// file stays whole unless the new one is complete. An existing file's permissions are kept.
std::optional<QString> replaceWhole(const std::string& path, const QByteArray& bytes,
                                    mode_t existingMode)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::random_device random;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = folder + ".acidora-" + std::to_string(random()) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return systemReason(errno);
    }
    if (fd < 0)
        return systemReason(EEXIST);
    int error = writeAll(fd, bytes);
    if (error == 0 && existingMode != 0 && ::fchmod(fd, existingMode & 07777) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return systemReason(error);
    }
    return std::nullopt;
}

/// The screen chart's height with its caption band, if any.
int screenChartHeight(const chart::ChartModel& chart)
{
    return kChartHeight + (chart.texts.caption.empty() ? 0 : kChartCaptionHeight);
}

} // namespace

chart::PlotTransform paintScreenChart(QPainter& painter, const chart::ChartModel& chart,
                                      QColor textColour, bool labels)
{
    QtDrawingSurface surface(painter, 1.0, textColour);
    surface.Cls();
    const chart::PlotTransform plot =
        chart::drawChart(surface, chart::ChartGeometry::screen(kChartWidth, kChartHeight), chart);
    if (!labels)
        return plot;
    const chart::ChartTexts& texts = chart.texts;
    // Where the curve page has its title and indicator labels.
    painter.setPen(kChartLabelColour);
    painter.setFont(arialPixels(15, true));
    painter.drawText(kChartTitleLabel, Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromStdString(texts.title));
    painter.setFont(arialPixels(13, false));
    painter.drawText(kChartIndicatorLabel, Qt::AlignRight | Qt::AlignTop,
                     QString::fromStdString(texts.indicatorName));
    if (!texts.caption.empty()) {
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, kChartHeight, kChartWidth, kChartCaptionHeight), Qt::AlignCenter,
                         QString::fromStdString(texts.caption));
    }
    return plot;
}

bool drawChartPage(QPagedPaintDevice& device, const chart::ChartModel& chart)
{
    if (device.pageLayout().orientation() == QPageLayout::Portrait) {
        // The margins are the paper's as it lies in portrait. A landscape page lies on it
        // turned a quarter anticlockwise: its top along the paper's left edge, its left
        // along the paper's bottom.
        const QPageLayout portrait = device.pageLayout();
        const QMarginsF m = portrait.margins();
        device.setPageOrientation(QPageLayout::Landscape);
        device.setPageMargins(QMarginsF(m.bottom(), m.left(), m.top(), m.right()),
                              portrait.units());
    }
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    QtDrawingSurface surface(painter, device.logicalDpiX() / 25.4, Qt::black);
    const chart::ChartGeometry paper = chart::ChartGeometry::paper();
    chart::drawChart(surface, paper, chart);
    const std::string& caption = chart.texts.caption;
    if (!caption.empty()) { // under the volume axis's caption, centred on the plot
        surface.setFontName("Arial");
        surface.setFontSize(11);
        surface.setFontBold(false);
        surface.setFontItalic(false);
        surface.setCurrentX((paper.X0 + paper.XR - surface.TextWidth(caption)) / 2);
        surface.setCurrentY(paper.H + 8);
        surface.Print(caption);
    }
    return painter.end();
}

bool drawResultsPage(QPagedPaintDevice& device, std::span<const ReportLine> report,
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

QImage chartImage(const chart::ChartModel& chart, int scale)
{
    QImage image(kChartWidth * scale, screenChartHeight(chart) * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintScreenChart(painter, chart, Qt::black, true);
    return image;
}

QByteArray chartPdf(const chart::ChartModel& chart)
{
    return pdf(QString::fromStdString(chart.texts.title),
               [&](QPdfWriter& writer) { return drawChartPage(writer, chart); });
}

QByteArray chartSvg(const chart::ChartModel& chart)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(kChartWidth, screenChartHeight(chart)));
    svg.setResolution(96); // a screen pixel: the document's size is the chart's on screen
    svg.setViewBox(QRect(0, 0, kChartWidth, screenChartHeight(chart)));
    svg.setTitle(QString::fromStdString(chart.texts.title));
    QPainter painter(&svg);
    paintScreenChart(painter, chart, Qt::black, true);
    painter.end();
    return bytes;
}

QByteArray chartPng(const chart::ChartModel& chart)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    chartImage(chart, 2).save(&buffer, "PNG");
    return bytes;
}

std::optional<ChartFormat> chartFormatOf(const QString& extension)
{
    const QString lower = extension.toLower();
    if (lower == QLatin1String("pdf"))
        return ChartFormat::Pdf;
    if (lower == QLatin1String("svg"))
        return ChartFormat::Svg;
    if (lower == QLatin1String("png"))
        return ChartFormat::Png;
    return std::nullopt;
}

QByteArray chartFile(const chart::ChartModel& input, ChartFormat format)
{
    switch (format) {
    case ChartFormat::Pdf:
        return chartPdf(input);
    case ChartFormat::Svg:
        return chartSvg(input);
    case ChartFormat::Png:
        break;
    }
    return chartPng(input);
}

QByteArray resultsPdf(std::span<const ReportLine> report, const std::string& table)
{
    return pdf(report.empty() ? QString() : QString::fromStdString(report.front().caption),
               [&](QPdfWriter& writer) { return drawResultsPage(writer, report, table); });
}

QByteArray worksheetPdf(std::span<const WorksheetProblem> problems, const std::string& title)
{
    return pdf(QString::fromStdString(title),
               [&](QPdfWriter& writer) { return drawWorksheet(writer, problems, title); });
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

std::optional<QString> saveNativeFile(const QByteArray& nativePath, const QByteArray& bytes)
{
    if (nativePath.isEmpty())
        return QStringLiteral("No file name was given.");
    const char* const path = nativePath.constData();
    struct stat target
    {};
    if (::stat(path, &target) == 0) {
        // A pipe or a device is the reader itself: written in place, never replaced (renaming
        // a file over /dev/null would replace the device). /dev/stdout resolves here too.
        if (S_ISFIFO(target.st_mode) || S_ISCHR(target.st_mode))
            return writeInPlace(path, bytes);
        if (S_ISDIR(target.st_mode))
            return systemReason(EISDIR);
        if (!S_ISREG(target.st_mode))
            return QStringLiteral("It is neither a file nor a pipe nor a character device, so "
                                  "nothing was written.");
    } else if (errno != ENOENT) {
        return systemReason(errno);
    }
    std::string resolved;
    if (const int error = followLinks(path, resolved))
        return systemReason(error);
    return replaceWhole(resolved, bytes, target.st_mode);
}

std::optional<QString> saveFile(const QString& path, const QByteArray& bytes)
{
    return saveNativeFile(QFile::encodeName(path), bytes);
}

} // namespace output
