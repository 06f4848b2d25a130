#include "teach/problem.h"

#include "report/numberreading.h"
#include "report/numbertext.h"

#include <algorithm>
#include <cmath>

namespace teach {

namespace {

/// A concentration from `low` to `high` mol/L with 3 significant digits, trailing zeros kept
/// ("0.0500"); none when the range holds none. Drawn in steps of 1E-5 mol/L and rounded in whole
/// numbers, so that no floating-point rounding can differ between machines.
std::optional<std::string> drawConcentration(Draw& draw, double low, double high)
{
    const auto first = static_cast<long long>(std::ceil(low * 1e5 - 1e-6));
    const auto last = static_cast<long long>(std::floor(high * 1e5 + 1e-6));
    if (first < 1 || last < first)
        return std::nullopt;
    const long long n = first + draw.below(static_cast<std::uint32_t>(last - first + 1));
    long long scale = 1;
    int decimals = 5;
    while (n / scale >= 1000) {
        scale *= 10;
        --decimals;
    }
    long long m = (n + scale / 2) / scale;
    if (m >= 1000) { // 0.09996 rounds to 0.1000: three digits are 0.100
        m /= 10;
        --decimals;
    }
    std::string digits = std::to_string(m);
    if (decimals <= 0)
        return digits + std::string(std::size_t(-decimals), '0');
    digits.insert(0, std::size_t(std::max(0, decimals + 1 - int(digits.size()))), '0');
    digits.insert(digits.size() - std::size_t(decimals), 1, '.');
    return digits;
}

} // namespace

double Problem::titrantConcentration() const
{
    return report::ReadNumber(boxes.TxCBur);
}

double Problem::analyteConcentration() const
{
    return report::ReadNumber(boxes.TxCErl);
}

double Problem::analyteVolume() const
{
    return report::ReadNumber(boxes.TxVErl);
}

std::string titrantFormula(chem::TitrationType type)
{
    return chem::titrantIsBase(type) ? "NaOH" : "HCl";
}

std::string analyteName(const Problem& p)
{
    if (p.substance)
        return p.substance->name;
    return chem::titrantIsBase(p.type) ? "HCl" : "NaOH";
}

std::string statement(const Problem& p)
{
    return p.boxes.TxVErl + " mL of " + p.boxes.TxCErl + " mol/L " + analyteName(p) +
           " is titrated with " + p.boxes.TxCBur + " mol/L " + titrantFormula(p.type);
}

std::optional<Problem> makeProblem(chem::TitrationType type, std::string_view substance,
                                   std::string_view concentration, std::string_view titrant,
                                   std::string_view analyteVolume)
{
    Problem p{type,
              nullptr,
              {std::string(titrant), std::string(analyteVolume), std::string(concentration), ""}};
    if (!chem::isWeak(type))
        return substance.empty() ? std::optional(p) : std::nullopt;
    p.substance = report::findSubstance(substance);
    if (!p.substance || p.substance->base != (type == chem::TitrationType::WeakBaseStrongAcid))
        return std::nullopt;
    p.boxes.TxKaKb = p.substance->name;
    return p;
}

std::optional<Solution> solve(const Problem& p)
{
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    Solution s;
    s.schematic = indicators::ActualizarColor_pH(p.type, p.boxes, 0, catalogue);
    std::optional<report::Report> run = report::runCalculation(
        indicators::calculationInput(p.type, s.schematic, p.boxes, 0, catalogue, ""));
    if (!run)
        return std::nullopt;
    s.report = std::move(*run);
    return s;
}

std::vector<int> suitableIndicators(const report::EquivalencePoint& point)
{
    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    std::vector<int> suitable;
    for (int k = 1; k <= catalogue.indicatorCount; ++k) {
        const indicators::Indicator& i = catalogue.table[std::size_t(k)];
        if (report::suitability(i.pHLow, i.pHHigh, point.pHAtLow, point.pHAtHigh,
                                [&] { return point.pH; }) != report::Suitability::Inappropriate)
            suitable.push_back(k);
    }
    return suitable;
}

std::optional<Drawn> drawProblem(Draw& draw, const ProblemRange& range,
                                 const std::function<bool(const Drawn&)>& fits)
{
    std::vector<const report::Substance*> acids, bases;
    for (const report::Substance& s : report::substanceLibrary())
        (s.base ? bases : acids).push_back(&s);
    for (int k = 0; k < kMaxDraws && !range.types.empty(); ++k) {
        Problem p;
        p.type = range.types[draw.below(std::uint32_t(range.types.size()))];
        if (chem::isWeak(p.type)) {
            const auto& kind = p.type == chem::TitrationType::WeakBaseStrongAcid ? bases : acids;
            if (kind.empty())
                continue;
            p.substance = kind[draw.below(std::uint32_t(kind.size()))];
        }
        const double protons = p.substance ? double(p.substance->pKa.size()) : 1.0;
        const double highest = std::min(range.highest, range.burette * range.titrant /
                                                           (protons * range.analyteVolume));
        const std::optional<std::string> concentration =
            drawConcentration(draw, range.lowest, highest);
        if (!concentration)
            continue;
        p.boxes = {report::NumberText(range.titrant), report::NumberText(range.analyteVolume),
                   *concentration, p.substance ? p.substance->name : ""};
        std::optional<Solution> solution = solve(p);
        if (!solution ||
            std::any_of(solution->report.points.begin(), solution->report.points.end(),
                        [&](const auto& e) { return e.volume > range.burette + 1e-9; }))
            continue;
        Drawn drawn{std::move(p), std::move(*solution)};
        if (!fits || fits(drawn))
            return drawn;
    }
    return std::nullopt;
}

} // namespace teach
