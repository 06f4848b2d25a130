#pragma once
// The window's worksheet command: how many problems and from which seed, then the worksheet
// saved as a PDF or printed, the same pages as the command line's --worksheet makes for the
// same numbers.

#include "app/platform.h"

#include <QDialog>

class QSpinBox;
class QPushButton;

namespace app {

class PrintCommand;

class WorksheetDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(WorksheetDialog)

public:
    WorksheetDialog(QWidget* parent, Platform& platform);

    QSpinBox* problems() const { return problems_; }
    QSpinBox* seed() const { return seed_; }
    QPushButton* printButton() const { return print_; }
    PrintCommand* printCommand() const { return printCommand_; }
    /// Save as PDF…: true when a file was written.
    bool save();
    /// Closes at once, or when a print job under way has ended (it needs the dialog till then).
    void done(int result) override;

private:
    Platform& platform_;
    QSpinBox* problems_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QPushButton* print_ = nullptr;
    PrintCommand* printCommand_ = nullptr;
};

/// The worksheet command, modal over `parent`.
void worksheetCommand(QWidget* parent, Platform& platform);

} // namespace app
