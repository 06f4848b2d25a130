#pragma once
// The quiz in the window: questions from a seed asked one at a time, each typed answer checked
// and its message shown, with the running score beside them. Enter checks an answer, then goes
// on to the next question; a screen reader hears the grade and the score as they change.

#include "teach/quiz.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

/// How many questions a quiz in the window asks.
inline constexpr int kQuizQuestions = 10;

class QuizDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(QuizDialog)

public:
    QuizDialog(QWidget* parent, std::uint32_t seed, int count = kQuizQuestions);

    std::uint32_t seed() const { return seed_; }
    QLineEdit* answerBox() const { return answer_; }
    QLabel* questionLabel() const { return question_; }
    QLabel* messageLabel() const { return message_; }
    QLabel* scoreLabel() const { return scoreLabel_; }
    /// Grades the typed answer; does nothing once graded or when nothing is typed but say so.
    void check();
    /// The next question, after the current one has been graded.
    void next();
    /// A quiz from another seed, drawn at random.
    void newQuiz();

private:
    void start(std::uint32_t seed);
    void showQuestion();
    /// Sets a label's text and tells a screen reader it changed.
    static void say(QLabel* label, const QString& text);

    std::uint32_t seed_ = 0;
    int count_ = kQuizQuestions;
    std::vector<teach::Question> questions_;
    std::size_t at_ = 0;
    bool graded_ = false;
    teach::Score score_;
    QLabel* seedLabel_ = nullptr;
    QLabel* progress_ = nullptr;
    QLabel* question_ = nullptr;
    QLineEdit* answer_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* scoreLabel_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* new_ = nullptr;
};

/// The quiz, modal over `parent`, from `seed` or else a seed drawn at random.
void openQuiz(QWidget* parent, std::optional<std::uint32_t> seed = std::nullopt);

} // namespace app
