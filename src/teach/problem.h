#pragma once
// Teaching with the program's own titrations: problems drawn from the substance library and
// the four types, and what the program computes of them.
//
//   draw.h      the seeded draws, the same with every compiler
//   problem.h   a titration as the boxes would hold it, drawn or given, and its run
//   exercise.h  "find the unknown": a hidden analyte, the student's brief, the teacher's key,
//               the grade of a student's concentration and substance
//   quiz.h      "predict and choose": short questions, each graded as typed, and a score
//
// Every number a problem states is a box text, and every answer comes from the schematic
// refresh and the calculation run on those texts — the window's and the command line's own
// path — so a key agrees with --report for the same inputs. No Qt; nothing here shows anything.

#include "chem/titration.h"
#include "indicators/schematic.h"
#include "report/calculationrun.h"
#include "report/inputs.h"
#include "report/substances.h"
#include "report/typenames.h"
#include "teach/draw.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teach {

/// A titration as a teacher sets it.
struct Problem
{
    chem::TitrationType type = chem::TitrationType::WeakAcidStrongBase;
    /// The analyte for a weak type, from the library; null for a strong one.
    const report::Substance* substance = nullptr;
    /// The boxes as typed: the concentrations with their significant digits ("0.0500"), the
    /// analyte's volume, and for a weak type the substance's name in the constant box.
    report::BoxTexts boxes;

    double titrantConcentration() const;
    double analyteConcentration() const;
    double analyteVolume() const;
};

/// The titrant by its formula: "NaOH" for an acid, "HCl" for a base.
std::string titrantFormula(chem::TitrationType type);

/// The analyte as a textbook names it: the substance's name, or "HCl" and "NaOH" for the strong
/// types.
std::string analyteName(const Problem& problem);

/// The problem in a sentence, without its period: "25 mL of 0.0873 mol/L acetic acid is titrated
/// with 0.1 mol/L NaOH".
std::string statement(const Problem& problem);

/// A problem from its parts, each as typed; none when a weak type's substance is not in the
/// library as that type's analyte (an acid for a weak acid) or a strong type is given one.
std::optional<Problem> makeProblem(chem::TitrationType type, std::string_view substance,
                                   std::string_view concentration, std::string_view titrant = "0.1",
                                   std::string_view analyteVolume = "25");

/// What the program computes of a problem: the refresh's state (its inputs and the analyte's
/// constants) and the run's report, with its model and equivalence points.
struct Solution
{
    indicators::SchematicState schematic;
    report::Report report;

    const report::TitrationModel& model() const { return *report.model; }
};

/// The refresh and the run on the problem's boxes, without an indicator; none when the run
/// refuses them.
std::optional<Solution> solve(const Problem& problem);

/// The indicators (their catalogue positions, ascending) the verdict rule finds appropriate or
/// very appropriate at `point`.
std::vector<int> suitableIndicators(const report::EquivalencePoint& point);

/// What a drawn problem keeps to.
struct ProblemRange
{
    std::vector<chem::TitrationType> types{report::kTitrationTypes.begin(),
                                           report::kTitrationTypes.end()};
    double lowest = 0.05, highest = 0.15; ///< the analyte's concentration, mol/L
    double titrant = 0.1;                 ///< mol/L
    double analyteVolume = 25;            ///< mL
    double burette = 50;                  ///< mL: every equivalence volume within it
};

/// A problem with its solution.
struct Drawn
{
    Problem problem;
    Solution solution;
};

/// The draws a problem may take before drawProblem gives up.
inline constexpr int kMaxDraws = 1000;

/// Draws a problem in `range`: a type, for a weak one a substance of its kind from the library
/// (each as likely), a concentration to 3 significant digits (each as likely, capped so that the
/// last equivalence point stays within the burette); drawn again until the run accepts it, every
/// equivalence volume lies within the burette and `fits` (when given) accepts it. None after
/// kMaxDraws draws.
std::optional<Drawn> drawProblem(Draw& draw, const ProblemRange& range,
                                 const std::function<bool(const Drawn&)>& fits = {});

} // namespace teach
