#include "report/jsonreport.h"

#include "report/typenames.h"

#include <algorithm>

namespace report {

namespace {

using Layout = JsonWriter::Layout;

std::string_view verdictWord(Suitability s)
{
    switch (s) {
    case Suitability::Inappropriate:
        return "inappropriate";
    case Suitability::Appropriate:
        return "appropriate";
    case Suitability::VeryAppropriate:
        break;
    }
    return "very appropriate";
}

void analyte(JsonWriter& json, const CalculationInput& input)
{
    const chem::TitrationInputs& in = input.inputs;
    const std::optional<AnalyteConstants>& c = input.constants;
    const bool named = c && !c->name.empty();
    json.key("analyte").beginObject();
    json.key("concentration").number(in.analyteConc).key("volume").number(in.analyteVolume);
    json.key("name");
    named ? json.string(c->name) : json.null();
    json.key("formula");
    named ? json.string(c->formula) : json.null();
    json.key("pKa").beginArray();
    for (const double pKa : analytePKa(*input.type, input.inputs, input.constants))
        json.number(pKa);
    json.end().end();
}

void indicator(JsonWriter& json, const CalculationInput& input, const Report& report)
{
    json.key("indicator");
    if (!input.indicator || report.points.empty()) {
        json.null();
        return;
    }
    Suitability best = Suitability::Inappropriate;
    for (const EquivalencePoint& p : report.points)
        best = std::max(best, p.indicator.value_or(Suitability::Inappropriate));
    json.beginObject().key("name").string(input.indicator->name);
    json.key("pHRange").pair(input.indicator->pHLow, input.indicator->pHHigh);
    json.key("verdict").string(verdictWord(best)).key("points").beginArray();
    for (const EquivalencePoint& p : report.points)
        json.string(verdictWord(p.indicator.value_or(Suitability::Inappropriate)));
    json.end().end();
}

} // namespace

std::string titrationJson(const CalculationInput& input, const Report& report,
                          const std::function<void(JsonWriter&)>& more)
{
    JsonWriter json;
    json.beginObject(Layout::Lines).key("titration").string(typeNames(*input.type).commandName);
    json.key("activity").string(input.activity == chem::ActivityModel::Davies ? "davies" : "none");
    json.key("titrant").beginObject().key("concentration").number(input.inputs.titrantConc).end();
    analyte(json, input);
    json.key("equivalencePoints").beginArray(Layout::Lines);
    for (const EquivalencePoint& p : report.points) {
        json.beginObject().key("volume").number(p.volume).key("pH").number(p.pH);
        json.key("volumeRange").pair(p.volumeLow, p.volumeHigh);
        json.key("pHRange").pair(p.pHAtLow, p.pHAtHigh).end();
    }
    json.end();
    indicator(json, input, report);
    json.key("table").beginArray(Layout::Lines);
    for (const auto& [volume, pH] : report.rows)
        json.pair(volume, pH);
    json.end();
    if (more)
        more(json);
    json.end();
    return json.text() + '\n';
}

} // namespace report
