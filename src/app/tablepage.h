#pragma once
// The table-and-results page: the report lines, the table of values, and the two buttons that
// print them and copy them to the clipboard. It shows what the calculation run wrote and reads
// back only what it shows.

#include "app/platform.h"
#include "output/tableprintout.h"
#include "report/calculationrun.h"

#include <QWidget>

#include <array>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace app {
class PrintCommand;
}

namespace app {

class TablePage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(TablePage)

public:
    TablePage(QWidget* parent, Platform& platform);

    void showReport(const report::Report& report);
    QPushButton* printButton() const { return cmdPRINT_; }
    /// The table of values, where the keyboard starts on this page.
    QWidget* firstControl() const;
    PrintCommand* printCommand() const { return print_; }

    void CmdPRINT_Click();
    void CmdCopiar_Click();
    /// Save results as…: PDF (the printed page), text (the clipboard's bytes) or CSV.
    void saveResults();
    /// The page's context menu, at a place on the screen.
    void showMenu(QPoint globalPosition);

private:
    std::array<output::ReportLine, 16> reportLines() const;
    std::array<std::string, report::kReportLines> captions() const;

    Platform& platform_;
    std::array<QLabel*, report::kReportLines> label1_{};
    QPlainTextEdit* text1_ = nullptr;
    QPushButton* cmdCopiar_ = nullptr;
    QPushButton* cmdPRINT_ = nullptr;
    PrintCommand* print_ = nullptr;
    std::string table_; ///< the table text as the run wrote it, CR LF line ends
    QMenu* menu_ = nullptr;
};

} // namespace app
