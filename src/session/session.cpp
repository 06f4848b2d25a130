#include "session/session.h"

#include "indicators/indicatorpanel.h"
#include "report/calculationrun.h"
#include "report/captions.h"
#include "report/constanttext.h"
#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/table.h"
#include "report/typenames.h"

#include <algorithm>
#include <functional>

namespace session {

namespace {

using chart::Series;
using chart::SeriesRole;

std::string constantWords(const KeptCurve& c)
{
    if (!chem::isWeak(c.type))
        return {};
    if (c.constants && !c.constants->name.empty())
        return c.constants->name;
    // The box's decimal comma is the legend's decimal point, as the report writes it.
    std::string typed(report::trimmed(report::oneLine(c.boxes.TxKaKb)));
    std::replace(typed.begin(), typed.end(), ',', '.');
    return std::string(c.type == chem::TitrationType::WeakBaseStrongAcid ? "Kb " : "Ka ") + typed;
}

/// (volume, value) pairs, as a series holds them.
std::vector<std::pair<double, double>> pairs(const std::vector<double>& volumes,
                                             const std::vector<double>& values)
{
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < volumes.size() && i < values.size(); ++i)
        points.emplace_back(volumes[i], values[i]);
    return points;
}

/// The model's pH along seriesVolumes, as (volume, pH) pairs.
std::vector<std::pair<double, double>> curvePoints(const report::TitrationModel& model)
{
    const std::vector<double> volumes = seriesVolumes(model);
    std::vector<double> values;
    for (const report::PHValue& p : model.curve(volumes))
        values.push_back(p.value);
    return pairs(volumes, values);
}

/// A kept curve's points: all of them without activities, as the shown curve; with them none
/// where a pH beyond the Davies range fails, rather than a curve drawn in part.
std::optional<std::vector<std::pair<double, double>>>
keptPoints(const report::TitrationModel& model, chem::ActivityModel activity)
{
    if (activity == chem::ActivityModel::None)
        return curvePoints(model);
    const std::vector<double> volumes = seriesVolumes(model);
    const auto pHs = model.curveOrFailure(volumes);
    if (!pHs)
        return std::nullopt;
    return pairs(volumes, *pHs.value);
}

/// The model's curve for its derivative. The one-proton routines for a weak analyte find their
/// root in steps of about 3E-4 pH, which differences over close volumes turn into false drops;
/// the same analyte in the polyprotic model is smooth to 1E-9 pH.
std::vector<std::pair<double, double>> smoothCurve(const report::TitrationModel& model)
{
    const std::vector<double> volumes = seriesVolumes(model);
    const auto pHs = model.smooth().curveOrFailure(volumes);
    return pHs ? pairs(volumes, *pHs.value) : curvePoints(model);
}

/// The readings' pH at `volume`, between the two readings around it; none beyond them.
std::optional<double> readingAt(const lab::Readings& r, double volume)
{
    const auto after = std::lower_bound(r.volume.begin(), r.volume.end(), volume);
    if (after == r.volume.end() || (after == r.volume.begin() && *after != volume))
        return std::nullopt;
    const auto j = static_cast<std::size_t>(after - r.volume.begin());
    if (r.volume[j] == volume)
        return r.pH[j];
    const double t = (volume - r.volume[j - 1]) / (r.volume[j] - r.volume[j - 1]);
    return r.pH[j - 1] + t * (r.pH[j] - r.pH[j - 1]);
}

/// A mark for each end point the readings show, the derivative's where it found one, else
/// Gran's; for a weak analyte, the pH half way from the previous point (or the start).
std::vector<chart::MeasuredMark> measuredMarks(const lab::Measured& m, bool weak)
{
    std::vector<chart::MeasuredMark> marks;
    for (const auto method : {lab::EndPointMethod::Derivative, lab::EndPointMethod::Gran})
        for (const lab::EndPoint& e : m.endPoints)
            if (e.method == method &&
                std::ranges::none_of(marks, [&](const auto& k) { return k.index == e.index; }))
                marks.push_back({e.index, e.volume, e.ci95[0], e.ci95[1],
                                 readingAt(m.readings, e.volume), std::nullopt});
    std::ranges::sort(marks, {}, &chart::MeasuredMark::index);
    for (std::size_t k = 0; weak && k < marks.size(); ++k) {
        const bool first = marks[k].index == 1;
        if (!first && (k == 0 || marks[k - 1].index != marks[k].index - 1))
            continue;
        const double half = ((first ? 0 : marks[k - 1].volume) + marks[k].volume) / 2;
        if (const std::optional<double> pH = readingAt(m.readings, half))
            marks[k].half = std::pair(half, *pH);
    }
    return marks;
}

} // namespace

