#include "report/calculationrun.h"

#include "report/acceptance.h"
#include "report/constanttext.h"
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
std::string trimmedUpper(const std::string& text)
{
    std::string shown(trimmed(oneLine(text)));
    std::transform(shown.begin(), shown.end(), shown.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return shown;
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

/// The analyte's words in a caption or file name: its name when chosen by name.
std::string analyteWords(chem::TitrationType type, const std::optional<AnalyteConstants>& c)
{
    return c && !c->name.empty() ? c->name : std::string(typeNames(type).analyte);
}

/// pKa values as a list: "2.15, 7.2, 12.35".
std::string pKaList(const std::vector<double>& pKa)
{
    std::string text;
    for (const double p : pKa)
        text += (text.empty() ? "" : ", ") + N(Round(p, 3));
    return text;
}

/// "point 2", "points 1, 3".
std::string pointList(const std::vector<std::size_t>& points)
{
    std::string text = points.size() == 1 ? "point " : "points ";
    for (std::size_t i = 0; i < points.size(); ++i)
        text += (i ? ", " : "") + std::to_string(points[i]);
    return text;
}

/// The report of an analyte with several equivalence points: as many lines as it needs.
void severalPointsReport(const CalculationInput& input, const TitrationModel& model, Report& r)
{
    const chem::TitrationInputs& in = input.inputs;
    const TitrationType type = model.type();
    const bool base = type == TitrationType::WeakBaseStrongAcid;
    const AnalyteConstants& c = *input.constants;
    auto& L = r.lines;
    const auto heading = [&](std::string text) {
        r.headings.push_back(L.size());
        L.push_back(std::move(text));
    };

    heading(titrationTitle(type));
    heading("Titrant (burette):");
    L.push_back(
        std::string(base ? "  Strong acid concentration " : "  Strong base concentration ") +
        N(in.titrantConc) +
        " mol/L.  pH = " + S(Round(report::titrantAlonePH(type, in.titrantConc).value, 2)));
    heading("Analyte (erlenmeyer flask): " +
            (c.name.empty() ? std::string() : c.name + " (" + c.formula + ")"));
    L.push_back("  " + N(in.analyteVolume) + " mL of " + typeNames(type).analyte +
                ". Concentration " + N(in.analyteConc) +
                " mol/L.  pH = " + S(Round(model.analyteAlonePH().value, 2)));
    L.push_back(base ? "  Acidity constants of its conjugate acids:" : "  Acidity constants:");
    for (std::size_t k = 0; k < c.pKa.size(); ++k) {
        const std::string i = std::to_string(k + 1);
        L.push_back("    pKa" + i + " = " + N(Round(c.pKa[k], 3)) + "   Ka" + i + " = " +
                    constantText(std::pow(10.0, -c.pKa[k])));
    }

    std::vector<std::size_t> byVerdict[3];
    for (std::size_t k = 0; k < r.points.size(); ++k) {
        const EquivalencePoint& p = r.points[k];
        heading("Equivalence point " + std::to_string(k + 1) + ":");
        L.push_back("  Volume added  " + N(Round(p.volume, 2)) + " mL,  pH = " + N(Round(p.pH, 3)));
        L.push_back("  Volume when error < 1%:  [ " + N(Round(p.volumeLow, 2)) + " ,  " +
                    N(Round(p.volumeHigh, 2)) + " ] mL");
        const double first = std::min(p.pHAtLow, p.pHAtHigh),
                     last = std::max(p.pHAtLow, p.pHAtHigh);
        L.push_back("  pH when error < 1%:  [ " + N(Round(first, 2)) + " ,  " + N(Round(last, 2)) +
                    " ]");
        if (p.noIndicatorShows)
            L.push_back("  Its pH jump is too small for any indicator to show.");
        if (p.indicator)
            byVerdict[static_cast<int>(*p.indicator)].push_back(k + 1);
    }

    heading("Indicator:");
    if (input.indicator) {
        const IndicatorInfo& k = *input.indicator;
        L.push_back("  " + k.name);
        std::string verdicts;
        const char* words[3] = {"inappropriate for ", "appropriate for ", "very appropriate for "};
        for (int v = 2; v >= 0; --v)
            if (!byVerdict[v].empty())
                verdicts += (verdicts.empty() ? "" : "; ") + std::string(words[v]) +
                            pointList(byVerdict[v]);
        verdicts[0] = static_cast<char>(verdicts[0] - 'a' + 'A');
        L.push_back("  " + verdicts);
        L.push_back("  Colour change: " + k.acidColourName + " (acid)  -  " + k.basicColourName +
                    " (basic)");
        L.push_back("  pH range:  [ " + N(k.pHLow) + " ,  " + N(k.pHHigh) + " ]");
    } else {
        L.push_back("  No indicator");
    }
    heading("Table of values (added Vol. [mL] and pH)");
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

std::string titrationFileStem(chem::TitrationType type, const chem::TitrationInputs& in,
                              const std::optional<AnalyteConstants>& constants)
{
    return analyteWords(type, constants) + ' ' + N(in.analyteConc) + " M " + N(in.analyteVolume) +
           " mL";
}

std::string titrationCaption(chem::TitrationType type, const chem::TitrationInputs& in,
                             const std::string& constantText,
                             const std::optional<AnalyteConstants>& constants)
{
    const TypeNames& names = typeNames(type);
    std::string text = N(in.analyteVolume) + " mL of " + analyteWords(type, constants) + ' ' +
                       N(in.analyteConc) + " mol/L, ";
    if (chem::isWeak(type) && constants)
        text += "pKa " + pKaList(constants->pKa) + ", ";
    else if (chem::isWeak(type))
        text += std::string(type == TitrationType::WeakAcidStrongBase ? "Ka " : "Kb ") +
                trimmedUpper(constantText) + ", ";
    return text + "titrated with " + names.titrant + ' ' + N(in.titrantConc) + " mol/L";
}

std::string analyteSummary(const AnalyteConstants& c)
{
    const std::string pKa = "pKa " + pKaList(c.pKa);
    return c.name.empty() ? pKa : c.name + " (" + c.formula + "), " + pKa;
}

std::string constantText(double k)
{
    if (!(k > 0) || !std::isfinite(k))
        return NumberText(k);
    int exponent = static_cast<int>(std::floor(std::log10(k)));
    double mantissa = std::round(k / std::pow(10.0, exponent) * 100) / 100;
    if (mantissa >= 10) {
        mantissa /= 10;
        ++exponent;
    }
    std::string text = NumberText(mantissa);
    return exponent == 0 ? text : text + "E" + std::to_string(exponent);
}

double equivalenceVolume(const chem::TitrationInputs& in)
{
    return (in.analyteVolume * in.analyteConc) / in.titrantConc;
}

std::string tableRow(double volume, double pH)
{
    return " " + volumeField(volume) + " " + pHField(pH) + kCrLf;
}

double curveEnd(const TitrationModel& model)
{
    return (model.protons() + 1) * model.equivalenceVolumes().front();
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

std::optional<Report> runCalculation(const CalculationInput& input)
{
    const chem::TitrationInputs& in = input.inputs;
    if (checkTitration(input.type, in, input.calcErrorFlag, protonCount(input.constants)))
        return std::nullopt;
    const TitrationType type = *input.type;
    const std::optional<TitrationModel> model = TitrationModel::make(type, in, input.constants);
    if (!model)
        return std::nullopt;
    const auto pH = [&](double V) { return model->pH(V).value; };

    Report r;
    for (const double veq : model->equivalenceVolumes()) {
        EquivalencePoint p{veq, pH(veq), 0.99 * veq, 1.01 * veq, 0, 0, {}, false};
        p.pHAtLow = pH(p.volumeLow);
        p.pHAtHigh = pH(p.volumeHigh);
        if (input.indicator)
            p.indicator = suitability(input.indicator->pHLow, input.indicator->pHHigh, p.pHAtLow,
                                      p.pHAtHigh, [&] { return p.pH; });
        p.noIndicatorShows = !input.indicatorRanges.empty();
        for (const auto& [low, high] : input.indicatorRanges)
            if (suitability(low, high, p.pHAtLow, p.pHAtHigh, [] { return 0.0; }) !=
                Suitability::Inappropriate)
                p.noIndicatorShows = false;
        r.points.push_back(p);
    }

    const double veq = r.points.front().volume;
    if (model->protons() > 1) {
        severalPointsReport(input, *model, r);
    } else {
        auto& L = r.lines;
        L.resize(kReportLines);
        r.headings = {0, 1, 3, 6, 8, 10, 12, 16};
        L[1] = "Titrant (burette):";
        L[3] = "Analyte (erlenmeyer flask): ";
        L[6] = "Equivalence point:";
        L[8] = "Range of added titrant volume when error < 1%";
        L[10] = "Range of pH when error < 1%";
        L[12] = "Indicator:";
        L[16] = "Table of values (added Vol. [mL] and pH)";

        L[0] = titrationTitle(type);

        const bool base = chem::titrantIsBase(type);
        const double titrantPH = report::titrantAlonePH(type, in.titrantConc).value;
        L[2] = std::string(base ? "  Strong base concentration " : "  Strong acid concentration ") +
               N(in.titrantConc) + " mol/L.  pH = " + S(Round(titrantPH, 2));

        // The weak-base line alone starts without the two blanks.
        L[4] = std::string(type == TitrationType::WeakBaseStrongAcid ? "" : "  ") +
               N(in.analyteVolume) + " mL of " + typeNames(type).analyte + ". Concentration " +
               N(in.analyteConc) + " mol/L.  pH = " + S(Round(model->analyteAlonePH().value, 2));
        const char* constantLine =
            type == TitrationType::WeakAcidStrongBase   ? "  Acidity constant Ka = "
            : type == TitrationType::WeakBaseStrongAcid ? "  Basicity constant Kb = "
                                                        : nullptr;
        if (constantLine && input.constants) {
            // A name or a pKa text: the constant the routines took, and where it came from.
            const AnalyteConstants& c = *input.constants;
            if (!c.name.empty())
                L[3] += c.name + " (" + c.formula + ")";
            const bool ofBase = type == TitrationType::WeakBaseStrongAcid;
            const double k = reportedConstant(type, in.dissociationConstant, c);
            L[5] = constantLine + constantText(k) + "  (pKa " + N(Round(c.pKa.front(), 3)) +
                   (ofBase ? " of its conjugate acid)" : ")");
        } else if (constantLine) {
            L[5] = constantLine + trimmedUpper(input.constantText);
        }

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
    }

    r.table = std::string("    Vol.    pH") + kCrLf;
    double previous = -100;
    std::vector<double> volumes;
    for (const std::string& key : tableKeys(model->equivalenceVolumes(), curveEnd(*model))) {
        const double V = ReadNumber(key) - 1000.001;
        if (V == previous)
            continue;
        previous = V;
        volumes.push_back(V);
    }
    const std::vector<PHValue> pHs = model->curve(volumes);
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        r.rows.emplace_back(volumes[i], pHs[i].value);
        r.table += tableRow(volumes[i], pHs[i].value);
    }
    return r;
}

} // namespace report
