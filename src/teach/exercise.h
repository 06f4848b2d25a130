#pragma once
// "Find the unknown": an analyte and its concentration drawn from a seed and hidden; the student
// titrates it on the simulated meter, from what the brief tells, and is graded against the truth.
// The same seed gives the whole class the same unknown.

#include "lab/setup.h"
#include "teach/problem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teach {

/// An unknown: 25 mL of a weak acid titrated with 0.1 mol/L NaOH, or of a weak base with
/// 0.1 mol/L HCl.
struct Exercise
{
    std::uint32_t seed = 0;
    Problem problem; ///< the truth, hidden from the student
    Solution solution;
};

/// The unknown of `seed`: a weak acid or base from the library, each as likely, 0.05 to
/// 0.15 mol/L to 3 significant digits; every equivalence point within a 50 mL burette, the first
/// one an indicator shows (its jump gives the concentration whatever the number of protons), and
/// its pH with activities computable for the simulated meter.
/// None only if no draw in kMaxDraws fits, which the library's substances make unlikely beyond
/// counting.
std::optional<Exercise> makeExercise(std::uint32_t seed);

/// How near the true concentration a student's must be, as a share of it.
inline constexpr double kConcentrationTolerance = 0.01;
/// How near each of the unknown's pKa values a guessed substance's must be.
inline constexpr double kPKaTolerance = 0.3;

/// The student's brief, a line a string: the analyte's kind and volume, the titrant and its
/// concentration, and what to find.
std::vector<std::string> briefLines(const Exercise& exercise);

/// The teacher's key, a line a string: the substance with its pKa values, its concentration, the
/// titration and its equivalence points.
std::vector<std::string> keyLines(const Exercise& exercise);

/// The brief as one JSON object: {"titration", "titrant", "analyteVolume"}.
std::string briefJson(const Exercise& exercise);

/// The key as one JSON object: {"substance", "concentration", "titration"}.
std::string keyJson(const Exercise& exercise);

/// The analyte's concentration and constant the student's own setup starts from, which are
/// what is unknown: nominal values — the middle of the concentrations drawn and a constant of
/// 1E-5 — that a fit starts from, never the truth's.
inline constexpr const char* kNominalConcentration = "0.1";
inline constexpr const char* kNominalConstant = "1E-5";

/// The boxes of the student's setup: the titrant and the analyte's volume as the brief tells
/// them, the nominal concentration and constant for the rest.
report::BoxTexts studentBoxes(const Exercise& exercise);

/// The flask of the simulated meter: the truth with activities, as a meter reads it; none when
/// its pH cannot be computed with them (makeExercise never gives such an unknown).
std::optional<lab::Setup> meterFlask(const Exercise& exercise);

/// A student's answer graded.
struct ExerciseGrade
{
    bool concentrationRight = false;
    double relativeError = 0;           ///< (given − true) / true; 0 when none was read
    std::optional<bool> substanceRight; ///< none when no substance was given
    /// The verdict on each part and the truth, in sentences.
    std::string message;

    bool right() const { return concentrationRight && substanceRight.value_or(true); }
};

/// Grades a concentration in mol/L and, when `substance` is not blank, a guess at the substance,
/// each as typed. The concentration is right within `tolerance` of the truth (a share of it);
/// the substance — a name from the library, or its constants ("pKa 4.8"; a bare number is a
/// pKa) — is right when it has as many pKa values as the unknown, each within kPKaTolerance of
/// the unknown's: pKa values are all a titration shows of a substance.
ExerciseGrade gradeExercise(const Exercise& exercise, std::string_view concentration,
                            std::string_view substance = {},
                            double tolerance = kConcentrationTolerance);

} // namespace teach
