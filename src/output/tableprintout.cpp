#include "output/tableprintout.h"

namespace output {

namespace {

constexpr double kLeftMm = 12;
constexpr double kTableLeftMm = 16;
constexpr double kTopOffsetMm = 5;
constexpr double kTwipsPerMm = 66;
constexpr double kHeadingMm = 105;
constexpr double kTableTopMm = 112;
constexpr double kTableLineMm = 4;

} // namespace

std::vector<PrintedLine> tablePrintout(const std::array<ReportLine, 16>& report,
                                       const std::string& table, double printableHeightMm,
                                       double lineHeightMm)
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

    for (const ReportLine& line : report)
        place(kLeftMm, line.topTwips / kTwipsPerMm + kTopOffsetMm, line.bold, false, line.caption);
    place(kLeftMm, kHeadingMm, true, false, kTableHeading);

    // Only lines closed by CR LF are printed; the bold of the heading stays on.
    std::string rest = table;
    double y = kTableTopMm;
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

} // namespace output
