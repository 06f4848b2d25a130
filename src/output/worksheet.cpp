#include "output/worksheet.h"

#include "output/qtdrawingsurface.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace output {

namespace {

constexpr double kMarginMm = 12; // from the paper's edge, where the printer allows less
constexpr double kHeaderMm = 13; // the title and the name's line, a rule under them
constexpr double kFooterMm = 7;
constexpr double kGapMm = 2.5;         // between the parts of a problem
constexpr double kRoomMm = 9;          // under a question, a line to write the answer on
constexpr double kBetweenMm = 5;       // between two problems, a rule half way
constexpr double kNameLineMm = 60;     // the line for the student's name
constexpr double kLowestPanelMm = 50;  // a curve or grid still read to 0.2 pH
constexpr double kHighestPanelMm = 95; // taller only stretches the curve

constexpr chart::Colour kWritingLine = indicators::rgb(150, 150, 150);
constexpr chart::Colour kRuleColour = indicators::rgb(0, 0, 0);

struct Font
{
    double points = 10.5;
    bool bold = false;
};
constexpr Font kTitleFont{14, true}, kProblemFont{12, true}, kTextFont{10.5, false};
constexpr Font kFootFont{9, false};

/// Something a page shows, in millimetres from the top-left of the printable area.
struct Item
{
    enum class Kind { Text, Rule, Panel };
    Kind kind = Kind::Text;
    int page = 0;
    double x = 0, y = 0, width = 0, height = 0; ///< a rule runs from x to x + width at y
    std::string text;
    Font font;
    chart::Colour colour = kRuleColour;
    const WorksheetProblem* problem = nullptr; ///< a panel's
};

/// The pages laid out, before anything is drawn, so that every foot can count them.
class Pages
{
public:
    Pages(chart::DrawingSurface& s, double left, double top, double right, double bottom,
          std::string title)
        : s_(s), left_(left), top_(top), right_(right), bottom_(bottom - kFooterMm),
          title_(std::move(title))
    {}

    /// Places `p`; `partner`, when given, shares its page, and the two panels are as high.
    void problem(const WorksheetProblem& p, const WorksheetProblem* partner);
    void key(std::span<const WorksheetProblem> problems);
    std::vector<Item> items;
    int count() const { return page_ + 1; }

private:
    void addText(double x, double y, std::string text, Font font)
    {
        items.push_back({Item::Kind::Text, page_, x, y, 0, 0, std::move(text), font});
    }
    void addRule(double x, double y, double width, chart::Colour colour = kRuleColour)
    {
        items.push_back({Item::Kind::Rule, page_, x, y, width, 0, {}, {}, colour});
    }
    void newPage(bool nameLine);
    /// Starts a new page unless `height` fits under y (or y is at the top already).
    void room(double height, bool nameLine);
    double lineHeight(Font font);
    std::vector<std::string> wrap(const std::string& text, Font font, double width);
    /// `text`, wrapped, `indent` in: its height, or with `place` also placed under y.
    double text(const std::string& text, Font font, double indent, bool place);
    /// A numbered line (a question or an answer), the number hanging: its height, or placed.
    double numbered(int number, const std::string& text, bool place);
    double problemText(const WorksheetProblem& p);

    chart::DrawingSurface& s_;
    double left_, top_, right_, bottom_;
    std::string title_;
    int page_ = -1;
    double y_ = 0;
};

double Pages::lineHeight(Font font)
{
    s_.setFontSize(font.points);
    s_.setFontBold(font.bold);
    return s_.TextHeight("Ag");
}

std::vector<std::string> Pages::wrap(const std::string& text, Font font, double width)
{
    s_.setFontSize(font.points);
    s_.setFontBold(font.bold);
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        const std::string longer = line.empty() ? word : line + ' ' + word;
        if (!line.empty() && s_.TextWidth(longer) > width) {
            lines.push_back(line);
            line = word; // a word wider than the page stays whole
        } else {
            line = longer;
        }
        at = end + 1;
    }
    lines.push_back(line);
    return lines;
}

