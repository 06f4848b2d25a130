#include "teach/quiz.h"

#include "report/json.h"
#include "report/numberreading.h"
#include "report/numbertext.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace teach {

namespace {

/// "a", "a and b", "a, b and c".
std::string listText(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t k = 0; k < items.size(); ++k)
        text += (k == 0 ? "" : k + 1 == items.size() ? " and " : ", ") + items[k];
    return text;
}

/// "3", "1 and 3", or "none".
std::string pointList(const std::vector<int>& points)
{
    std::vector<std::string> numbers;
    for (const int k : points)
        numbers.push_back(std::to_string(k));
    return points.empty() ? "none" : listText(numbers);
}

/// The equivalence volumes: "12.5, 25 and 37.5 mL".
std::string volumeList(const Solution& s)
{
    std::vector<std::string> volumes;
    for (const report::EquivalencePoint& p : s.report.points)
        volumes.push_back(report::NumberText(report::Round(p.volume, 3)));
    return listText(volumes) + " mL";
}

/// The point numbers typed, ascending and each once; none when the text holds neither a number
/// nor "none".
std::optional<std::vector<int>> typedPoints(std::string_view typed)
{
    const std::string text = report::lowerCase(std::string(report::trimmed(typed)));
    if (text == "none")
        return std::vector<int>{};
    std::vector<int> points;
    for (std::size_t i = 0; i < text.size();) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        points.push_back(end - i > 3 ? 1000 : std::stoi(text.substr(i, end - i)));
        i = end;
    }
    if (points.empty())
        return std::nullopt;
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

/// The volumes a textbook asks the pH at: none added, half-way to each point, at each point and
/// a little past the last, within the burette.
std::vector<double> textbookVolumes(const Solution& s)
{
    std::vector<double> volumes{0};
    double before = 0;
    for (const report::EquivalencePoint& p : s.report.points) {
        volumes.push_back((before + p.volume) / 2);
        volumes.push_back(p.volume);
        before = p.volume;
    }
    const double burette = ProblemRange{}.burette;
    for (const double past : {5.0, 1.0})
        if (before + past <= burette) {
            volumes.push_back(before + past);
            break;
        }
    return volumes;
}

/// The points an indicator question may ask about: a choice to make, some indicators suiting
/// the point and most not (a strong acid's long jump suits nearly all).
std::vector<int> choicePoints(const Solution& s)
{
    const auto all = std::size_t(indicators::filledCatalogue().indicatorCount);
    std::vector<int> points;
    for (std::size_t k = 0; k < s.report.points.size(); ++k) {
        const std::size_t suit = suitableIndicators(s.report.points[k]).size();
        if (suit > 0 && 3 * suit <= all)
            points.push_back(int(k) + 1);
    }
    return points;
}

AnswerGrade gradePH(const Question& q, std::string_view typed)
{
    std::string text(report::trimmed(typed));
    if (report::lowerCase(text).starts_with("ph"))
        text = std::string(report::trimmed(std::string_view(text).substr(2)));
    if (text.starts_with('='))
        text = std::string(report::trimmed(std::string_view(text).substr(1)));
    const std::optional<double> pH = report::ReadWholeNumber(text);
    const bool right = pH && std::abs(*pH - q.pH) <= kPHTolerance + 1e-9;
    return {right, std::string(right ? "Right: " : "Wrong: ") + "the pH is " + q.answer +
                       " (within " + report::NumberText(kPHTolerance) + " pH is right)."};
}

AnswerGrade gradeIndicator(const Question& q, std::string_view typed)
{
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    const int k = indicators::findIndicator(catalogue, report::trimmed(typed));
    const std::string suits = "; any of these suits it: " + q.answer + ".";
    if (k == 0)
        return {false,
                "Wrong: '" + std::string(report::trimmed(typed)) + "' is not an indicator" + suits};
    const std::string& name = catalogue.table[std::size_t(k)].name;
    if (std::find(q.expected.begin(), q.expected.end(), k) != q.expected.end())
        return {true, "Right: " + name + " suits the point" + suits};
    return {false, "Wrong: " + name + " does not suit the point" + suits};
}

AnswerGrade gradeNoIndicator(const Question& q, std::string_view typed)
{
    const bool right = typedPoints(typed) == q.expected;
    const std::string said = right ? "Right: " : "Wrong: ";
    if (q.expected.empty())
        return {right, said + "none; an indicator shows each point."};
    return {right, said + "no indicator can show point" + (q.expected.size() > 1 ? "s " : " ") +
                       q.answer + "."};
}

} // namespace

