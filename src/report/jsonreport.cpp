#include "report/jsonreport.h"

#include "report/typenames.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace report {

namespace {

std::string pair(double first, double second)
{
    return '[' + jsonNumber(first) + ", " + jsonNumber(second) + ']';
}

std::string verdictWord(Suitability s)
{
    switch (s) {
    case Suitability::Inappropriate:
        return "\"inappropriate\"";
    case Suitability::Appropriate:
        return "\"appropriate\"";
    case Suitability::VeryAppropriate:
        break;
    }
    return "\"very appropriate\"";
}

} // namespace

std::string jsonNumber(double x)
{
    if (!std::isfinite(x))
        return "null";
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, x).ptr};
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c >= 0 && c < ' ') {
            const char* hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string titrationJson(const CalculationInput& input, const Report& report,
                          std::string_view more)
{
    const chem::TitrationInputs& in = input.inputs;
    const std::optional<AnalyteConstants>& c = input.constants;
    const bool named = c && !c->name.empty();
    std::string json = "{\n  \"titration\": " + jsonString(typeNames(*input.type).commandName) +
                       ",\n  \"titrant\": {\"concentration\": " + jsonNumber(in.titrantConc) +
                       "},\n  \"analyte\": {\"concentration\": " + jsonNumber(in.analyteConc) +
                       ", \"volume\": " + jsonNumber(in.analyteVolume) +
                       ", \"name\": " + (named ? jsonString(c->name) : "null") +
                       ", \"formula\": " + (named ? jsonString(c->formula) : "null") +
                       ", \"pKa\": [";
    const std::vector<double> pKa = analytePKa(*input.type, input.inputs, input.constants);
    for (std::size_t k = 0; k < pKa.size(); ++k)
        json += (k ? ", " : "") + jsonNumber(pKa[k]);
    json += "]},\n  \"equivalencePoints\": [";
    for (std::size_t k = 0; k < report.points.size(); ++k) {
        const EquivalencePoint& p = report.points[k];
        json += std::string(k ? "," : "") + "\n    {\"volume\": " + jsonNumber(p.volume) +
                ", \"pH\": " + jsonNumber(p.pH) +
                ", \"volumeRange\": " + pair(p.volumeLow, p.volumeHigh) +
                ", \"pHRange\": " + pair(p.pHAtLow, p.pHAtHigh) + '}';
    }
    json += "\n  ],\n  \"indicator\": ";
    if (input.indicator && !report.points.empty()) {
        std::string verdicts;
        Suitability best = Suitability::Inappropriate;
        for (const EquivalencePoint& p : report.points) {
            const Suitability s = p.indicator.value_or(Suitability::Inappropriate);
            best = std::max(best, s);
            verdicts += (verdicts.empty() ? "" : ", ") + verdictWord(s);
        }
        json += "{\"name\": " + jsonString(input.indicator->name) +
                ", \"pHRange\": " + pair(input.indicator->pHLow, input.indicator->pHHigh) +
                ", \"verdict\": " + verdictWord(best) + ", \"points\": [" + verdicts + "]}";
    } else {
        json += "null";
    }
    json += ",\n  \"table\": [";
    for (std::size_t k = 0; k < report.rows.size(); ++k)
        json += std::string(k ? "," : "") + "\n    " +
                pair(report.rows[k].first, report.rows[k].second);
    json += "\n  ]";
    if (!more.empty())
        json += ",\n  " + std::string(more);
    return json + "\n}\n";
}

} // namespace report
