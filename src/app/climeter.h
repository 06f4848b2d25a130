#pragma once
// The command line's live readings: a pH meter on a serial port, or a simulated one in the flask
// the inputs describe, listened to (to check a connection) or recorded at the bench, a burette
// volume a line on standard input and the settled pH kept for each. The recording is a readings
// file written as it goes; at the end of input the same analysis as --data's follows. These
// runs need a QCoreApplication: the meter reports on its event loop.

#include "live/source.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <ostream>

class QCommandLineParser;

namespace app::cli {

struct Options;

/// What to do with a meter, and how to reach it.
struct MeterOptions
{
    live::SourceChoice source;
    double settleBand = 0.02, settleSeconds = 5.0; ///< --settle
    double listenSeconds = 0;                      ///< --listen; 0 when recording
    QByteArray recordPath; ///< --record, as the file system's bytes; empty when listening

    /// Neither listening nor recording: the window opens with its live panel on this meter.
    bool inWindow() const { return listenSeconds == 0 && recordPath.isEmpty(); }
};

/// --seed as typed: a whole number from 0 to 4294967295 in digits only; none otherwise.
std::optional<std::uint32_t> seedOf(const QString& typed);

/// The meter's options, which the help lists after the others.
QList<QCommandLineOption> meterOptions();

/// Reads the meter's options into `options.meter` (left empty without --meter), after the
/// inputs and the outputs were read; a usage error's text when they do not fit.
std::optional<QString> readMeter(const QCommandLineParser& parser, Options& options);

/// Reads the seed typed for `option` ("seed", "exercise") into `seed`: a whole number from 0 to
/// 4294967295; else the usage error's text.
std::optional<QString> readSeed(const char* option, const QString& typed, std::uint32_t& seed);

/// Listens to the meter or records from it, on the running QCoreApplication's event loop.
/// Listening: 0 when readings came, 1 when none or the meter failed. Recording: 0 when every
/// volume's reading was kept (lines that are not volumes are told and skipped), 1 when the
/// meter failed, a reading never settled or the file could not be written; then the
/// analysis's own status, as run() gives it, when an action asks for one.
int runMeter(const Options& options, std::ostream& out, std::ostream& err);

} // namespace app::cli
