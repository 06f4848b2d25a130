#include "app/tablepage.h"

#include "app/appinfo.h"
#include "app/chartpage.h"
#include "app/printcommand.h"
#include "app/saving.h"
#include "app/uihelpers.h"
#include "output/writers.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTextBlock>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace app {

namespace {

const QColor kPageBackground(242, 243, 244);

struct LabelPlace
{
    int topPixels;
    bool bold;
};

// The report lines, one column at x = 6.
const LabelPlace kPlaces[16] = {{4, true},    {37, true},   {58, false},  {92, true},
                                {113, false}, {136, false}, {173, true},  {193, false},
                                {231, true},  {251, false}, {285, true},  {305, false},
                                {338, true},  {357, false}, {380, false}, {402, false}};

constexpr int kTwipsPerPixel = 15;

/// Whether the report's lines are those of one point, shown in Label1's fixed places; the
/// readings' section needs the flowing column.
bool hasFixedPlaces(const report::Report& report, const std::vector<std::string>& measured)
{
    return report.lines.size() == report::kReportLines && report.points.size() <= 1 &&
           measured.empty();
}

/// The report with the readings' section in its column, before the table's heading (its last
/// line); the section's title a heading, its leading blank line left to the heading's space.
report::Report withMeasured(report::Report report, const std::vector<std::string>& measured)
{
    if (measured.empty() || report.lines.empty())
        return report;
    const std::ptrdiff_t before = std::ssize(report.lines);
    auto at = report.lines.end() - 1;
    // The report's blank lines at its end would stand between it and the section.
    while (at != report.lines.begin() && (at - 1)->empty())
        at = report.lines.erase(at - 1);
    const std::size_t first = std::size_t(at - report.lines.begin());
    std::vector<std::size_t> headings;
    for (const std::string& line : measured) {
        if (line.empty() && &line == &measured.front())
            continue; // the heading's space stands in for the leading blank line
        if (!line.empty() && line.front() != ' ' && line.back() == ':')
            headings.push_back(std::size_t(at - report.lines.begin()));
        at = report.lines.insert(at, line) + 1;
    }
    // The report's own headings from the table's heading on move with it.
    const std::ptrdiff_t moved = std::ssize(report.lines) - before;
    for (std::size_t& h : report.headings)
        if (h >= first)
            h = std::size_t(std::ptrdiff_t(h) + moved);
    report.headings.insert(report.headings.end(), headings.begin(), headings.end());
    return report;
}

} // namespace

