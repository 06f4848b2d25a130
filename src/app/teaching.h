#pragma once
// The window's teaching commands, in a submenu of the curve page's menu. "Find the unknown": an
// exercise's unknown in the simulated meter's flask, the student's setup on the input page and
// the brief in the live panel; the truth stays hidden (title, legend, report, the run's file)
// until the student answers, when the grade is said and the truth is drawn over the readings.

#include "app/livesetup.h"
#include "teach/exercise.h"

#include <QObject>
#include <QPointer>

#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QWidget;

namespace session {
class Document;
}

namespace app {

class InputPage;
class LiveMode;
struct Platform;

class Teaching : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Teaching)

public:
    Teaching(QWidget* window, session::Document& document, Platform& platform, InputPage& input,
             LiveMode& live);

    /// The submenu, for the curve page's menu; each teaching command is one action in it.
    QMenu* menu() const { return menu_; }

    /// Starts exercise `seed` on the simulated meter, with `meter`'s settle rule and speed;
    /// false, with a message, when a live run is on or the exercise cannot be made.
    bool practise(std::uint32_t seed, LiveChoice meter);
    /// The exercise being practised and not yet answered; none otherwise.
    const std::optional<teach::Exercise>& exercise() const { return exercise_; }
    /// Grades the student's answer, says the grade and draws the truth as a kept curve; none
    /// when no exercise waits for an answer, or (with a message, the exercise still waiting)
    /// when the concentration is not a number.
    std::optional<teach::ExerciseGrade> answer(const QString& concentration,
                                               const QString& substance);

signals:
    /// The truth was drawn: the curve page is shown again.
    void truthShown();

private:
    /// The commands: the exercise's number asked, then the exercise started; the answer asked.
    void askExercise();
    void askAnswer();
    /// The brief and the Answer button, at the top of the live panel.
    void showBrief();
    void updateActions();

    QWidget* window_;
    session::Document& document_;
    Platform& platform_;
    InputPage& input_;
    LiveMode& live_;
    QMenu* menu_ = nullptr;
    QAction* answer_ = nullptr;
    std::optional<teach::Exercise> exercise_;
    QPointer<QLabel> brief_;
    QPointer<QPushButton> answerButton_;
};

} // namespace app
