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
using report::Input;

bool isFilled(const std::string& text)
{
    return text.find_first_not_of(' ') != std::string::npos;
}

/// The refusal of a box whose value `x`, read from `text`, is outside what it accepts. The text
/// is quoted as typed, on one line; a box of tabs, which reads as 0, by its value.
Refusal outsideRange(const report::InputDescription& d, std::optional<TitrationType> type,
                     const std::string& text, double x)
{
    std::string typed(report::trimmed(report::oneLine(text)));
    if (typed.empty())
        typed = report::NumberText(x);
    return {d.box, Refusal::Kind::OutOfRange,
            report::quantityName(d.box, type) + ' ' + typed + " is outside " + d.rangeText()};
}

/// One refresh: each step writes what it found into the state and returns false where the
/// refresh ends (a refusal, or a pH it could not compute).
class Refresh
{
public:
    Refresh(std::optional<TitrationType> type, const BoxTexts& boxes, int position,
            const IndicatorCatalogue& catalogue, SchematicState& s, chem::ActivityModel activity)
        : type_(type), boxes_(boxes), position_(position), catalogue_(catalogue), s_(s),
          indicatorChosen_(position >= 1 && position <= catalogue.indicatorCount),
          activity_(activity)
    {}

    void run()
    {
        if (readAnalyte() && readTitrant() && read(report::describe(Input::TxVErl)))
            judgeIndicator();
    }

private:
    /// Reads a filled box into the inputs; false, with the refusal, when it is out of range.
    bool read(const report::InputDescription& d)
    {
        const std::string& text = boxes_.*d.text;
        if (!isFilled(text))
            return true;
        const double x = report::ReadNumber(text);
        if (!d.accepts(x)) {
            s_.refusal = outsideRange(d, type_, text, x);
            return false;
        }
        s_.inputs.*d.value = x;
        return true;
    }

    bool notComputed(Input box, const char* solution)
    {
        // With activities, what fails is the Davies equation's range.
        s_.refusal = {box, Refusal::Kind::NotComputable,
                      std::string("the pH of the ") + solution + " could not be computed" +
                          (activity_ == chem::ActivityModel::None
                               ? ""
                               : " with activities (ionic strength up to 0.5 mol/L)")};
        return false;
    }

    /// The constant of a weak analyte: a number, or constants or a name; the flask's pH.
    bool readConstant(std::optional<report::PHValue>& flaskPH)
    {
        chem::TitrationInputs& in = s_.inputs;
        const bool base = *type_ == TitrationType::WeakBaseStrongAcid;
        const report::ResolvedConstant resolved = report::resolveConstantText(boxes_.TxKaKb, base);
        if (!resolved.refusal.empty()) {
            s_.refusal = {Input::TxKaKb, Refusal::Kind::OutOfRange, resolved.refusal};
            return false;
        }
        if (resolved.analyte) {
            // The one-proton routines' constant, or for several protons the first step's,
            // which says only that the constant is given.
            s_.constants = resolved.analyte;
            const std::vector<double>& pKa = s_.constants->pKa;
            in.dissociationConstant =
                resolved.constant > 0
                    ? resolved.constant
                    : report::oneProtonConstant(base ? pKa.back() : pKa.front(), base);
        } else if (!read(report::describe(Input::TxKaKb))) {
            return false;
        }
        flaskPH = report::analyteAlonePH(*type_, in.analyteConc, in.dissociationConstant,
                                         s_.constants, activity_);
        return true;
    }

    /// The analyte, with the constant for the weak types, and the flask's pH and colour.
    bool readAnalyte()
    {
        if (!isFilled(boxes_.TxCErl))
            return true;
        if (!read(report::describe(Input::TxCErl)))
            return false;
        std::optional<report::PHValue> flaskPH;
        if (type_ && chem::isWeak(*type_)) {
            if (isFilled(boxes_.TxKaKb) && !readConstant(flaskPH))
                return false;
        } else if (type_) {
            flaskPH =
                report::analyteAlonePH(*type_, s_.inputs.analyteConc, 0.0, std::nullopt, activity_);
        }
        if (flaskPH && flaskPH->failed)
            return notComputed(Input::TxCErl, "analyte");
        if (flaskPH) {
            s_.LblpHErl = pHLabelText(flaskPH->value);
            if (indicatorChosen_)
                s_.flaskColour = Get_Color_INDIC(catalogue_, position_, flaskPH->value);
        }
        return true;
    }

