#include "teach/exercise.h"

#include "report/constanttext.h"
#include "report/json.h"
#include "report/numberreading.h"
#include "report/numbertext.h"

#include <algorithm>
#include <cmath>

namespace teach {

namespace {

using chem::TitrationType;

/// "acid" or "base".
std::string kind(const Problem& p)
{
    return chem::titrantIsBase(p.type) ? "acid" : "base";
}

/// "pKa 2.148, 7.198, 12.375".
std::string pKaText(const std::vector<double>& pKa)
{
    std::string text = "pKa ";
    for (std::size_t k = 0; k < pKa.size(); ++k)
        text += (k ? ", " : "") + report::NumberText(pKa[k]);
    return text;
}

/// The pKa values a guess names: a substance of the unknown's kind, or constants; why not,
/// otherwise.
chem::Result<std::vector<double>> guessedPKa(std::string_view typed, bool base)
{
    const std::string_view text = report::trimmed(typed);
    report::ResolvedConstant r = report::resolveConstantText(text, base);
    if (r.refusal.empty() && !r.analyte) // a bare number: the pKa the brief asks for
        r = report::resolveConstantText("pKa " + std::string(text), base);
    if (!r.refusal.empty())
        return chem::Result<std::vector<double>>::failed(r.refusal);
    return chem::Result<std::vector<double>>::success(r.analyte->pKa);
}

/// The sentence on the substance guessed, and whether it is right.
std::pair<bool, std::string> judgeSubstance(const Exercise& e, std::string_view typed)
{
    const std::vector<double>& truth = e.problem.substance->pKa;
    const chem::Result<std::vector<double>> guess =
        guessedPKa(typed, e.problem.type == TitrationType::WeakBaseStrongAcid);
    if (!guess)
        return {false, "Substance: wrong, " + guess.failure + "."};
    const std::vector<double>& pKa = *guess.value;
    const bool right = pKa.size() == truth.size() &&
                       std::equal(pKa.begin(), pKa.end(), truth.begin(), [](double a, double b) {
                           return std::abs(a - b) <= kPKaTolerance + 1e-9;
                       });
    const std::string said =
        "Substance " + std::string(report::trimmed(typed)) + " (" + pKaText(pKa) + "): ";
    if (right)
        return {true, said + "right, within " + report::NumberText(kPKaTolerance) +
                          " of the unknown's pKa."};
    return {false, said + "wrong, the unknown has " + pKaText(truth) + "."};
}

} // namespace

std::optional<Exercise> makeExercise(std::uint32_t seed)
{
    Draw draw(seed);
    ProblemRange range;
    range.types = {TitrationType::WeakAcidStrongBase, TitrationType::WeakBaseStrongAcid};
    // A first jump too small to see would leave the student one that counts several protons,
    // with nothing to tell how many.
    const std::optional<Drawn> drawn = drawProblem(draw, range, [&](const Drawn& d) {
        return !d.solution.report.points.front().noIndicatorShows &&
               meterFlask({seed, d.problem, d.solution});
    });
    if (!drawn)
        return std::nullopt;
    return Exercise{seed, drawn->problem, drawn->solution};
}

std::vector<std::string> briefLines(const Exercise& e)
{
    const Problem& p = e.problem;
    const std::string what = kind(p);
    return {"Exercise " + std::to_string(e.seed) + ": find the unknown",
            "  In the flask: " + p.boxes.TxVErl + " mL of an unknown weak " + what + ".",
            "  In the burette: " + p.boxes.TxCBur + " mol/L " + titrantFormula(p.type) +
                ", up to " + report::NumberText(ProblemRange{}.burette) + " mL.",
            "  Find the " + what + "'s concentration in mol/L (graded within " +
                report::NumberText(100 * kConcentrationTolerance) +
                " %) and, from its pKa, which " + what + " it may be."};
}

std::vector<std::string> keyLines(const Exercise& e)
{
    const Problem& p = e.problem;
    std::string points;
    for (const report::EquivalencePoint& q : e.solution.report.points)
        points += (points.empty() ? "" : ", ") + report::NumberText(report::Round(q.volume, 3)) +
                  " mL (pH " + report::FixedText(q.pH, 2) + ")";
    return {"Exercise " + std::to_string(e.seed) + ": the key",
            "  Substance: " + p.substance->name + " (" + p.substance->formula + "), " +
                pKaText(p.substance->pKa) + (p.substance->base ? " (of its conjugate acid)" : ""),
            "  Concentration: " + p.boxes.TxCErl + " mol/L",
            "  Titration: " + std::string(report::typeNames(p.type).commandName) + ", " +
                p.boxes.TxVErl + " mL with " + p.boxes.TxCBur + " mol/L " + titrantFormula(p.type),
            std::string(e.solution.report.points.size() > 1 ? "  Equivalence points: "
                                                            : "  Equivalence point: ") +
                points};
}

std::string briefJson(const Exercise& e)
{
    report::JsonWriter json;
    json.beginObject()
        .key("titration")
        .string(report::typeNames(e.problem.type).commandName)
        .key("titrant")
        .number(e.problem.titrantConcentration())
        .key("analyteVolume")
        .number(e.problem.analyteVolume())
        .end();
    return json.text() + '\n';
}

std::string keyJson(const Exercise& e)
{
    report::JsonWriter json;
    json.beginObject()
        .key("substance")
        .string(e.problem.substance->name)
        .key("concentration")
        .number(e.problem.analyteConcentration())
        .key("titration")
        .string(report::typeNames(e.problem.type).commandName)
        .end();
    return json.text() + '\n';
}

report::BoxTexts studentBoxes(const Exercise& e)
{
    return {e.problem.boxes.TxCBur, e.problem.boxes.TxVErl, kNominalConcentration,
            kNominalConstant};
}

std::optional<lab::Setup> meterFlask(const Exercise& e)
{
    const lab::Setup flask{e.problem.type, e.solution.schematic.inputs,
                           e.solution.schematic.constants, chem::ActivityModel::Davies};
    return flask.model() ? std::optional(flask) : std::nullopt;
}

ExerciseGrade gradeExercise(const Exercise& e, std::string_view concentration,
                            std::string_view substance, double tolerance)
{
    ExerciseGrade g;
    const double truth = e.problem.analyteConcentration();
    const std::string typed(report::trimmed(concentration));
    const std::optional<double> given = report::ReadWholeNumber(typed);
    if (!given || !std::isfinite(*given)) {
        g.message = "'" + typed + "' is not a concentration in mol/L.";
    } else {
        g.relativeError = (*given - truth) / truth;
        // A hair over the tolerance for the decimal fractions a double cannot hold exactly.
        g.concentrationRight = std::abs(g.relativeError) <= tolerance * (1 + 1e-9);
        g.message = "Concentration " + report::NumberText(*given) +
                    " mol/L: " + (g.concentrationRight ? "right, " : "wrong, ") +
                    report::FixedText(100 * std::abs(g.relativeError), 1) + " % " +
                    (*given < truth ? "below" : "above") + " the truth (within " +
                    report::NumberText(100 * tolerance) + " % is right).";
    }
    if (!report::trimmed(substance).empty()) {
        auto [right, sentence] = judgeSubstance(e, substance);
        g.substanceRight = right;
        g.message += ' ' + sentence;
    }
    g.message += " The unknown was " + e.problem.boxes.TxCErl + " mol/L " +
                 e.problem.substance->name + " (" + pKaText(e.problem.substance->pKa) + ").";
    return g;
}

} // namespace teach