Outcome compute(const Session& s, const indicators::IndicatorCatalogue& catalogue)
{
    Outcome o;
    o.schematic =
        indicators::ActualizarColor_pH(s.type, s.boxes, s.indicatorPosition, catalogue, s.activity);
    o.input = indicators::calculationInput(
        s.type, o.schematic, s.boxes, s.indicatorPosition, catalogue,
        o.schematic.verdict ? indicators::verdictCaption(*o.schematic.verdict) : s.verdictCaption);
    o.input.activity = s.activity;
    o.report = report::runCalculation(o.input);
    if (!o.report) {
        o.refusal = indicators::whyRefused(s.type, o.schematic);
        // A pH that cannot be computed with activities: the Davies equation's range, in numbers.
        if (!o.refusal || o.refusal->kind == indicators::Refusal::Kind::NotComputable)
            if (std::optional<indicators::Refusal> why = report::activityRefusal(o.input))
                o.refusal = std::move(why);
        return o;
    }
    if (s.readings)
        o.measured = lab::analyseReadings(*s.readings, labSetup(s, o), s.fitPKa, s.fitOffset);
    return o;
}

lab::Setup labSetup(const Session& s, const Outcome& o)
{
    return {*s.type, o.schematic.inputs, o.schematic.constants, s.activity, s.volumeUncertainty};
}

std::optional<KeptCurve> curveToKeep(const Session& s, const Outcome& o)
{
    if (!o.report)
        return std::nullopt;
    return KeptCurve{*s.type, s.boxes, o.schematic.inputs, o.schematic.constants, {}, {}};
}

std::string keptLegends(std::vector<KeptCurve>& kept, const KeptCurve* shown)
{
    std::vector<KeptCurve*> all;
    for (KeptCurve& k : kept)
        all.push_back(&k);
    KeptCurve shownCopy = shown ? *shown : KeptCurve{};
    if (shown)
        all.push_back(&shownCopy);
    using report::NumberText;
    // What each curve says of every input; an input goes into the legends when they differ.
    const std::function<std::string(const KeptCurve&)> words[] = {
        [](const KeptCurve& c) { return std::string(report::typeNames(c.type).analyte); },
        [](const KeptCurve& c) { return "titrant " + NumberText(c.inputs.titrantConc) + " mol/L"; },
        [](const KeptCurve& c) { return "analyte " + NumberText(c.inputs.analyteConc) + " mol/L"; },
        [](const KeptCurve& c) { return NumberText(c.inputs.analyteVolume) + " mL"; },
        constantWords};
    for (KeptCurve* c : all)
        c->legend.clear();
    for (const auto& say : words) {
        const bool differs = std::any_of(all.begin(), all.end(),
                                         [&](KeptCurve* c) { return say(*c) != say(*all[0]); });
        if (!differs)
            continue;
        for (KeptCurve* c : all) {
            const std::string part = say(*c);
            if (!part.empty())
                c->legend += (c->legend.empty() ? "" : ", ") + part;
        }
    }
    // The same titration kept twice: numbered in the legend's order, the shown curve first.
    if (shown)
        std::rotate(all.begin(), all.end() - 1, all.end());
    for (std::size_t i = 0; i < all.size(); ++i)
        if (!all[i]->name.empty())
            all[i]->legend = all[i]->name;
        else if (all[i]->legend.empty())
            all[i]->legend = "curve " + std::to_string(i + 1);
    return shown ? shownCopy.legend : std::string();
}

std::vector<double> seriesVolumes(const report::TitrationModel& model)
{
    const double end = report::curveEnd(model);
    std::vector<double> volumes;
    constexpr int kSteps = 400;
    for (int i = 0; i <= kSteps; ++i)
        volumes.push_back(end * i / kSteps);
    for (const double veq : model.equivalenceVolumes())
        for (int i = -50; i <= 50; ++i)
            volumes.push_back(veq * (1 + 0.001 * i));
    std::sort(volumes.begin(), volumes.end());
    // Volumes a hair apart (25.125 from the even steps and from the dense ones) would make a
    // difference quotient of rounding noise.
    const double apart = end * 1e-5;
    volumes.erase(std::unique(volumes.begin(), volumes.end(),
                              [apart](double a, double b) { return b - a < apart; }),
                  volumes.end());
    return volumes;
}

