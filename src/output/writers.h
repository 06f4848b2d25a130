#pragma once
// The ways out of the program besides the screen. The printed pages are drawn on any paged
// device (a printer's PDF job or a saved PDF), and the chart and the results become the bytes
// of the files a user can save: the chart as PDF, SVG or PNG, the results as PDF, text or CSV.
// Printing, saving, copying and the tests all use these, so each is drawn one way only.

#include "chart/titrationchart.h"
#include "output/tableprintout.h"
#include "output/worksheet.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <optional>
#include <string>

class QPagedPaintDevice;
class QPainter;

namespace output {

/// The curve page's chart, in pixels.
inline constexpr int kChartWidth = 768;
inline constexpr int kChartHeight = 476;

/// Where the curve page shows the chart's title and the indicator's name over the chart, in
/// grey, Arial of 15 pixels bold and of 13 pixels.
inline constexpr QRect kChartTitleLabel{103, 0, 564, 18};
inline constexpr QRect kChartIndicatorLabel{521, 8, 227, 18};
inline constexpr QColor kChartLabelColour{128, 128, 128};

/// The band under a screen chart that holds its caption, when it has one.
inline constexpr int kChartCaptionHeight = 24;

/// Draws the screen chart on `painter`, in pixels; with `labels`, also its title and the
/// indicator's name as the curve page shows them over it, and its caption in a band below.
/// Returns where the chart put its plot.
chart::PlotTransform paintScreenChart(QPainter& painter, const chart::ChartModel& chart,
                                      QColor textColour, bool labels);

/// The chart on one landscape page of `device`, in millimetres from the top-left of the
/// printable area, with its title and the indicator's name, and its caption under it; a
/// portrait device's margins are turned with the page. False when the page could not be drawn.
bool drawChartPage(QPagedPaintDevice& device, const chart::ChartModel& chart);

/// The results page on `device`, portrait: Arial and Courier New at 11 points, black; a report
/// or table too long for the paper continues overleaf. False when the page could not be drawn.
bool drawResultsPage(QPagedPaintDevice& device, std::span<const ReportLine> report,
                     const std::string& table);

/// The screen chart with its title and indicator name, `scale` times the screen's size.
QImage chartImage(const chart::ChartModel& chart, int scale);

/// The chart as a file: PDF is the printed page (A4 landscape, vectors), SVG the screen chart
/// as vectors, PNG the screen chart at twice its size; each with the chart's caption.
QByteArray chartPdf(const chart::ChartModel& chart);
QByteArray chartSvg(const chart::ChartModel& chart);
QByteArray chartPng(const chart::ChartModel& chart);

/// The chart's file formats, each written by one of the three above.
enum class ChartFormat { Pdf, Svg, Png };

/// The format a file's extension names: "pdf", "svg" or "png", in any case; none for another.
std::optional<ChartFormat> chartFormatOf(const QString& extension);

/// The chart as a file of `format`, for the window's saving and the command line alike.
QByteArray chartFile(const chart::ChartModel& input, ChartFormat format);

/// The results as a PDF: the printed page (A4 portrait), with its page breaks; titled with
/// the report's first line.
QByteArray resultsPdf(std::span<const ReportLine> report, const std::string& table);

/// The worksheet as a PDF (A4 portrait), titled `title`: drawWorksheet's pages.
QByteArray worksheetPdf(std::span<const WorksheetProblem> problems, const std::string& title);

/// The table as CSV: the header "Volume (mL),pH", then each row's volume and pH as the table
/// shows them, point as the decimal separator; CR LF line ends.
std::string resultsCsv(const std::string& table);

/// Writes `bytes` to `nativePath`, the file system's own bytes for the name (which need not be
/// UTF-8). A symlink is followed and its target decides: a pipe or a character device
/// (/dev/stdout, /dev/null) is written in place; a regular file or a new name is written whole
/// or not at all, through a new file in the same folder renamed onto it, so an earlier file
/// stays as it was unless the new one is complete; anything else (a folder, a socket, a block
/// device) is refused untouched. None on success, else the system's reason.
std::optional<QString> saveNativeFile(const QByteArray& nativePath, const QByteArray& bytes);
/// The same for a name in Unicode, encoded as the file system expects.
std::optional<QString> saveFile(const QString& path, const QByteArray& bytes);

} // namespace output
