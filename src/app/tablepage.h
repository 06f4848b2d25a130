#pragma once
// The table-and-results page: the report lines, the table of values, and the two buttons that
// print them and copy them to the clipboard. It shows what the calculation run wrote and reads
// back only what it shows.

#include "app/platform.h"
#include "output/tableprintout.h"
#include "report/calculationrun.h"

#include <QWidget>

#include <array>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTextCursor;

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

    /// Shows a run's report; `fileStem` names the files it is saved to ("weak acid 0.1 M 25 mL").
    /// `measured` (the readings' section) follows the report on the page and on paper, and the
    /// table in the copied and saved text.
    void showReport(const report::Report& report, const QString& fileStem,
                    std::vector<std::string> measured = {});
    QPushButton* printButton() const { return cmdPRINT_; }
    /// The table of values, where the keyboard starts on this page.
    QWidget* firstControl() const;
    PrintCommand* printCommand() const { return print_; }

    void CmdPRINT_Click();
    void CmdCopiar_Click();
    /// Save results as…: PDF (the printed page), text (the clipboard's bytes) or CSV.
    void saveResults();
    /// The page's context menu (Copy, Save results as…), at a place on the screen.
    void showMenu(QPoint globalPosition);
    /// The table text's own menu (Copy, Select All) with Save results as… beside it; the
    /// caller owns it.
    QMenu* textMenu(QPoint position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Why the pH of the table's row at the text `cursor` is what it is; "" off the rows.
    QString rowExplanation(const QTextCursor& cursor) const;
    /// The page's menu (Copy, Save results as…) and the table text's, on a right click.
    void buildMenus();
    /// The results to the clipboard, "Copied" shown briefly at `globalPosition`.
    void copyResults(QPoint globalPosition);
    /// The report's left column as shown, with each line's weight and place.
    std::vector<output::ReportLine> reportLines() const;
    /// The text copied and saved: the report, the table, then the readings' section.
    std::string resultsText() const;

    Platform& platform_;
    std::array<QLabel*, report::kReportLines> label1_{};
    /// The left column of a report too long for Label1's fixed places, scrolled when it is
    /// longer than the page; hidden otherwise.
    QScrollArea* reportArea_ = nullptr;
    QPlainTextEdit* text1_ = nullptr;
    QPushButton* cmdCopiar_ = nullptr;
    QPushButton* cmdPRINT_ = nullptr;
    PrintCommand* print_ = nullptr;
    report::Report shown_; ///< what the labels and the text box show; the table with CR LF
    std::vector<std::string> measured_;
    QString fileStem_;
    QMenu* menu_ = nullptr;
    QAction* save_ = nullptr;
};

} // namespace app
