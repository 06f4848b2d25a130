#include "report/calculationrun.h"

#include "report/acceptance.h"
#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/typenames.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace report {

namespace {

using chem::TitrationType;

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

/// The constant's text as the report line shows it: one blank for each control character (a
/// pasted line break must not add lines to the report), trimmed, upper case.
std::string trimmedUpper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        if (c >= 0 && c < ' ')
            return ' ';
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    });
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string N(double x)
{
    return NumberText(x);
}

std::string S(double x)
{
    return SignedNumberText(x);
}

/// The table's volumes, as the keys that sort them: the text of V + 1000.001, whose four
/// integer digits make text order numeric order.
std::vector<std::string> tableKeys(double veq)
{
    std::vector<std::string> keys;
    const auto add = [&keys](double V) { keys.push_back(NumberText(V + 1000.001)); };

    const double T = veq + veq;
    const double step = T <= 20    ? 1
                        : T <= 40  ? 2
                        : T <= 100 ? 5
                        : T <= 200 ? 10
                        : T <= 400 ? 20
                                   : 50;
    for (double V = 0; V <= T; V += step)
        add(V);

    const double R = Int(veq * 20 + 0.5) / 20; // Veq to the nearest 0.05 mL
    const double L = R - 0.3;
    const double U = R + 0.25;
    for (double V = Int(L - 2.0 - 0.5); V <= Int(U + 2.0 + 0.5); V += 1)
        add(V);
    // Repeated addition, as the fine points always were: the last one may fall just past U.
    for (double V = L + 0.05; V <= U; V += 0.05)
        add(V);

    std::sort(keys.begin(), keys.end());
    return keys;
}

} // namespace

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return text;
}

std::string titrationTitle(chem::TitrationType type)
{
    return typeNames(type).title;
}

std::string titrationFileStem(chem::TitrationType type, const chem::TitrationInputs& in)
{
    return std::string(typeNames(type).analyte) + ' ' + N(in.analyteConc) + " M " +
           N(in.analyteVolume) + " mL";
}

std::string titrationCaption(chem::TitrationType type, const chem::TitrationInputs& in,
                             const std::string& constantText)
{
    const TypeNames& names = typeNames(type);
    std::string text =
        N(in.analyteVolume) + " mL of " + names.analyte + ' ' + N(in.analyteConc) + " mol/L, ";
    if (chem::isWeak(type))
        text += std::string(type == TitrationType::WeakAcidStrongBase ? "Ka " : "Kb ") +
                trimmedUpper(constantText) + ", ";
    return text + "titrated with " + names.titrant + ' ' + N(in.titrantConc) + " mol/L";
}

double equivalenceVolume(const chem::TitrationInputs& in)
{
    return (in.analyteVolume * in.analyteConc) / in.titrantConc;
}

std::string tableRow(double volume, double pH)
{
    return " " + volumeField(volume) + " " + pHField(pH) + kCrLf;
}

std::optional<std::string> curveCsv(TitrationType type, const chem::TitrationInputs& inputs,
                                    double step)
{
    // The last step by count, so that the sum of many steps cannot miss twice Veq.
    const double last = std::floor(2 * equivalenceVolume(inputs) / step + 1e-9);
    if (!(step > 0 && last + 1 <= kMaxCurveRows))
        return std::nullopt;
    std::string csv = "Volume (mL),pH" + std::string(kCrLf);
    char text[64];
    for (double k = 0; k <= last; ++k) {
        const double V = std::round(k * step * 1e9) / 1e9; // 0.3, not 0.30000000000000004
        const double pH = std::round(chem::Get_pH(type, inputs, V) * 1000) / 1000 + 0.0; // no -0
        char* end = std::to_chars(text, text + sizeof text, V, std::chars_format::fixed).ptr;
        *end++ = ',';
        end = std::to_chars(end, text + sizeof text, pH, std::chars_format::fixed, 3).ptr;
        csv.append(text, end) += kCrLf;
    }
    return csv;
}

std::optional<Report> runCalculation(const CalculationInput& input)
{
    const chem::TitrationInputs& in = input.inputs;
    if (checkTitration(input.type, in, input.calcErrorFlag))
        return std::nullopt;
    const TitrationType type = *input.type;
    const double veq = equivalenceVolume(in);

    const auto pH = [&](double V) { return chem::Get_pH(type, in, V); };
    Report r;
    auto& L = r.lines;
    L[1] = "Titrant (burette):";
    L[3] = "Analyte (erlenmeyer flask): ";
    L[6] = "Equivalence point:";
    L[8] = "Range of added titrant volume when error < 1%";
    L[10] = "Range of pH when error < 1%";
    L[12] = "Indicator:";
    L[16] = "Table of values (added Vol. [mL] and pH)";

    L[0] = titrationTitle(type);

    const bool base = chem::titrantIsBase(type);
    const double titrantPH = chem::titrantAlonePH(type, in.titrantConc);
    L[2] = std::string(base ? "  Strong base concentration " : "  Strong acid concentration ") +
           N(in.titrantConc) + " mol/L.  pH = " + S(Round(titrantPH, 2));

    // The weak-base line alone starts without the two blanks.
    L[4] = std::string(type == TitrationType::WeakBaseStrongAcid ? "" : "  ") +
           N(in.analyteVolume) + " mL of " + typeNames(type).analyte + ". Concentration " +
           N(in.analyteConc) + " mol/L.  pH = " +
           S(Round(chem::analyteAlonePH(type, in.analyteConc, in.dissociationConstant), 2));
    if (type == TitrationType::WeakAcidStrongBase)
        L[5] = "  Acidity constant Ka = " + trimmedUpper(input.constantText);
    else if (type == TitrationType::WeakBaseStrongAcid)
        L[5] = "  Basicity constant Kb = " + trimmedUpper(input.constantText);

    L[7] = "  Volume added  " + N(Round(veq, 2)) + " mL,  pH = " + N(Round(pH(veq), 3));
    L[9] = "  [ " + N(Round(0.99 * veq, 2)) + " ,  " + N(Round(1.01 * veq, 2)) + " ] mL";
    L[11] = "  [ " + N(Round(pH(1.01 * veq), 2)) + " ,  " + N(Round(pH(0.99 * veq), 2)) + " ]";

    if (input.indicator) {
        const IndicatorInfo& k = *input.indicator;
        L[13] = "  " + k.name + "  [" + lowerCase(input.verdictCaption) + "]";
        L[15] = "  pH range:  [ " + N(k.pHLow) + " ,  " + N(k.pHHigh) + " ]";
        L[14] = "  Colour change: " + k.acidColourName + " (acid)  -  " + k.basicColourName +
                " (basic)";
    } else {
        L[13] = "No indicator";
    }

    r.table = std::string("    Vol.    pH") + kCrLf;
    double previous = -100;
    for (const std::string& key : tableKeys(veq)) {
        const double V = ReadNumber(key) - 1000.001;
        if (V == previous)
            continue;
        previous = V;
        r.table += tableRow(V, pH(V));
    }
    return r;
}

} // namespace report
