#pragma once
// --exercise and --quiz (teach/): an unknown to find, its brief for the student or its key for
// the teacher, and short questions with their key, as text or JSON. Their options, reading and
// printing live here, so that the command line's main unit only hooks them in. With --meter
// simulated, --exercise hands the unknown to the meter and the student's own setup to the
// analysis, which never learns the truth.

#include "teach/exercise.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <ostream>

class QCommandLineParser;

namespace app::cli {

struct Options;

struct TeachOptions
{
    std::optional<teach::Exercise> exercise; ///< --exercise's unknown
    int quiz = 0;                            ///< --quiz: how many questions; 0 for none
    std::uint32_t seed = 1;                  ///< --seed of the quiz
    bool answers = false;                    ///< --answers: the key instead of the brief
};

/// The options of --exercise and --quiz, which the help lists after the meter's.
QList<QCommandLineOption> teachOptions();

/// Reads --exercise, --quiz and --answers (and --seed for a quiz) into `o.teach` (left empty
/// without either), once the inputs and the outputs are in `o`; for an exercise on the meter,
/// puts the student's setup into o.setup. A usage error's text when they do not fit.
std::optional<QString> readTeach(const QCommandLineParser& parser, Options& o);

/// Prints the exercise's brief or key, or the quiz with or without its key: 0 when done, 1 when
/// standard output cannot be written.
int runTeach(const Options& o, std::ostream& out, std::ostream& err);

} // namespace app::cli
