#pragma once
// How to talk to a meter: the serial port's settings, what to send to ask for a reading, and
// which number on its lines is the pH; with the settings of the meters students use. No Qt.

#include "meter/lines.h"

#include <span>
#include <string>
#include <string_view>

namespace meter {

enum class Parity { None, Even, Odd };
/// What ends the poll command sent; lines received are cut at any end (LineFramer).
enum class LineEnd { CR, LF, CRLF };

struct PortSettings
{
    std::string port; ///< a path such as /dev/ttyUSB0 or /dev/pts/3
    int baud = 9600;
    int dataBits = 8;
    Parity parity = Parity::None;
    int stopBits = 1;
    LineEnd lineEnd = LineEnd::CRLF;
    std::string poll; ///< sent every pollSeconds, with lineEnd; empty for a free-running meter
    double pollSeconds = 1.0; ///< from kShortestPoll
    Pick pick;

    bool operator==(const PortSettings&) const = default;
};

/// The shortest interval between two poll commands: a meter takes about a second for a reading.
inline constexpr double kShortestPoll = 0.1;

/// A meter the user picks by name rather than setting its port by hand.
struct Preset
{
    std::string_view name;    ///< on the command line: ezo, orion, arduino, generic
    std::string_view caption; ///< in the window
    PortSettings settings;    ///< without a port
};

std::span<const Preset> presets();
/// The preset called `name` (as on the command line), or null.
const Preset* presetNamed(std::string_view name);

/// "9600 baud 8N1".
std::string describe(const PortSettings& settings);
/// The poll command with its line end, as sent; empty for none.
std::string pollBytes(const PortSettings& settings);

} // namespace meter
