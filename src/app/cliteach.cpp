#include "app/cliteach.h"

#include "app/cli.h"
#include "app/clioptions.h"
#include "teach/quiz.h"

#include <QCommandLineParser>

namespace app::cli {

namespace {

const OptionText kTeachRows[] = {
    {"exercise", "seed",
     "Find the unknown: prints the student's brief for the unknown this seed (0 to 4294967295) "
     "draws from the substance library, the same for everyone given the seed: 25 mL of a weak "
     "acid titrated with 0.1 mol/L NaOH or of a weak base with 0.1 mol/L HCl, 0.05 to 0.15 "
     "mol/L. With --answers the teacher's key, with --json as one JSON object. With --meter "
     "simulated the unknown is in the meter's flask; a recording is analysed against what the "
     "student knows: the titrant and the volume, and --analyte and --ka or --kb when given "
     "(else 0.1 mol/L and a constant of 1E-5 to start from, its pKa fitted)."},
    {"quiz", "N",
     "Prints N questions (1 to 50) on titrations drawn from the substance library and the four "
     "types: the pH after a volume (right within 0.1 pH), an indicator that suits an "
     "equivalence point, the point no indicator can show. The same --seed, the same questions. "
     "With --answers each with its answer; with --json as a JSON array of {\"kind\", "
     "\"question\", \"answer\"} objects."},
    {"answers", "", "With --exercise or --quiz: the key."},
};

/// What the student is told on the meter, which the exercise sets.
const QStringList kTold{"titration", "titrant", "analyte-volume", "answers"};

std::optional<QString> readQuiz(const QCommandLineParser& p, TeachOptions& t)
{
    const QString typed = p.value(QStringLiteral("quiz"));
    std::uint32_t n = 0;
    if (readSeed("quiz", typed, n) || n < 1 || n > std::uint32_t(teach::kMaxQuestions))
        return "--quiz: '" + typed + "' is not a number of questions from 1 to " +
               QString::number(teach::kMaxQuestions);
    t.quiz = int(n);
    if (p.isSet(QStringLiteral("seed")))
        return readSeed("seed", p.value(QStringLiteral("seed")), t.seed);
    return std::nullopt;
}

/// The exercise, and on the meter the student's setup: what the brief tells, and the
/// analyte's concentration and constant as the student gives them or nominal ones.
std::optional<QString> readExercise(const QCommandLineParser& p, TeachOptions& t, Options& o)
{
    const QString typed = p.value(QStringLiteral("exercise"));
    std::uint32_t seed = 0;
    if (const std::optional<QString> error = readSeed("exercise", typed, seed))
        return error;
    t.exercise = teach::makeExercise(seed);
    if (!t.exercise)
        return "--exercise: no unknown could be drawn from seed " + typed;
    if (!p.isSet(QStringLiteral("meter")))
        return std::nullopt;
    const teach::Exercise& e = *t.exercise;
    const bool base = e.problem.type == chem::TitrationType::WeakBaseStrongAcid;
    if (p.isSet(base ? QStringLiteral("ka") : QStringLiteral("kb")))
        return base ? QStringLiteral("--ka does not apply to exercise %1, a weak base; use --kb")
                          .arg(typed)
                    : QStringLiteral("--kb does not apply to exercise %1, a weak acid; use --ka")
                          .arg(typed);
    const report::BoxTexts student = teach::studentBoxes(e);
    report::BoxTexts& boxes = o.setup.boxes;
    o.setup.type = e.problem.type;
    boxes.TxCBur = student.TxCBur;
    boxes.TxVErl = student.TxVErl;
    if (!p.isSet(QStringLiteral("analyte")))
        boxes.TxCErl = student.TxCErl;
    if (!p.isSet(QStringLiteral("ka")) && !p.isSet(QStringLiteral("kb"))) {
        boxes.TxKaKb = student.TxKaKb;
        o.setup.fitPKa = !p.isSet(QStringLiteral("fit")); // the constant is a start, not a hint
    }
    return std::nullopt;
}

std::string linesText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

std::string quizText(const std::vector<teach::Question>& quiz, bool answers)
{
    std::string text;
    for (std::size_t k = 0; k < quiz.size(); ++k) {
        text += std::to_string(k + 1) + ". " + quiz[k].question + '\n';
        if (answers)
            text += "   Answer: " + quiz[k].answer + '\n';
    }
    return text;
}

} // namespace

QList<QCommandLineOption> teachOptions()
{
    return optionsOf(kTeachRows);
}

std::optional<QString> readTeach(const QCommandLineParser& p, Options& o)
{
    const bool exercise = p.isSet(QStringLiteral("exercise"));
    const bool quiz = p.isSet(QStringLiteral("quiz"));
    if (!exercise && !quiz) {
        if (p.isSet(QStringLiteral("answers")))
            return QStringLiteral("--answers needs --exercise or --quiz");
        return std::nullopt;
    }
    if (exercise && quiz)
        return QStringLiteral("--exercise and --quiz together");
    // What they print is all that goes to standard output; on the meter, the exercise tells the
    // student the titration.
    const QString own = exercise ? QStringLiteral("exercise") : QStringLiteral("quiz");
    QStringList alone{own, QStringLiteral("answers"), QStringLiteral("json")};
    if (quiz)
        alone << QStringLiteral("seed");
    const bool meter = exercise && p.isSet(QStringLiteral("meter"));
    for (const QString& name : p.optionNames())
        if (meter ? kTold.contains(name) : !alone.contains(name))
            return "--" + own + " and --" + name + " together";
    TeachOptions t;
    t.answers = p.isSet(QStringLiteral("answers"));
    const std::optional<QString> error = quiz ? readQuiz(p, t) : readExercise(p, t, o);
    if (!error)
        o.teach = std::move(t);
    return error;
}

int runTeach(const Options& o, std::ostream& out, std::ostream& err)
{
    const TeachOptions& t = *o.teach;
    std::string text;
    if (t.exercise) {
        const teach::Exercise& e = *t.exercise;
        if (o.json)
            text = t.answers ? teach::keyJson(e) : teach::briefJson(e);
        else if (t.answers)
            text = linesText(teach::keyLines(e));
        else
            text = linesText(teach::briefLines(e)) +
                   "  Titrate it on the simulated meter: acidora --meter simulated --exercise " +
                   std::to_string(e.seed) + " --record FILE\n";
    } else {
        const std::vector<teach::Question> quiz = teach::makeQuiz(t.seed, t.quiz);
        if (int(quiz.size()) < t.quiz) {
            err << "acidora: --quiz: only " << quiz.size() << " questions could be drawn\n";
            return 1;
        }
        text = o.json ? teach::quizJson(quiz) : quizText(quiz, t.answers);
    }
    return written(out, text, err) ? 0 : 1;
}

} // namespace app::cli
