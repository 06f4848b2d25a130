#include "output/tableprintout.h"

#include <algorithm>

namespace output {

namespace {

constexpr double kLeftMm = 12;
constexpr double kTableLeftMm = 16;
constexpr double kTopOffsetMm = 5;
constexpr double kTwipsPerMm = 66;
constexpr double kHeadingMm = 105;
constexpr double kTableTopMm = 112;
constexpr double kTableLineMm = 4;

// The rhythm of the page's fixed places, in pixels of 15 twips.
constexpr int kTwipsPerPixel = 15;
constexpr int kFirstTopPixels = 4;
constexpr int kLinePixels = 21;
constexpr int kHeadingSpacePixels = 12;

} // namespace

std::vector<ReportLine> flowingReportLines(const report::Report& report)
{
    std::vector<ReportLine> column;
    int top = kFirstTopPixels;
    for (std::size_t i = 0; i + 1 < report.lines.size(); ++i) {
        const bool heading = std::ranges::find(report.headings, i) != report.headings.end();
        if (i > 0)
            top += kLinePixels + (heading ? kHeadingSpacePixels : 0);
        column.push_back({report.lines[i], heading, top * kTwipsPerPixel});
    }
    return column;
}

std::vector<PrintedLine> tablePrintout(std::span<const ReportLine> report, const std::string& table,
                                       double printableHeightMm, double lineHeightMm)
{
    std::vector<PrintedLine> lines;
    int page = 0;
    double shift = 0; // how far up the lines of the current page have moved
    const auto place = [&](double x, double y, bool bold, bool monospace, std::string text) {
        if (y - shift + lineHeightMm > printableHeightMm && y - shift > kTopOffsetMm) {
            ++page;
            shift = y - kTopOffsetMm;
        }
        lines.push_back({page, x, y - shift, bold, monospace, std::move(text)});
    };

    // The table's heading stands where the report's next heading would, and no higher than
    // where one point's report leaves room for it.
    double headingMm = kHeadingMm;
    for (const ReportLine& line : report) {
        const double y = line.topTwips / kTwipsPerMm + kTopOffsetMm;
        place(kLeftMm, y, line.bold, false, line.caption);
        headingMm = std::max(headingMm, y + (kLinePixels + kHeadingSpacePixels) * kTwipsPerPixel /
                                                kTwipsPerMm);
    }
    place(kLeftMm, headingMm, true, false, kTableHeading);

    // Only lines closed by CR LF are printed; the bold of the heading stays on.
    std::string rest = table;
    double y = headingMm + (kTableTopMm - kHeadingMm);
    for (;;) {
        const std::size_t end = rest.find("\r\n");
        if (end == std::string::npos)
            break;
        place(kTableLeftMm, y, true, true, rest.substr(0, end));
        rest.erase(0, end + 2);
        y += kTableLineMm;
        if (rest.size() < 3)
            break;
    }
    return lines;
}

std::string clipboardText(const std::vector<std::string>& captions, const std::string& table)
{
    std::string text;
    for (const std::string& caption : captions)
        text += caption + "\r\n";
    return text + table;
}

std::string resultsText(const std::vector<std::string>& captions, const std::string& table,
                        const std::vector<std::string>& measured)
{
    std::string text = clipboardText(captions, table);
    for (const std::string& line : measured)
        text += line + "\r\n";
    return text;
}

} // namespace output
