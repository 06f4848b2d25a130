#include "indicators/schematic.h"

#include "indicators/indicatorcolour.h"
#include "report/calculationrun.h"
#include "report/constanttext.h"
#include "report/model.h"
#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/typenames.h"

#include <algorithm>
#include <cmath>

namespace indicators {

namespace {

using chem::TitrationType;

/// Ends the refresh at once, with what has been written so far.
struct RefreshFailure
{};

bool isFilled(const std::string& text)
{
    return text.find_first_not_of(' ') != std::string::npos;
}

bool isConcentration(double x)
{
    return x >= kMinConcentration && x <= kMaxConcentration;
}

bool isConstant(double x)
{
    return x > kConstantAbove && x < kConstantBelow;
}

bool isVolume(double x)
{
    return x >= kMinVolume && x <= kMaxVolume;
}

std::string number(double x)
{
    return report::NumberText(x);
}

/// The refusal of a box whose value `x`, read from `text`, is outside what it accepts. The text
/// is quoted as typed, on one line; a box of tabs, which reads as 0, by its value.
Refusal outsideRange(Refusal::Input box, std::optional<TitrationType> type, const std::string& text,
                     double x)
{
    std::string typed(report::trimmed(report::oneLine(text)));
    if (typed.empty())
        typed = number(x);
    std::string range;
    switch (box) {
    case Refusal::Input::TxVErl:
        range = number(kMinVolume) + " to " + number(kMaxVolume) + " mL";
        break;
    case Refusal::Input::TxKaKb:
        range = number(kConstantAbove) + " to " + number(kConstantBelow) + ", both excluded";
        break;
    default:
        range = number(kMinConcentration) + " to " + number(kMaxConcentration) + " mol/L";
    }
    return {box, Refusal::Kind::OutOfRange,
            report::quantityName(box, type) + ' ' + typed + " is outside " + range};
}

void refresh(std::optional<TitrationType> type, const BoxTexts& boxes, int position,
             const IndicatorCatalogue& catalogue, SchematicState& s)
{
    const bool indicatorChosen = position >= 1 && position <= catalogue.indicatorCount;
    chem::TitrationInputs& in = s.inputs;
    // The value of a filled box; a refusal unless `accepted` holds for it.
    const auto acceptedValue = [&](Refusal::Input box, const std::string& text,
                                   bool (*accepted)(double)) {
        const double x = report::ReadNumber(text);
        if (!accepted(x)) {
            s.refusal = outsideRange(box, type, text, x);
            throw RefreshFailure{};
        }
        return x;
    };
    const auto notComputed = [&](Refusal::Input box, const char* solution) {
        s.refusal = {box, Refusal::Kind::NotComputable,
                     std::string("the pH of the ") + solution + " could not be computed"};
    };

    // Analyte, with the constant for the weak types.
    if (isFilled(boxes.TxCErl)) {
        in.analyteConc = acceptedValue(Refusal::Input::TxCErl, boxes.TxCErl, isConcentration);
        std::optional<report::PHValue> flaskPH;
        if (type && chem::isWeak(*type)) {
            if (isFilled(boxes.TxKaKb)) {
                const bool base = *type == TitrationType::WeakBaseStrongAcid;
                const report::ResolvedConstant resolved =
                    report::resolveConstantText(boxes.TxKaKb, base);
                if (!resolved.refusal.empty()) {
                    s.refusal = {Refusal::Input::TxKaKb, Refusal::Kind::OutOfRange,
                                 resolved.refusal};
                    throw RefreshFailure{};
                }
                if (resolved.analyte) {
                    // The one-proton routines' constant, or for several protons the first
                    // step's, which says only that the constant is given.
                    s.constants = resolved.analyte;
                    const std::vector<double>& pKa = s.constants->pKa;
                    in.dissociationConstant =
                        resolved.constant > 0
                            ? resolved.constant
                            : report::oneProtonConstant(base ? pKa.back() : pKa.front(), base);
                    flaskPH = report::analyteAlonePH(*type, in.analyteConc, in.dissociationConstant,
                                                     s.constants);
                } else {
                    in.dissociationConstant =
                        acceptedValue(Refusal::Input::TxKaKb, boxes.TxKaKb, isConstant);
                    flaskPH = report::analyteAlonePH(*type, in.analyteConc, in.dissociationConstant,
                                                     std::nullopt);
                }
            }
        } else if (type) {
            flaskPH = report::analyteAlonePH(*type, in.analyteConc, 0.0, std::nullopt);
        }
        if (flaskPH && flaskPH->failed)
            return notComputed(Refusal::Input::TxCErl, "analyte");
        if (flaskPH) {
            s.LblpHErl = pHLabelText(flaskPH->value);
            if (indicatorChosen)
                s.flaskColour = Get_Color_INDIC(catalogue, position, flaskPH->value);
        }
    }

    // Titrant.
    if (isFilled(boxes.TxCBur)) {
        in.titrantConc = acceptedValue(Refusal::Input::TxCBur, boxes.TxCBur, isConcentration);
        if (type) {
            const report::PHValue buretPH = report::titrantAlonePH(*type, in.titrantConc);
            if (buretPH.failed)
                return notComputed(Refusal::Input::TxCBur, "titrant");
            s.LblpHBur = pHLabelText(buretPH.value);
        }
    }

    if (isFilled(boxes.TxVErl))
        in.analyteVolume = acceptedValue(Refusal::Input::TxVErl, boxes.TxVErl, isVolume);

    // The verdict needs a whole titration and an indicator.
    if (!(in.titrantConc > 0 && in.analyteConc > 0 && in.analyteVolume > 0))
        return;
    if (type && chem::isWeak(*type) && !(in.dissociationConstant > 0))
        return;
    if (!indicatorChosen)
        return;

    const double veq = report::equivalenceVolume(in);
    const int protons = type && chem::isWeak(*type) ? report::protonCount(s.constants) : 1;
    if ((s.refusal = report::equivalenceVolumeRefusal(veq, protons)))
        throw RefreshFailure{};

    // A failed pH here still completes the verdict, with its pH 0, and marks the state failed.
    const Indicator& indicator = catalogue.table[static_cast<std::size_t>(position)];
    const auto judge = [&](const auto& pH, double point) {
        return report::suitability(indicator.pHLow, indicator.pHHigh, pH(0.99 * point),
                                   pH(1.01 * point), [&] { return pH(point); });
    };
    if (!type) { // no type, no pH: every pH reads 0
        s.verdict = judge([](double) { return 0.0; }, veq);
        return;
    }
    const std::optional<report::TitrationModel> model =
        report::TitrationModel::make(*type, in, s.constants);
    if (!model)
        return notComputed(Refusal::Input::TxKaKb, "analyte");
    const auto pH = [&](double V) {
        const report::PHValue p = model->pH(V);
        s.calcErrorFlag = s.calcErrorFlag != 0 || p.failed;
        return p.value;
    };
    for (const double point : model->equivalenceVolumes())
        s.pointVerdicts.push_back(judge(pH, point));
    s.verdict = *std::max_element(s.pointVerdicts.begin(), s.pointVerdicts.end());
    if (s.pointVerdicts.size() == 1)
        s.pointVerdicts.clear();
}

} // namespace

std::optional<Refusal> whyRefused(std::optional<chem::TitrationType> type,
                                  const SchematicState& state)
{
    // A box the refresh refused is why; otherwise a quantity it left unread was blank.
    if (type && state.refusal)
        return state.refusal;
    return report::checkTitration(type, state.inputs, state.calcErrorFlag,
                                  report::protonCount(state.constants));
}

report::CalculationInput calculationInput(std::optional<chem::TitrationType> type,
                                          const SchematicState& state, const BoxTexts& boxes,
                                          int indicatorPosition,
                                          const IndicatorCatalogue& catalogue,
                                          const std::string& verdictCaption)
{
    report::CalculationInput input{type, state.inputs,   state.calcErrorFlag, boxes.TxKaKb,
                                   {},   verdictCaption, state.constants,     {}};
    for (int k = 1; k <= catalogue.indicatorCount; ++k) {
        const Indicator& i = catalogue.table[static_cast<std::size_t>(k)];
        input.indicatorRanges.emplace_back(i.pHLow, i.pHHigh);
    }
    if (indicatorPosition >= 1 && indicatorPosition <= catalogue.indicatorCount) {
        const Indicator& k = catalogue.table[static_cast<std::size_t>(indicatorPosition)];
        input.indicator =
            report::IndicatorInfo{k.name, k.pHLow, k.pHHigh, k.acidColourName, k.basicColourName};
    }
    return input;
}

std::string schematicDescription(std::optional<chem::TitrationType> type,
                                 const SchematicState& state, int indicatorPosition,
                                 const IndicatorCatalogue& catalogue)
{
    if (!type)
        return "Choose a titration type.";
    const report::TypeNames& names = report::typeNames(*type);
    const std::string analyte = names.analyte, titrant = names.titrant;
    // The labels' own numbers, "pH = " left off.
    const auto pH = [](const std::string& label) {
        return label.empty() ? std::string(", pH not known") : ", pH " + label.substr(5);
    };
    std::string text = std::string("Burette: ") + titrant;
    if (state.inputs.titrantConc > 0)
        text += ' ' + report::NumberText(state.inputs.titrantConc) + " mol/L";
    text += pH(state.LblpHBur) + ". Flask: " + analyte + pH(state.LblpHErl);
    const bool chosen = indicatorPosition >= 1 && indicatorPosition <= catalogue.indicatorCount;
    if (chosen && !state.LblpHErl.empty()) {
        const Indicator& k = catalogue.table[static_cast<std::size_t>(indicatorPosition)];
        const double flask = report::ReadNumber(state.LblpHErl.substr(5));
        const std::string colour =
            flask <= k.pHLow    ? k.acidColourName
            : flask >= k.pHHigh ? k.basicColourName
                                : "between " + k.acidColourName + " and " + k.basicColourName;
        text += ", " + colour + " with " + k.name;
    }
    if (state.verdict)
        text += ". The indicator is " + report::lowerCase(verdictCaption(*state.verdict));
    return text + '.';
}

std::string sentence(const Refusal& refusal)
{
    std::string text = refusal.text;
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text + '.';
}

std::string stripDescription(int indicatorPosition, const IndicatorCatalogue& catalogue)
{
    if (indicatorPosition < 1 || indicatorPosition > catalogue.indicatorCount)
        return "No indicator";
    const Indicator& k = catalogue.table[static_cast<std::size_t>(indicatorPosition)];
    return k.name + ": " + k.acidColourName + " up to pH " + report::NumberText(k.pHLow) + ", " +
           k.basicColourName + " from pH " + report::NumberText(k.pHHigh);
}

std::string verdictCaption(const SchematicState& state)
{
    if (!state.verdict)
        return {};
    std::string text = verdictCaption(*state.verdict);
    if (state.pointVerdicts.empty() || *state.verdict == SuitabilityVerdict::Inappropriate)
        return text;
    std::string points;
    int count = 0;
    for (std::size_t k = 0; k < state.pointVerdicts.size(); ++k)
        if (state.pointVerdicts[k] != SuitabilityVerdict::Inappropriate) {
            points += (count++ ? ", " : "") + std::to_string(k + 1);
        }
    return text + (count == 1 ? ": point " : ": points ") + points;
}

std::string verdictCaption(SuitabilityVerdict verdict)
{
    switch (verdict) {
    case SuitabilityVerdict::Inappropriate:
        return "Inappropriate";
    case SuitabilityVerdict::Appropriate:
        return "Appropriate";
    case SuitabilityVerdict::VeryAppropriate:
        return "Very appropriate";
    }
    return {};
}

Colour verdictColour(SuitabilityVerdict verdict)
{
    return verdict == SuitabilityVerdict::Inappropriate ? rgb(255, 0, 0) : rgb(0, 128, 0);
}

std::string pHLabelText(double pH)
{
    return "pH = " + report::PlainText(report::Round(pH, 3));
}

SchematicState ActualizarColor_pH(std::optional<chem::TitrationType> type, const BoxTexts& boxes,
                                  int indicatorPosition, const IndicatorCatalogue& catalogue)
{
    SchematicState state;
    try {
        refresh(type, boxes, indicatorPosition, catalogue, state);
    } catch (const RefreshFailure&) {
        state.verdict.reset();
        state.calcErrorFlag = 1;
    }
    if (state.refusal)
        state.calcErrorFlag = 1;
    return state;
}

} // namespace indicators
