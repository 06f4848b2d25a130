#include "app/worksheetcommand.h"

#include "app/cliworksheet.h"
#include "app/printcommand.h"
#include "app/saving.h"
#include "output/writers.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace app {

namespace {

const std::string kTitle = "Titration worksheet";

} // namespace

WorksheetDialog::WorksheetDialog(QWidget* parent, Platform& platform)
    : QDialog(parent), platform_(platform)
{
    setObjectName(QStringLiteral("WorksheetDialog"));
    setWindowTitle(QStringLiteral("Worksheet"));
    problems_ = new QSpinBox(this);
    problems_->setObjectName(QStringLiteral("Problems"));
    problems_->setRange(1, cli::kMostWorksheetProblems);
    problems_->setValue(10);
    seed_ = new QSpinBox(this);
    seed_->setObjectName(QStringLiteral("Seed"));
    seed_->setRange(0, std::numeric_limits<int>::max()); // the seeds a spin box can hold
    seed_->setValue(QRandomGenerator::global()->bounded(1, 1000000));
    auto* rows = new QFormLayout;
    rows->addRow(QStringLiteral("&Problems:"), problems_);
    rows->addRow(QStringLiteral("&Seed:"), seed_);
    auto* note = new QLabel(
        QStringLiteral("The same seed gives the same problems; the answer key is printed on "
                       "pages of its own."),
        this);
    note->setWordWrap(true);
    note->setMinimumWidth(360);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save =
        buttons->addButton(QStringLiteral("Save as PDF…"), QDialogButtonBox::ActionRole);
    print_ = buttons->addButton(QStringLiteral("Print"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &WorksheetDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Printed as the pages are saved, through the same print service as every page.
    printCommand_ = new PrintCommand(print_, platform_,
                                     {QStringLiteral("Sorry, no printer."),
                                      QStringLiteral("Sorry, the worksheet could not be printed."),
                                      QStringLiteral("Acidora - worksheet")},
                                     [this](QPagedPaintDevice& device) {
                                         const auto sheet = cli::worksheetProblems(
                                             problems_->value(), seed_->value());
                                         return output::drawWorksheet(device, sheet, kTitle);
                                     });
    connect(print_, &QPushButton::clicked, printCommand_, &PrintCommand::start);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

bool WorksheetDialog::save()
{
    const int count = problems_->value();
    const auto seed = std::uint32_t(seed_->value());
    return saveWithDialog(
        this, platform_, QStringLiteral("Save worksheet as"),
        fileNameFrom(QStringLiteral("worksheet %1 problems seed %2").arg(count).arg(seed)),
        {{QStringLiteral("PDF document (*.pdf)"), QStringLiteral("pdf")}}, [&](const QString&) {
            return output::worksheetPdf(cli::worksheetProblems(count, seed), kTitle);
        });
}

void WorksheetDialog::done(int result)
{
    if (!printCommand_->busy()) {
        QDialog::done(result);
        return;
    }
    setEnabled(false); // hidden, the dialog would end its own loop and the job with it
    connect(
        printCommand_, &PrintCommand::finished, this, [this, result] { QDialog::done(result); },
        Qt::SingleShotConnection);
}

void worksheetCommand(QWidget* parent, Platform& platform)
{
    WorksheetDialog dialog(parent, platform);
    dialog.exec();
}

} // namespace app