std::optional<chart::ChartModel> chartModel(const Session& s, const Outcome& o,
                                            const indicators::IndicatorCatalogue& catalogue)
{
    if (!o.report)
        return std::nullopt;
    const std::optional<report::TitrationModel>& model = o.report->model;
    chart::ChartContents in;
    in.indicatorPosition = s.indicatorPosition;
    in.catalogue = &catalogue;

    std::vector<KeptCurve> kept = s.kept;
    if (!kept.empty()) {
        const std::optional<KeptCurve> shown = curveToKeep(s, o);
        in.modelLegend = keptLegends(kept, shown ? &*shown : nullptr);
    }
    // Kept curves follow the activities of the shown one; one beyond their range is left out.
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (const auto m = report::TitrationModel::make(kept[i].type, kept[i].inputs,
                                                        kept[i].constants, s.activity))
            if (auto points = keptPoints(*m, s.activity))
                in.series.push_back(
                    chart::makeSeries(SeriesRole::Kept, std::move(*points), kept[i].legend, i));
    if (s.readings) {
        const auto points = pairs(s.readings->volume, s.readings->pH);
        const std::string name = s.readingsName.empty() ? "Readings" : s.readingsName;
        in.series.push_back(chart::makeSeries(SeriesRole::Readings, points, name));
        if (s.showDerivative) {
            Series d = chart::derivativeSeries(points);
            in.series.push_back(
                chart::makeSeries(SeriesRole::ReadingsDerivative, d.points, "dpH/dV of " + name));
        }
    }
    if (o.measured && o.measured->fit) {
        const std::vector<double> volumes = seriesVolumes(*model);
        const chem::Result<std::vector<double>> pHs = o.measured->fit->curve(volumes);
        if (pHs) {
            in.series.push_back(chart::makeSeries(
                SeriesRole::Fitted, pairs(volumes, *pHs.value),
                "Fitted, " + lab::concentrationText(o.measured->fit->analyteConcentration) +
                    " mol/L"));
        }
    }
    if (s.showDerivative)
        in.series.push_back(chart::derivativeSeries(smoothCurve(*model)));
    if (o.measured)
        in.marks = measuredMarks(*o.measured, chem::isWeak(*s.type));
    return chart::ChartModel(*model, o.report->points, std::move(in));
}

chart::ChartTexts chartTexts(const Session& s, const Outcome& o,
                             const indicators::IndicatorCatalogue& catalogue)
{
    if (!s.type)
        return {};
    return {report::titrationTitle(*s.type),
            indicators::indicatorPanelFor(catalogue, s.indicatorPosition).chartCaption,
            report::titrationCaption(*s.type, o.schematic.inputs, s.boxes.TxKaKb,
                                     o.schematic.constants)};
}

chem::Result<FamilySpec> readFamilySpec(std::string_view spec)
{
    using R = chem::Result<FamilySpec>;
    std::vector<std::string> words;
    std::string word;
    for (const char c : std::string(spec) + ' ') {
        if (c == ' ' || c == '\t' || c == ';') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (words.empty())
        return R::failed("names no input");
    FamilySpec read{report::lowerCase(words.front()), {words.begin() + 1, words.end()}};
    const report::InputDescription* described = report::inputForOption(read.input);
    if (!described)
        return R::failed("'" + words.front() +
                         "' is none of titrant, analyte, analyte-volume, ka and kb");
    if (read.values.empty())
        return R::failed(read.input + " needs at least one value");
    if (read.values.size() > kMaxFamilyCurves)
        return R::failed(read.input + ": more than " + std::to_string(kMaxFamilyCurves) +
                         " values, more curves than the chart can tell apart");
    // A constant may be a name, whose first letter keeps it from reading as a number.
    const bool named = described->text == &report::BoxTexts::TxKaKb;
    for (const std::string& value : read.values)
        if ((!named || report::readsAsNumber(value)) && !report::ReadWholeNumber(value))
            return R::failed(read.input + ": '" + value + "' is not a number");
    return R::success(std::move(read));
}

chem::Result<Session> family(const Session& base, std::string_view spec,
                             const indicators::IndicatorCatalogue& catalogue)
{
    using R = chem::Result<Session>;
    const chem::Result<FamilySpec> read = readFamilySpec(spec);
    if (!read)
        return R::failed(read.failure);
    const std::string& input = read.value->input;
    const report::InputDescription* described = report::inputForOption(input);
    // The acid's option for a weak acid only; the base's for any other type.
    if (described->weakOnly &&
        (!base.type ||
         (input == described->option) != (*base.type == chem::TitrationType::WeakAcidStrongBase)))
        return R::failed(input + " does not apply to this titration");
    std::string report::BoxTexts::*box = described->text;

    Session result = base;
    result.kept.clear();
    const std::vector<std::string>& values = read.value->values;
    for (std::size_t i = 0; i < values.size(); ++i) {
        Session one = base;
        one.boxes.*box = values[i];
        const Outcome o = compute(one, catalogue);
        if (!o.report)
            return R::failed(input + " " + values[i] + ": " +
                             (o.refusal ? o.refusal->text : std::string("refused")));
        if (i == 0)
            result.boxes = one.boxes;
        else
            result.kept.push_back(*curveToKeep(one, o));
    }
    return R::success(std::move(result));
}

} // namespace session