std::optional<Question> pHQuestion(const Problem& problem, const Solution& solution, double volume)
{
    Question q;
    q.kind = QuestionKind::PH;
    q.problem = problem;
    const std::string written = report::NumberText(report::Round(volume, 4));
    q.volume = report::ReadNumber(written);
    const report::PHValue pH = solution.model().pH(q.volume);
    if (pH.failed)
        return std::nullopt;
    q.pH = pH.value;
    q.answer = report::FixedText(q.pH, 2);
    q.question =
        statement(problem) + ". What is the pH " +
        (q.volume == 0 ? "before any " + titrantFormula(problem.type) + " is added?"
                       : "after " + written + " mL of " + titrantFormula(problem.type) + "?");
    return q;
}

std::optional<Question> indicatorQuestion(const Problem& problem, const Solution& solution,
                                          int point)
{
    const auto& points = solution.report.points;
    if (point < 1 || std::size_t(point) > points.size())
        return std::nullopt;
    Question q;
    q.kind = QuestionKind::Indicator;
    q.problem = problem;
    q.point = point;
    q.expected = suitableIndicators(points[std::size_t(point - 1)]);
    if (q.expected.empty())
        return std::nullopt;
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    for (const int k : q.expected)
        q.answer += (q.answer.empty() ? "" : ", ") + catalogue.table[std::size_t(k)].name;
    q.question = statement(problem) + ". Which indicator suits " +
                 (points.size() == 1 ? std::string("the equivalence point")
                                     : "equivalence point " + std::to_string(point)) +
                 "?";
    return q;
}

std::optional<Question> noIndicatorQuestion(const Problem& problem, const Solution& solution)
{
    const auto& points = solution.report.points;
    if (points.size() < 2)
        return std::nullopt;
    Question q;
    q.kind = QuestionKind::NoIndicator;
    q.problem = problem;
    for (std::size_t k = 0; k < points.size(); ++k)
        if (points[k].noIndicatorShows)
            q.expected.push_back(int(k) + 1);
    q.answer = pointList(q.expected);
    q.question = statement(problem) + ", with equivalence points at " + volumeList(solution) +
                 ". Which equivalence point can no indicator show?";
    return q;
}

std::vector<Question> makeQuiz(std::uint32_t seed, int count)
{
    Draw draw(seed);
    std::vector<Question> quiz;
    // A question that cannot be asked of its problem is drawn again, within bounds.
    for (int tries = 0; int(quiz.size()) < count && tries < kMaxDraws; ++tries) {
        const auto kind = QuestionKind(draw.below(3));
        ProblemRange range;
        if (kind == QuestionKind::NoIndicator)
            range.types = {chem::TitrationType::WeakAcidStrongBase,
                           chem::TitrationType::WeakBaseStrongAcid};
        const std::optional<Drawn> d = drawProblem(draw, range, [&](const Drawn& drawn) {
            if (kind == QuestionKind::Indicator)
                return !choicePoints(drawn.solution).empty();
            return kind != QuestionKind::NoIndicator || drawn.solution.report.points.size() > 1;
        });
        if (!d)
            break;
        std::optional<Question> q;
        if (kind == QuestionKind::PH) {
            const std::vector<double> volumes = textbookVolumes(d->solution);
            q = pHQuestion(d->problem, d->solution, volumes[draw.below(unsigned(volumes.size()))]);
        } else if (kind == QuestionKind::Indicator) {
            const std::vector<int> points = choicePoints(d->solution);
            q = indicatorQuestion(d->problem, d->solution,
                                  points[draw.below(unsigned(points.size()))]);
        } else {
            q = noIndicatorQuestion(d->problem, d->solution);
        }
        if (q)
            quiz.push_back(std::move(*q));
    }
    return quiz;
}

AnswerGrade gradeAnswer(const Question& q, std::string_view typed)
{
    switch (q.kind) {
    case QuestionKind::PH:
        return gradePH(q, typed);
    case QuestionKind::Indicator:
        return gradeIndicator(q, typed);
    case QuestionKind::NoIndicator:
        return gradeNoIndicator(q, typed);
    }
    return {};
}

std::string quizJson(const std::vector<Question>& questions)
{
    static const char* const kinds[] = {"pH", "indicator", "no-indicator"};
    report::JsonWriter json;
    json.beginArray(report::JsonWriter::Layout::Lines);
    for (const Question& q : questions)
        json.beginObject()
            .key("kind")
            .string(kinds[int(q.kind)])
            .key("question")
            .string(q.question)
            .key("answer")
            .string(q.answer)
            .end();
    json.end();
    return json.text() + '\n';
}

} // namespace teach