TablePage::TablePage(QWidget* parent, Platform& platform) : QWidget(parent), platform_(platform)
{
    setObjectName(QStringLiteral("FrameTAB"));
    resize(756, 458);
    setBackground(this, kPageBackground);

    for (int i = 0; i < 16; ++i) {
        const LabelPlace& p = kPlaces[i];
        label1_[static_cast<std::size_t>(i)] =
            makeLabel(this, QStringLiteral("Label1(%1)").arg(i), QString(),
                      {6, p.topPixels, 436, 20}, arial(15, p.bold));
    }
    label1_[16] =
        makeLabel(this, QStringLiteral("Label1(16)"), QString::fromLatin1(output::kTableHeading),
                  {443, 7, 305, 18}, arial(15, true));
    const std::pair<int, const char*> fixed[] = {
        {1, "Titrant (burette):"},           {3, "Analyte (erlenmeyer flask): "},
        {6, "Equivalence point:"},           {8, "Range of added titrant volume when error < 1%"},
        {10, "Range of pH when error < 1%"}, {12, "Indicator:"}};
    for (const auto& [i, caption] : fixed)
        label1_[static_cast<std::size_t>(i)]->setText(QString::fromLatin1(caption));

    // The left column of a report with several points; before the table in the keyboard's
    // order.
    reportArea_ = new QScrollArea(this);
    reportArea_->setObjectName(QStringLiteral("ReportLines"));
    reportArea_->setAccessibleName(QStringLiteral("Results"));
    reportArea_->setGeometry(0, 0, 440, 458);
    reportArea_->setFrameShape(QFrame::NoFrame);
    reportArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    reportArea_->setWidgetResizable(true);
    reportArea_->setFocusPolicy(Qt::TabFocus); // a click on its text leaves the focus
    setBackground(reportArea_->viewport(), kPageBackground);
    reportArea_->hide();

    text1_ = new QPlainTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("Table of values"));
    text1_->setGeometry(448, 28, 297, 384);
    QFont courier(QStringLiteral("Courier New"));
    courier.setPixelSize(15);
    courier.setStyleHint(QFont::Monospace);
    text1_->setFont(courier);
    text1_->setReadOnly(true);
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Each row says why its pH is what it is: under the pointer as a tool tip, and at the
    // keyboard's cursor to a screen reader.
    text1_->viewport()->installEventFilter(this);
    connect(text1_, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { text1_->setAccessibleDescription(rowExplanation(text1_->textCursor())); });

    auto* picture3 = new QWidget(this);
    picture3->setObjectName(QStringLiteral("Picture3"));
    picture3->setGeometry(448, 419, 210, 28);
    setBackground(picture3, kPageBackground);
    cmdCopiar_ = new QPushButton(QStringLiteral("Copy"), picture3);
    cmdCopiar_->setObjectName(QStringLiteral("CmdCopiar"));
    cmdCopiar_->setGeometry(0, 0, 100, 25);
    cmdPRINT_ = new QPushButton(QStringLiteral("Print"), picture3);
    cmdPRINT_->setObjectName(QStringLiteral("CmdPRINT"));
    cmdPRINT_->setGeometry(108, 0, 100, 25);
    connect(cmdCopiar_, &QPushButton::clicked, this, &TablePage::CmdCopiar_Click);
    buildMenus();
    print_ =
        new PrintCommand(cmdPRINT_, platform_,
                         {QStringLiteral("Sorry, no printer."),
                          QStringLiteral("Sorry, the table could not be printed."),
                          QStringLiteral("Acidora - table of values")},
                         [this](QPagedPaintDevice& device) {
                             return output::drawResultsPage(device, reportLines(), shown_.table);
                         });
    connect(cmdPRINT_, &QPushButton::clicked, this, &TablePage::CmdPRINT_Click);
}

QString TablePage::rowExplanation(const QTextCursor& cursor) const
{
    if (!shown_.model || shown_.rows.empty())
        return {};
    bool isNumber = false;
    const double volume = cursor.block()
                              .text()
                              .section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty)
                              .toDouble(&isNumber);
    if (!isNumber)
        return {}; // a heading
    // The row's volume unrounded: the nearest of the run's rows.
    const auto nearest = std::min_element(
        shown_.rows.begin(), shown_.rows.end(), [volume](const auto& a, const auto& b) {
            return std::abs(a.first - volume) < std::abs(b.first - volume);
        });
    return explanationText(*shown_.model, nearest->first);
}

bool TablePage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text1_->viewport() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = rowExplanation(text1_->cursorForPosition(help->pos()));
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, text1_->viewport());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TablePage::buildMenus()
{
    menu_ = new QMenu(this);
    QAction* copy =
        menu_->addAction(QStringLiteral("Copy"), this, [this] { copyResults(menu_->pos()); });
    copy->setObjectName(QStringLiteral("mnu_CopyResults"));
    save_ =
        menu_->addAction(QStringLiteral("Save results as\u2026"), this, &TablePage::saveResults);
    save_->setObjectName(QStringLiteral("mnu_SaveResults"));
    save_->setShortcut(QKeySequence::Save); // shown only: the window's key preview handles it
    save_->setShortcutVisibleInContextMenu(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { showMenu(mapToGlobal(at)); });
    text1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(text1_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu* menu = textMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(text1_->viewport()->mapToGlobal(at));
    });
}

QMenu* TablePage::textMenu(QPoint position)
{
    QMenu* menu = text1_->createStandardContextMenu(position);
    menu->setParent(this, menu->windowFlags());
    menu->addSeparator();
    menu->addAction(save_);
    return menu;
}

