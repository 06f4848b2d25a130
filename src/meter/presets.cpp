#include "meter/presets.h"

#include <algorithm>
#include <array>

namespace meter {

namespace {

PortSettings settings(int baud, LineEnd end, std::string poll, double pollSeconds, Pick pick)
{
    PortSettings s;
    s.baud = baud;
    s.lineEnd = end;
    s.poll = std::move(poll);
    s.pollSeconds = pollSeconds;
    s.pick = std::move(pick);
    return s;
}

const std::array<Preset, 4>& presetTable()
{
    static const std::array<Preset, 4> table{{
        // Atlas Scientific, "EZO pH Circuit" datasheet V5.9
        // (https://files.atlas-scientific.com/pH_EZO_Datasheet.pdf): UART mode at 9600 baud 8N1
        // by default; every command and answer ends with CR alone; "R" answers one reading
        // ("9.560") after about 900 ms, then "*OK". In continuous mode (the default) a reading
        // comes every second as well; both are read alike.
        {"ezo", "Atlas Scientific EZO pH", settings(9600, LineEnd::CR, "R", 1.0, Pick{1, {}})},
        // Thermo Scientific Orion Star A200-A300 series user manual, p. 67 (computer interface):
        // 9600 baud 8N1, "GETMEAS" with CR answers the command's echo, one comma-separated
        // record and a ">" prompt. The pH is the number between the mode field "pH" and its unit
        // "pH" (the 9th field in A211, A215 and A221 captures; the count varies with the model,
        // so it is found by its neighbours).
        {"orion", "Thermo Orion Star (GETMEAS)",
         settings(9600, LineEnd::CR, "GETMEAS", 2.0,
                  Pick{1, R"((?:^|,)\s*pH\s*,\s*([-+]?\d+(?:\.\d+)?)\s*,\s*pH\s*(?:,|$))"})},
        // DFRobot Gravity pH sensor (SEN0161) sample sketch: "Voltage:2.50    pH value: 7.01";
        // PH-4502C sketches: "pH= 7.01", "PH Value: 7.01", "Value: 7.01 pH". Serial.println
        // ends lines with CR LF (arduino.cc reference, Serial.println). The number after the
        // pH's label, never the last on the line: calibration messages ("Buffer Solution:7.0")
        // are not readings.
        {"arduino", "Arduino pH board (free text)",
         settings(
             9600, LineEnd::CRLF, "", 1.0,
             Pick{
                 1,
                 R"((?:[pP][hH]\s*(?:[vV]alue)?\s*[:=]\s*|[vV]alue\s*[:=]\s*)([-+]?\d+(?:\.\d+)?))"})},
        {"generic", "Any meter: one number per line",
         settings(9600, LineEnd::CRLF, "", 1.0, Pick{1, {}})},
    }};
    return table;
}

} // namespace

std::span<const Preset> presets()
{
    return presetTable();
}

const Preset* presetNamed(std::string_view name)
{
    const auto& table = presetTable();
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const Preset& p) { return p.name == name; });
    return found == table.end() ? nullptr : &*found;
}

std::string describe(const PortSettings& s)
{
    const char parity = s.parity == Parity::None ? 'N' : s.parity == Parity::Even ? 'E' : 'O';
    return std::to_string(s.baud) + " baud " + std::to_string(s.dataBits) + parity +
           std::to_string(s.stopBits);
}

std::string pollBytes(const PortSettings& s)
{
    if (s.poll.empty())
        return {};
    switch (s.lineEnd) {
    case LineEnd::CR:
        return s.poll + '\r';
    case LineEnd::LF:
        return s.poll + '\n';
    case LineEnd::CRLF:
        break;
    }
    return s.poll + "\r\n";
}

} // namespace meter
