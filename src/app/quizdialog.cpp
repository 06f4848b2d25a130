#include "app/quizdialog.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

namespace {

QLabel* wrappedLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

std::uint32_t randomSeed()
{
    return QRandomGenerator::global()->bounded(1u, 1000000u);
}

} // namespace

QuizDialog::QuizDialog(QWidget* parent, std::uint32_t seed, int count)
    : QDialog(parent), count_(std::clamp(count, 1, teach::kMaxQuestions))
{
    setObjectName(QStringLiteral("QuizDialog"));
    setWindowTitle(QStringLiteral("Quiz"));
    auto* top = new QHBoxLayout;
    seedLabel_ = new QLabel(this);
    progress_ = new QLabel(this);
    top->addWidget(progress_);
    top->addStretch();
    top->addWidget(seedLabel_);
    question_ = wrappedLabel(this, QStringLiteral("Question"));
    question_->setMinimumWidth(460);
    QFont bigger = question_->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.15);
    question_->setFont(bigger);
    answer_ = new QLineEdit(this);
    answer_->setObjectName(QStringLiteral("Answer"));
    answer_->setAccessibleName(QStringLiteral("Your answer"));
    answer_->setPlaceholderText(QStringLiteral("Your answer"));
    message_ = wrappedLabel(this, QStringLiteral("Grade"));
    message_->setMinimumHeight(2 * message_->fontMetrics().lineSpacing());
    scoreLabel_ = new QLabel(this);
    scoreLabel_->setObjectName(QStringLiteral("Score"));
    QFont bold = scoreLabel_->font();
    bold.setBold(true);
    scoreLabel_->setFont(bold);

    auto* buttons = new QDialogButtonBox(this);
    check_ = buttons->addButton(QStringLiteral("Check"), QDialogButtonBox::ActionRole);
    next_ = buttons->addButton(QStringLiteral("Next"), QDialogButtonBox::ActionRole);
    new_ = buttons->addButton(QStringLiteral("New quiz"), QDialogButtonBox::ResetRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(check_, &QPushButton::clicked, this, &QuizDialog::check);
    connect(next_, &QPushButton::clicked, this, &QuizDialog::next);
    connect(new_, &QPushButton::clicked, this, &QuizDialog::newQuiz);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(question_);
    layout->addWidget(answer_);
    layout->addWidget(message_);
    layout->addWidget(scoreLabel_);
    layout->addStretch();
    layout->addWidget(buttons);
    start(seed);
}

void QuizDialog::start(std::uint32_t seed)
{
    seed_ = seed;
    questions_ = teach::makeQuiz(seed, count_);
    at_ = 0;
    score_ = {};
    seedLabel_->setText(QStringLiteral("Seed %1").arg(seed));
    say(scoreLabel_, QStringLiteral("Score: ") + QString::fromStdString(score_.text()));
    showQuestion();
}

void QuizDialog::showQuestion()
{
    graded_ = false;
    answer_->clear();
    answer_->setReadOnly(false);
    message_->clear();
    message_->setStyleSheet(QString());
    const bool any = at_ < questions_.size();
    progress_->setText(any ? QStringLiteral("Question %1 of %2").arg(at_ + 1).arg(questions_.size())
                           : QString());
    say(question_, any ? QString::fromStdString(questions_[at_].question)
                       : QStringLiteral("No questions could be made from this seed."));
    check_->setEnabled(any);
    next_->setEnabled(false);
    // Enter checks the answer; after the grade it goes on.
    check_->setDefault(any);
    answer_->setEnabled(any);
    answer_->setFocus();
}

void QuizDialog::check()
{
    if (graded_ || at_ >= questions_.size())
        return;
    if (answer_->text().trimmed().isEmpty()) {
        say(message_, QStringLiteral("Type an answer first."));
        return;
    }
    const teach::AnswerGrade grade =
        teach::gradeAnswer(questions_[at_], answer_->text().toStdString());
    graded_ = true;
    score_.add(grade);
    answer_->setReadOnly(true);
    // Told in words first; the colour only helps the eye.
    message_->setStyleSheet(grade.right ? QStringLiteral("color: #006400")
                                        : QStringLiteral("color: #a00000"));
    say(message_, QString::fromStdString(grade.message));
    const bool last = at_ + 1 >= questions_.size();
    QString score = QStringLiteral("Score: ") + QString::fromStdString(score_.text());
    if (last)
        score += QStringLiteral(". That was the last question.");
    say(scoreLabel_, score);
    check_->setEnabled(false);
    next_->setEnabled(!last);
    (last ? new_ : next_)->setDefault(true);
}

void QuizDialog::next()
{
    if (!graded_ || at_ + 1 >= questions_.size())
        return;
    ++at_;
    showQuestion();
}

void QuizDialog::newQuiz()
{
    std::uint32_t seed = randomSeed();
    while (seed == seed_)
        seed = randomSeed();
    start(seed);
}

void QuizDialog::say(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleName(text);
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void openQuiz(QWidget* parent, std::optional<std::uint32_t> seed)
{
    QuizDialog dialog(parent, seed ? *seed : randomSeed());
    dialog.exec();
}

} // namespace app