    bool readTitrant()
    {
        if (!isFilled(boxes_.TxCBur))
            return true;
        if (!read(report::describe(Input::TxCBur)))
            return false;
        if (type_) {
            const report::PHValue buretPH =
                report::titrantAlonePH(*type_, s_.inputs.titrantConc, activity_);
            if (buretPH.failed)
                return notComputed(Input::TxCBur, "titrant");
            s_.LblpHBur = pHLabelText(buretPH.value);
        }
        return true;
    }

    /// The verdict, which needs a whole titration and an indicator. A failed pH here still
    /// completes the verdict, with its pH 0, and marks the state failed.
    void judgeIndicator()
    {
        const chem::TitrationInputs& in = s_.inputs;
        if (!(in.titrantConc > 0 && in.analyteConc > 0 && in.analyteVolume > 0))
            return;
        if (type_ && chem::isWeak(*type_) && !(in.dissociationConstant > 0))
            return;
        if (!indicatorChosen_)
            return;
        const double veq = report::equivalenceVolume(in);
        const int protons = type_ && chem::isWeak(*type_) ? report::protonCount(s_.constants) : 1;
        if ((s_.refusal = report::equivalenceVolumeRefusal(veq, protons)))
            return;

        const Indicator& indicator = catalogue_.table[static_cast<std::size_t>(position_)];
        const auto judge = [&](const report::EquivalencePoint& p) {
            return report::suitability(indicator.pHLow, indicator.pHHigh, p.pHAtLow, p.pHAtHigh,
                                       [&] { return p.pH; });
        };
        if (!type_) { // no type, no pH: every pH reads 0
            s_.verdict = judge(
                report::EquivalencePoint{veq, 0, 0.99 * veq, 1.01 * veq, 0, 0, {}, false, false});
            return;
        }
        const std::optional<report::TitrationModel> model =
            report::TitrationModel::make(*type_, in, s_.constants, activity_);
        if (!model) {
            notComputed(Input::TxKaKb, "analyte");
            return;
        }
        for (const report::EquivalencePoint& p : report::equivalencePoints(*model)) {
            s_.failed = s_.failed || p.failed;
            s_.pointVerdicts.push_back(judge(p));
        }
        s_.verdict = *std::max_element(s_.pointVerdicts.begin(), s_.pointVerdicts.end());
        if (s_.pointVerdicts.size() == 1)
            s_.pointVerdicts.clear();
    }

    std::optional<TitrationType> type_;
    const BoxTexts& boxes_;
    int position_;
    const IndicatorCatalogue& catalogue_;
    SchematicState& s_;
    bool indicatorChosen_;
    chem::ActivityModel activity_;
};

} // namespace

std::optional<Refusal> whyRefused(std::optional<chem::TitrationType> type,
                                  const SchematicState& state)
{
    // A box the refresh refused is why; otherwise a quantity it left unread was blank.
    if (type && state.refusal)
        return state.refusal;
    return report::checkTitration(type, state.inputs, state.failed,
                                  report::protonCount(state.constants));
}

report::CalculationInput calculationInput(std::optional<chem::TitrationType> type,
                                          const SchematicState& state, const BoxTexts& boxes,
                                          int indicatorPosition,
                                          const IndicatorCatalogue& catalogue,
                                          const std::string& verdictCaption)
{
    report::CalculationInput input{type, state.inputs,   state.failed,    boxes.TxKaKb,
                                   {},   verdictCaption, state.constants, {}};
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
                                  int indicatorPosition, const IndicatorCatalogue& catalogue,
                                  chem::ActivityModel activity)
{
    SchematicState state;
    Refresh(type, boxes, indicatorPosition, catalogue, state, activity).run();
    // A refusal ends the refresh before any verdict, and marks it failed.
    if (state.refusal)
        state.failed = true;
    return state;
}

} // namespace indicators