void TablePage::showReport(const report::Report& report, const QString& fileStem,
                           std::vector<std::string> measured)
{
    fileStem_ = fileStem;
    const bool fixed = hasFixedPlaces(report, measured);
    for (std::size_t i = 0; i + 1 < label1_.size(); ++i)
        label1_[i]->setHidden(!fixed);
    if (fixed) {
        for (std::size_t i = 0; i < report.lines.size(); ++i)
            label1_[i]->setText(QString::fromStdString(report.lines[i]));
    } else {
        if (!report.lines.empty())
            label1_.back()->setText(QString::fromStdString(report.lines.back()));
        // New labels for each report: the screen reader reads the column afresh. A line too
        // wide beside the scroll bar (a long name and formula) wraps and moves the rest down.
        auto* column = new QWidget;
        setBackground(column, kPageBackground);
        const int width = reportArea_->width() - 10 -
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, reportArea_);
        int wrapped = 0;
        int bottom = 0;
        int row = 0;
        for (const output::ReportLine& line :
             output::flowingReportLines(withMeasured(report, measured))) {
            QLabel* label = makeLabel(column, QStringLiteral("ReportLine(%1)").arg(row++),
                                      QString::fromStdString(line.caption),
                                      {6, line.topTwips / kTwipsPerPixel + wrapped, width, 20},
                                      arial(15, line.bold));
            label->setWordWrap(true);
            const int height = std::max(20, label->heightForWidth(width));
            label->resize(width, height);
            wrapped += height - 20;
            bottom = label->geometry().bottom();
        }
        column->setMinimumHeight(bottom + 5);
        reportArea_->setWidget(column); // and the previous report's column goes
    }
    reportArea_->setHidden(fixed);
    // The text box shows the lines; the CR LF text itself is kept for printing and copying.
    text1_->setPlainText(
        QString::fromStdString(report.table).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    shown_ = report;
    measured_ = std::move(measured);
}

std::vector<output::ReportLine> TablePage::reportLines() const
{
    if (!hasFixedPlaces(shown_, measured_))
        return output::flowingReportLines(withMeasured(shown_, measured_));
    std::vector<output::ReportLine> lines;
    for (std::size_t i = 0; i < std::size(kPlaces); ++i)
        lines.push_back({shown_.lines[i], kPlaces[i].bold, kPlaces[i].topPixels * kTwipsPerPixel});
    return lines;
}

std::string TablePage::resultsText() const
{
    return output::resultsText(shown_.lines, shown_.table, measured_);
}

void TablePage::CmdPRINT_Click()
{
    print_->start();
}

QWidget* TablePage::firstControl() const
{
    return text1_;
}

void TablePage::showMenu(QPoint globalPosition)
{
    menu_->popup(globalPosition);
}

void TablePage::saveResults()
{
    saveWithDialog(this, platform_, QStringLiteral("Save results as"),
                   fileNameFrom(fileStem_ + QStringLiteral(" - results")),
                   {{QStringLiteral("PDF document (*.pdf)"), QStringLiteral("pdf")},
                    {QStringLiteral("Text (*.txt)"), QStringLiteral("txt")},
                    {QStringLiteral("CSV table (*.csv)"), QStringLiteral("csv")}},
                   [&](const QString& extension) {
                       if (extension == QLatin1String("pdf"))
                           return output::resultsPdf(reportLines(), shown_.table);
                       if (extension == QLatin1String("csv"))
                           return QByteArray::fromStdString(output::resultsCsv(shown_.table));
                       // A text file ends its lines as text files here do; the clipboard keeps CR
                       // LF.
                       return QByteArray::fromStdString(resultsText()).replace("\r\n", "\n");
                   });
}

void TablePage::CmdCopiar_Click()
{
    copyResults(cmdCopiar_->mapToGlobal(QPoint(0, cmdCopiar_->height())));
}

void TablePage::copyResults(QPoint globalPosition)
{
    const std::string text = resultsText();
    if (platform_.clipboard.setText(QString::fromStdString(text)))
        showCopied(this, globalPosition);
    else
        platform_.messages.show(this, MessageBoxes::Icon::Exclamation, kProgramName,
                                QStringLiteral("Sorry, the clipboard could not be set. "
                                               "Please try again."));
}

} // namespace app
