#include "report/table.h"

#include "report/numberreading.h"
#include "report/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace report {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string lastChars(const std::string& text, std::size_t n)
{
    return text.size() <= n ? text : text.substr(text.size() - n);
}

/// Whole part right-aligned in 4 characters, a point, and two decimals: "  24.75".
std::string field(const std::string& sign, double whole, double hundredths)
{
    return lastChars("    " + sign + NumberText(whole), 4) + "." +
           lastChars("  " + NumberText(hundredths + 500), 2);
}

std::string volumeField(double V)
{
    const double W = Int(V);
    return field("", W, Int((V - W) * 100 + 0.5));
}

std::string pHField(double pH)
{
    double q = Round(pH, 2);
    const std::string sign = q < 0 ? "-" : "";
    q = std::fabs(q);
    const double W = Int(q);
    return field(sign, W, Int((q - W) * 100 + 0.5));
}

/// The table's volumes, as the keys that sort them: the text of V + 1000.001, whose four
/// integer digits make text order numeric order. Coarse steps up to `end`, fine ones around
/// each equivalence volume.
std::vector<std::string> tableKeys(const std::vector<double>& veqs, double end)
{
    std::vector<std::string> keys;
    const auto add = [&keys](double V) { keys.push_back(NumberText(V + 1000.001)); };

    const double T = end;
    const double step = T <= 20    ? 1
                        : T <= 40  ? 2
                        : T <= 100 ? 5
                        : T <= 200 ? 10
                        : T <= 400 ? 20
                                   : 50;
    for (double V = 0; V <= T; V += step)
        add(V);

    for (const double veq : veqs) {
        const double R = Int(veq * 20 + 0.5) / 20; // Veq to the nearest 0.05 mL
        const double L = R - 0.3;
        const double U = R + 0.25;
        for (double V = Int(L - 2.0 - 0.5); V <= Int(U + 2.0 + 0.5); V += 1)
            add(V);
        // Repeated addition, as the fine points always were: the last one may fall just past U.
        for (double V = L + 0.05; V <= U; V += 0.05)
            add(V);
    }

    std::sort(keys.begin(), keys.end());
    return keys;
}

} // namespace

double curveEnd(const TitrationModel& model)
{
    return (model.protons() + 1) * model.equivalenceVolumes().front();
}

std::vector<double> tableVolumes(const TitrationModel& model)
{
    double previous = -100;
    std::vector<double> volumes;
    for (const std::string& key : tableKeys(model.equivalenceVolumes(), curveEnd(model))) {
        const double V = ReadNumber(key) - 1000.001;
        if (V == previous)
            continue;
        previous = V;
        volumes.push_back(V);
    }
    return volumes;
}

std::string tableRow(double volume, double pH)
{
    return " " + volumeField(volume) + " " + pHField(pH) + kCrLf;
}

std::string tableText(const std::vector<std::pair<double, double>>& rows)
{
    std::string table = std::string("    Vol.    pH") + kCrLf;
    for (const auto& [volume, pH] : rows)
        table += tableRow(volume, pH);
    return table;
}

std::optional<std::string> curveCsv(const TitrationModel& model, double step)
{
    // The last step by count, so that the sum of many steps cannot miss the end.
    const double last = std::floor(curveEnd(model) / step + 1e-9);
    if (!(step > 0 && last + 1 <= kMaxCurveRows))
        return std::nullopt;
    std::string csv = "Volume (mL),pH" + std::string(kCrLf);
    char text[64];
    for (double k = 0; k <= last; ++k) {
        const double V = std::round(k * step * 1e9) / 1e9; // 0.3, not 0.30000000000000004
        const double pH = std::round(model.pH(V).value * 1000) / 1000 + 0.0; // no -0
        char* end = std::to_chars(text, text + sizeof text, V, std::chars_format::fixed).ptr;
        *end++ = ',';
        end = std::to_chars(end, text + sizeof text, pH, std::chars_format::fixed, 3).ptr;
        csv.append(text, end) += kCrLf;
    }
    return csv;
}

} // namespace report
