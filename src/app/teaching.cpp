#include "app/teaching.h"

#include "app/quizdialog.h"
#include "app/worksheetcommand.h"

#include "app/appinfo.h"
#include "app/inputpage.h"
#include "app/livemode.h"
#include "app/livepanel.h"
#include "app/platform.h"
#include "report/numberreading.h"
#include "session/document.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace app {

namespace {

const QString kPractice = QStringLiteral("Find the unknown");

/// The student's answer as typed: the concentration and the substance; none when cancelled.
std::optional<std::pair<QString, QString>> askAnswerTexts(QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QObject::tr("Find the unknown: your answer"));
    auto* concentration = new QLineEdit(&dialog);
    concentration->setObjectName(QStringLiteral("answerConcentration"));
    auto* substance = new QLineEdit(&dialog);
    substance->setObjectName(QStringLiteral("answerSubstance"));
    substance->setPlaceholderText(QObject::tr("a name, or its pKa (\"pKa 4.8\")"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QObject::tr("The analyte's &concentration (mol/L):"), concentration);
    form->addRow(QObject::tr("The &substance (optional):"), substance);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::pair(concentration->text(), substance->text());
}

/// "The unknown: acetic acid, 0.0873 mol/L".
std::string truthLegend(const teach::Problem& problem)
{
    return "The unknown: " + teach::analyteName(problem) + ", " + problem.boxes.TxCErl + " mol/L";
}

} // namespace

Teaching::Teaching(QWidget* window, session::Document& document, Platform& platform,
                   InputPage& input, LiveMode& live)
    : QObject(window), window_(window), document_(document), platform_(platform), input_(input),
      live_(live), menu_(new QMenu(tr("&Teaching"), window))
{
    menu_->setObjectName(QStringLiteral("mnu_Teaching"));
    QAction* practice =
        menu_->addAction(tr("&Find the unknown\u2026"), this, &Teaching::askExercise);
    practice->setObjectName(QStringLiteral("mnu_FindUnknown"));
    answer_ = menu_->addAction(tr("&Answer\u2026"), this, &Teaching::askAnswer);
    answer_->setObjectName(QStringLiteral("mnu_Answer"));
    menu_->addSeparator();
    menu_->addAction(tr("&Quiz\u2026"), this, [this] { openQuiz(window_); })
        ->setObjectName(QStringLiteral("mnu_Quiz"));
    menu_->addAction(tr("&Worksheet\u2026"), this, [this] { worksheetCommand(window_, platform_); })
        ->setObjectName(QStringLiteral("mnu_Worksheet"));
    updateActions();
}

void Teaching::askExercise()
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(window_, kPractice,
                              tr("The exercise's number, the same for the whole class (blank "
                                 "for any):"),
                              QLineEdit::Normal, QString(), &ok)
            .trimmed();
    if (!ok)
        return;
    std::uint32_t seed = QRandomGenerator::global()->bounded(1u, 10000u);
    if (!text.isEmpty() && text.compare(tr("any"), Qt::CaseInsensitive) != 0) {
        seed = text.toUInt(&ok);
        if (!ok) {
            platform_.messages.show(window_, MessageBoxes::Icon::Exclamation, kProgramName,
                                    tr("\"%1\" is not an exercise's number: give a whole number "
                                       "from 0 to 4294967295, or leave it blank for any.")
                                        .arg(text));
            return;
        }
    }
    QSettings settings;
    const MeterForm remembered = rememberedForm(settings);
    LiveChoice meter;
    meter.settleBand = remembered.settleBand;
    meter.settleSeconds = remembered.settleSeconds;
    practise(seed, meter);
}

bool Teaching::practise(std::uint32_t seed, LiveChoice meter)
{
    const auto refuse = [this](const QString& why) {
        platform_.messages.show(window_, MessageBoxes::Icon::Exclamation, kProgramName, why);
        return false;
    };
    if (live_.panel())
        return refuse(tr("A live run is on: finish it before an exercise."));
    const std::optional<teach::Exercise> e = teach::makeExercise(seed);
    const std::optional<lab::Setup> flask = e ? teach::meterFlask(*e) : std::nullopt;
    if (!flask)
        return refuse(tr("Exercise %1 cannot be made: try another number.").arg(seed));
    // The student's setup: what the brief tells and nominal values for the rest.
    input_.preset(e->problem.type, teach::studentBoxes(*e), 0);
    document_.clearKept();
    meter.source.kind = live::SourceChoice::Kind::Simulated;
    meter.source.truth = *flask;
    meter.source.seed = seed; // the same electrode for the whole class
    meter.exercise = seed;
    if (!live_.start(meter))
        return false;
    exercise_ = e;
    showBrief();
    updateActions();
    return true;
}

void Teaching::showBrief()
{
    LivePanel* panel = live_.panel();
    if (!panel || !exercise_)
        return;
    auto* box = new QWidget;
    brief_ = new QLabel(box);
    brief_->setObjectName(QStringLiteral("practiceBrief"));
    brief_->setWordWrap(true);
    QStringList lines;
    for (const std::string& line : teach::briefLines(*exercise_))
        lines << QString::fromStdString(line).trimmed();
    brief_->setText(lines.join('\n'));
    answerButton_ = new QPushButton(tr("&Answer\u2026"), box);
    answerButton_->setObjectName(QStringLiteral("practiceAnswer"));
    connect(answerButton_, &QPushButton::clicked, this, &Teaching::askAnswer);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(brief_);
    layout->addWidget(answerButton_);
    panel->addBrief(box);
    panel->adjustSize();
}

void Teaching::askAnswer()
{
    if (!exercise_)
        return;
    if (const auto texts = askAnswerTexts(live_.panel() ? live_.panel() : window_))
        answer(texts->first, texts->second);
}

std::optional<teach::ExerciseGrade> Teaching::answer(const QString& concentration,
                                                     const QString& substance)
{
    if (!exercise_)
        return std::nullopt;
    // A slip of the keyboard is not an answer: the truth stays hidden for another try.
    const std::optional<double> typed =
        report::ReadWholeNumber(report::trimmed(concentration.toStdString()));
    if (!typed || !std::isfinite(*typed)) {
        platform_.messages.show(window_, MessageBoxes::Icon::Exclamation, kProgramName,
                                tr("\"%1\" is not a concentration: type it in mol/L, as 0.0875.")
                                    .arg(concentration.trimmed()));
        return std::nullopt;
    }
    const teach::ExerciseGrade grade =
        teach::gradeExercise(*exercise_, concentration.toStdString(), substance.toStdString());
    const teach::Solution& truth = exercise_->solution;
    // Drawn as the meter read it, with activities; the student's curve follows.
    document_.setActivity(teach::meterFlask(*exercise_)->activity);
    document_.keep({exercise_->problem.type,
                    exercise_->problem.boxes,
                    truth.schematic.inputs,
                    truth.schematic.constants,
                    {},
                    truthLegend(exercise_->problem)});
    exercise_.reset();
    updateActions();
    emit truthShown();
    const QString message = QString::fromStdString(grade.message);
    if (brief_)
        brief_->setText(message); // a label's new text reaches a screen reader
    platform_.messages.show(
        window_, grade.right() ? MessageBoxes::Icon::None : MessageBoxes::Icon::Exclamation,
        kProgramName, message);
    return grade;
}

void Teaching::updateActions()
{
    answer_->setEnabled(exercise_.has_value());
    if (answerButton_)
        answerButton_->setEnabled(exercise_.has_value());
}

} // namespace app