double Pages::text(const std::string& text, Font font, double indent, bool place)
{
    const double L = lineHeight(font);
    const std::vector<std::string> lines = wrap(text, font, right_ - left_ - indent);
    if (place)
        for (std::size_t i = 0; i < lines.size(); ++i)
            addText(left_ + indent, y_ + double(i) * L, lines[i], font);
    return double(lines.size()) * L;
}

double Pages::numbered(int number, const std::string& line, bool place)
{
    lineHeight(kTextFont);
    const double indent = s_.TextWidth("00. ");
    if (place)
        addText(left_, y_, std::to_string(number) + '.', kTextFont);
    return text(line, kTextFont, indent, place);
}

void Pages::newPage(bool nameLine)
{
    ++page_;
    const double nameLeft = right_ - kNameLineMm;
    const Font name = kTextFont;
    y_ = top_;
    // The title keeps clear of the name's line.
    const double titleWidth = nameLine ? nameLeft - left_ - 30 : right_ - left_;
    const std::string title = wrap(title_, kTitleFont, titleWidth).front();
    addText(left_, top_, title, kTitleFont);
    if (nameLine) {
        const double baseline = top_ + lineHeight(kTitleFont) - 1.5;
        lineHeight(name);
        const double nameWidth = s_.TextWidth("Name: ");
        addText(nameLeft - nameWidth, baseline - lineHeight(name) + 1, "Name:", name);
        addRule(nameLeft, baseline, kNameLineMm);
    }
    addRule(left_, top_ + kHeaderMm - 3, right_ - left_);
    y_ = top_ + kHeaderMm;
}

void Pages::room(double height, bool nameLine)
{
    if (page_ < 0 || (y_ + height > bottom_ && y_ > top_ + kHeaderMm))
        newPage(nameLine);
}

double Pages::problemText(const WorksheetProblem& p)
{
    double height = text(p.title, kProblemFont, 0, false) + kGapMm;
    for (const std::string& line : p.given)
        height += text(line, kTextFont, 0, false);
    height += 2 * kGapMm;
    for (std::size_t q = 0; q < p.questions.size(); ++q)
        height += numbered(int(q) + 1, p.questions[q], false) + kRoomMm;
    return height;
}

void Pages::problem(const WorksheetProblem& p, const WorksheetProblem* partner)
{
    // Two problems of the usual length fill a page; the panels share what their text leaves.
    const double words = problemText(p);
    const double body = bottom_ - top_ - kHeaderMm - kBetweenMm;
    const double left = partner ? (body - words - problemText(*partner)) / 2 : body / 2 - words;
    const double panel = std::clamp(left, kLowestPanelMm, kHighestPanelMm);
    const bool first = page_ < 0 || y_ <= top_ + kHeaderMm;
    room((first ? 0 : kBetweenMm) + words + panel, true);
    if (y_ > top_ + kHeaderMm) {
        addRule(left_, y_ + kBetweenMm / 2, right_ - left_, kWritingLine);
        y_ += kBetweenMm;
    }
    y_ += text(p.title, kProblemFont, 0, true) + kGapMm;
    for (const std::string& line : p.given) {
        room(lineHeight(kTextFont), true);
        y_ += text(line, kTextFont, 0, true);
    }
    y_ += kGapMm;
    room(panel, true);
    items.push_back({Item::Kind::Panel, page_, left_, y_, right_ - left_, panel, {}, {}, {}, &p});
    y_ += panel + kGapMm;
    for (std::size_t q = 0; q < p.questions.size(); ++q) {
        room(numbered(int(q) + 1, p.questions[q], false) + kRoomMm, true);
        y_ += numbered(int(q) + 1, p.questions[q], true);
        const double indent = s_.TextWidth("00. ");
        addRule(left_ + indent, y_ + kRoomMm - 2, right_ - left_ - indent, kWritingLine);
        y_ += kRoomMm;
    }
}

