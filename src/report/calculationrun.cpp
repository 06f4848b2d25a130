#include "report/calculationrun.h"

#include "report/acceptance.h"
#include "report/captions.h"
#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/table.h"
#include "report/typenames.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace report {

namespace {

using chem::TitrationType;

std::string N(double x)
{
    return NumberText(x);
}

std::string S(double x)
{
    return SignedNumberText(x);
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
        N(in.titrantConc) + " mol/L.  pH = " +
        S(Round(report::titrantAlonePH(type, in.titrantConc, input.activity).value, 2)));
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
/// The report of one equivalence point: the 17 lines of the page's fixed places.
void onePointReport(const CalculationInput& input, const TitrationModel& model, Report& r)
{
    const chem::TitrationInputs& in = input.inputs;
    const TitrationType type = model.type();
    const auto pH = [&](double V) { return model.pH(V).value; };
    const double veq = r.points.front().volume;
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
    const double titrantPH = report::titrantAlonePH(type, in.titrantConc, input.activity).value;
    L[2] = std::string(base ? "  Strong base concentration " : "  Strong acid concentration ") +
           N(in.titrantConc) + " mol/L.  pH = " + S(Round(titrantPH, 2));

    // The weak-base line alone starts without the two blanks.
    L[4] = std::string(type == TitrationType::WeakBaseStrongAcid ? "" : "  ") +
           N(in.analyteVolume) + " mL of " + typeNames(type).analyte + ". Concentration " +
           N(in.analyteConc) + " mol/L.  pH = " + S(Round(model.analyteAlonePH().value, 2));
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
        L[5] = constantLine + constantAsShown(input.constantText);
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
/// Why a pH the run shows cannot be computed with activities: the titrant's, the analyte's,
/// the table's or a point's with its 1 % range; none when every one can.
std::optional<std::string> activityFailure(const CalculationInput& input,
                                           const TitrationModel& model)
{
    if (titrantAlonePH(model.type(), input.inputs.titrantConc, input.activity).failed)
        return "the titrant alone is beyond the Davies equation's range (ionic strength up to 0.5)";
    std::vector<double> volumes = tableVolumes(model);
    volumes.insert(volumes.begin(), 0.0);
    for (const double veq : model.equivalenceVolumes())
        volumes.insert(volumes.end(), {0.99 * veq, veq, 1.01 * veq});
    const chem::Result<std::vector<double>> pHs = model.curveOrFailure(volumes);
    return pHs ? std::nullopt : std::optional(pHs.failure);
}

} // namespace

std::vector<EquivalencePoint> equivalencePoints(const TitrationModel& model)
{
    std::vector<EquivalencePoint> points;
    for (const double veq : model.equivalenceVolumes()) {
        EquivalencePoint p{veq, 0, 0.99 * veq, 1.01 * veq, 0, 0, {}, false, false};
        const PHValue at = model.pH(veq), low = model.pH(p.volumeLow),
                      high = model.pH(p.volumeHigh);
        p.pH = at.value;
        p.pHAtLow = low.value;
        p.pHAtHigh = high.value;
        p.failed = at.failed || low.failed || high.failed;
        points.push_back(p);
    }
    return points;
}

std::optional<Report> runCalculation(const CalculationInput& input)
{
    const chem::TitrationInputs& in = input.inputs;
    if (checkTitration(input.type, in, input.refreshFailed, protonCount(input.constants)))
        return std::nullopt;
    const TitrationType type = *input.type;
    std::optional<TitrationModel> model =
        TitrationModel::make(type, in, input.constants, input.activity);
    if (!model)
        return std::nullopt;
    if (input.activity != chem::ActivityModel::None && activityFailure(input, *model))
        return std::nullopt;

    Report r;
    for (EquivalencePoint p : equivalencePoints(*model)) {
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

    if (r.points.size() > 1)
        severalPointsReport(input, *model, r);
    else
        onePointReport(input, *model, r);

    if (input.activity != chem::ActivityModel::None) { // under the title
        r.lines.insert(r.lines.begin() + 1, kActivityLine);
        for (std::size_t& h : r.headings)
            h += h >= 1 ? 1 : 0;
    }
    const std::vector<double> volumes = tableVolumes(*model);
    const std::vector<PHValue> pHs = model->curve(volumes);
    for (std::size_t i = 0; i < volumes.size(); ++i)
        r.rows.emplace_back(volumes[i], pHs[i].value);
    r.table = tableText(r.rows);
    r.model = std::move(model);
    return r;
}

std::optional<Refusal> activityRefusal(const CalculationInput& input)
{
    if (input.activity == chem::ActivityModel::None || !input.type ||
        checkTitration(input.type, input.inputs, false, protonCount(input.constants)))
        return std::nullopt;
    const std::optional<TitrationModel> model =
        TitrationModel::make(*input.type, input.inputs, input.constants, input.activity);
    if (!model)
        return Refusal{Refusal::Input::None, Refusal::Kind::NotComputable,
                       "the analyte cannot be computed with activities"};
    const std::optional<std::string> failure = activityFailure(input, *model);
    if (!failure)
        return std::nullopt;
    return Refusal{Refusal::Input::None, Refusal::Kind::NotComputable,
                   "with activities, " + *failure};
}

} // namespace report
