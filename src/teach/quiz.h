#pragma once
// "Predict and choose": short questions on titrations drawn from the library and the four
// types — the pH after a volume, an indicator for an equivalence point, the point no indicator
// can show — each with its key, graded from the answer as typed; and a running score. The same
// seed gives the same questions.

#include "teach/problem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teach {

enum class QuestionKind {
    PH,          ///< "What is the pH after 12.5 mL of NaOH?"
    Indicator,   ///< "Which indicator suits equivalence point 2?"
    NoIndicator, ///< "Which equivalence point can no indicator show?"
};

/// One question with its key and what grading it needs.
struct Question
{
    QuestionKind kind = QuestionKind::PH;
    Problem problem;
    std::string question; ///< as asked
    std::string answer;   ///< the key: "4.76"; the suitable indicators; "2", "1 and 3" or "none"
    double volume = 0;    ///< PH: the volume of titrant, mL, as the question writes it
    double pH = 0;        ///< PH: the model's pH there, unrounded
    int point = 0;        ///< Indicator: the equivalence point, from 1
    /// Indicator: the catalogue positions of the indicators that suit the point. NoIndicator:
    /// the points no indicator can show.
    std::vector<int> expected;
};

/// A pH within this of the model's is right.
inline constexpr double kPHTolerance = 0.1;
/// The most questions a quiz has.
inline constexpr int kMaxQuestions = 50;

/// The pH after `volume` mL (written as NumberText writes it, and computed at what that text
/// reads); none when the model cannot compute it.
std::optional<Question> pHQuestion(const Problem& problem, const Solution& solution, double volume);

/// The indicator for equivalence point `point` (from 1), by the verdict rule; none when no
/// indicator suits it or there is no such point.
std::optional<Question> indicatorQuestion(const Problem& problem, const Solution& solution,
                                          int point);

/// The equivalence points no indicator can show (the report's verdict); none for an analyte
/// with one point.
std::optional<Question> noIndicatorQuestion(const Problem& problem, const Solution& solution);

/// `count` questions (1 to kMaxQuestions; fewer only if the library offers no problem that
/// fits) from `seed`: each of a kind drawn at random, on a problem drawn for it (ProblemRange's
/// defaults); a pH question at a volume a textbook asks about — none added, half-way to a point,
/// at a point, past the last.
std::vector<Question> makeQuiz(std::uint32_t seed, int count);

/// An answer graded, with the right answer in its message.
struct AnswerGrade
{
    bool right = false;
    std::string message; ///< "Right: …" or "Wrong: …", in a sentence or two
};

/// Grades an answer as typed: a pH (a leading "pH" or "pH =" is allowed; a comma may be the
/// decimal point) within kPHTolerance of the model's; an indicator's name or catalogue number
/// among those that suit; the points' numbers ("2", "1 and 3", "point 2") or "none", all of
/// them and no other.
AnswerGrade gradeAnswer(const Question& question, std::string_view typed);

/// The questions as one JSON array of {"kind", "question", "answer"} objects, one a line.
std::string quizJson(const std::vector<Question>& questions);

/// How many answers were right of how many given.
class Score
{
public:
    void add(const AnswerGrade& grade)
    {
        ++asked_;
        right_ += grade.right ? 1 : 0;
    }
    int asked() const { return asked_; }
    int right() const { return right_; }
    /// "3 of 5 right".
    std::string text() const
    {
        return std::to_string(right_) + " of " + std::to_string(asked_) + " right";
    }

private:
    int asked_ = 0, right_ = 0;
};

} // namespace teach
