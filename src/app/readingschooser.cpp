#include "app/readingschooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

ReadingsChooser::ReadingsChooser(const QByteArray& text, const lab::ReadingsLayout& layout,
                                 QWidget* parent)
    : QDialog(parent), text_(text), run_(layout.run)
{
    setObjectName(QStringLiteral("ReadingsChooser"));
    setWindowTitle(tr("Measured data"));
    auto* form = new QFormLayout;
    auto* question =
        new QLabel(layout.runs.size() > 1 ? tr("The file holds several runs. Which one, and which "
                                               "columns hold the volume and the pH?")
                                          : tr("Which columns hold the volume and the pH?"),
                   this);
    question->setWordWrap(true);
    if (layout.runs.size() > 1) {
        runs_ = new QListWidget(this);
        runs_->setObjectName(QStringLiteral("runs"));
        runs_->setAccessibleName(tr("Runs"));
        for (const int run : layout.runs) {
            auto* item = new QListWidgetItem(tr("Run %1").arg(run), runs_);
            item->setData(Qt::UserRole, run);
        }
        runs_->setCurrentRow(int(std::find(layout.runs.begin(), layout.runs.end(), layout.run) -
                                 layout.runs.begin()));
        // Tall enough for a few runs, so that the columns stay near the question.
        runs_->setMaximumHeight(runs_->sizeHintForRow(0) *
                                    int(std::min<std::size_t>(layout.runs.size(), 6)) +
                                2 * runs_->frameWidth() + 4);
        form->addRow(tr("&Run:"), runs_);
        connect(runs_, &QListWidget::currentRowChanged, this,
                [this](int row) { showRun(runs_->item(row)->data(Qt::UserRole).toInt()); });
    }
    const auto columnList = [&](const char* name, const QString& accessible, const QString& label) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString::fromLatin1(name));
        combo->setAccessibleName(accessible);
        for (std::size_t c = 0; c < layout.columns; ++c)
            combo->addItem(
                c < layout.headers.size()
                    ? tr("%1: %2").arg(c + 1).arg(QString::fromStdString(layout.headers[c]))
                    : tr("Column %1").arg(c + 1));
        form->addRow(label, combo);
        return combo;
    };
    volume_ = columnList("volumeColumn", tr("Volume column"), tr("&Volume column:"));
    pH_ = columnList("pHColumn", tr("pH column"), tr("&pH column:"));
    volume_->setCurrentIndex(int(layout.volumeColumn));
    pH_->setCurrentIndex(int(layout.pHColumn));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(question);
    column->addLayout(form);
    column->addWidget(buttons);
}

void ReadingsChooser::showRun(int run)
{
    run_ = run;
    lab::ReadOptions options;
    options.run = run;
    const lab::ReadingsLayout layout = lab::readingsLayout(
        std::string_view(text_.constData(), std::size_t(text_.size())), options);
    volume_->setCurrentIndex(int(layout.volumeColumn));
    pH_->setCurrentIndex(int(layout.pHColumn));
}

lab::ReadOptions ReadingsChooser::options() const
{
    lab::ReadOptions options;
    options.run = run_;
    options.volume.number = std::size_t(volume_->currentIndex() + 1);
    options.pH.number = std::size_t(pH_->currentIndex() + 1);
    return options;
}

} // namespace app