void Pages::key(std::span<const WorksheetProblem> problems)
{
    newPage(false);
    y_ += text("Answer key", kTitleFont, 0, true) + kGapMm;
    for (const WorksheetProblem& p : problems) {
        double height = text(p.title, kProblemFont, 0, false) + 2 * kGapMm;
        for (std::size_t a = 0; a < p.answers.size(); ++a)
            height += numbered(int(a) + 1, p.answers[a], false);
        room(height, false);
        y_ += kGapMm;
        y_ += text(p.title, kProblemFont, 0, true) + kGapMm / 2;
        for (std::size_t a = 0; a < p.answers.size(); ++a) {
            room(numbered(int(a) + 1, p.answers[a], false), false);
            y_ += numbered(int(a) + 1, p.answers[a], true);
        }
    }
}

/// The curve, drawn without its points' marks, or the empty grid, in the panel's box.
void drawPanel(QPainter& painter, double scale, const Item& panel)
{
    painter.save();
    painter.translate(panel.x * scale, panel.y * scale);
    QtDrawingSurface surface(painter, scale, Qt::black);
    const chart::ChartGeometry g = chart::ChartGeometry::paperPanel(panel.width, panel.height);
    if (const std::optional<chart::ChartModel>& curve = panel.problem->curve) {
        chart::ChartContents unmarked;
        unmarked.markPoints = false;
        chart::drawChart(surface, g, chart::ChartModel(curve->model(), curve->points(), unmarked));
    } else {
        chart::drawSketchGrid(surface, g, panel.problem->lastVolume);
    }
    painter.restore();
}

void drawItem(QPainter& painter, QtDrawingSurface& surface, const Item& item)
{
    const double scale = painter.device()->logicalDpiX() / 25.4;
    switch (item.kind) {
    case Item::Kind::Text:
        surface.setFontSize(item.font.points);
        surface.setFontBold(item.font.bold);
        surface.setCurrentX(item.x);
        surface.setCurrentY(item.y);
        surface.Print(item.text);
        break;
    case Item::Kind::Rule:
        surface.setDrawWidth(std::max(1, int(0.2 * scale)));
        surface.Line(item.x, item.y, item.x + item.width, item.y, item.colour);
        break;
    case Item::Kind::Panel:
        drawPanel(painter, scale, item);
        break;
    }
}

} // namespace

bool drawWorksheet(QPagedPaintDevice& device, std::span<const WorksheetProblem> problems,
                   const std::string& title)
{
    device.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double scale = device.logicalDpiX() / 25.4;
    QtDrawingSurface surface(painter, scale, Qt::black);
    surface.setFontName("Arial");
    surface.setFontItalic(false);
    // The painter's origin is the printable area's corner; the text keeps kMarginMm from the
    // paper's edges where the printer would allow less.
    const QPageLayout layout = device.pageLayout();
    const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
    const QRectF full = layout.fullRect(QPageLayout::Millimeter);
    const auto inset = [](double printerMargin) {
        return std::max(0.0, kMarginMm - printerMargin);
    };
    const QRectF box(QPointF(inset(paint.left()), inset(paint.top())),
                     QPointF(paint.width() - inset(full.right() - paint.right()),
                             paint.height() - inset(full.bottom() - paint.bottom())));
    Pages pages(surface, box.left(), box.top(), box.right(), box.bottom(), title);
    for (std::size_t i = 0; i < problems.size(); ++i)
        pages.problem(problems[i], (i ^ 1) < problems.size() ? &problems[i ^ 1] : nullptr);
    pages.key(problems);

    int page = 0;
    const auto foot = [&] {
        const std::string text =
            "Page " + std::to_string(page + 1) + " of " + std::to_string(pages.count());
        surface.setFontSize(kFootFont.points);
        surface.setFontBold(kFootFont.bold);
        const double x = box.center().x() - surface.TextWidth(text) / 2;
        drawItem(
            painter, surface,
            {Item::Kind::Text, page, x, box.bottom() - kFooterMm / 2 - 2, 0, 0, text, kFootFont});
    };
    for (const Item& item : pages.items) {
        for (; page < item.page; ++page) {
            foot();
            device.newPage();
        }
        drawItem(painter, surface, item);
    }
    foot();
    return painter.end();
}

} // namespace output
