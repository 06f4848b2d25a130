// Arbitrary types, box texts and indicator positions through the schematic refresh.
#include "indicators/schematic.h"
#include "invariants.h"
#include "report/numberreading.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

namespace {

void checkPHLabel(const std::string& label)
{
    if (label.empty())
        return;
    fuzz::checkShownText(label);
    fuzz::check(label.rfind("pH = ", 0) == 0, "a pH label starts with pH = ", label);
    const std::string number = label.substr(5);
    fuzz::check(!number.empty() && number.find_first_not_of("-.0123456789E+") == std::string::npos,
                "a pH label holds a plain number", label);
    const double pH = report::ReadNumber(number);
    fuzz::check(pH > -2 && pH < 17, "a pH label holds a pH the inputs allow", label);
}

bool inRange(double x, double lo, double hi)
{
    return x == chem::kNotGiven || (x >= lo && x <= hi);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const int typeIndex = in.ConsumeIntegralInRange(-1, 4);
    const int position = in.ConsumeIntegralInRange(-2, 31);
    indicators::BoxTexts boxes;
    boxes.TxCBur = in.ConsumeRandomLengthString(24);
    boxes.TxVErl = in.ConsumeRandomLengthString(24);
    boxes.TxCErl = in.ConsumeRandomLengthString(24);
    boxes.TxKaKb = in.ConsumeRemainingBytesAsString();

    const auto type = chem::titrationTypeFromIndex(typeIndex);
    const indicators::SchematicState s =
        indicators::ActualizarColor_pH(type, boxes, position, indicators::filledCatalogue());

    fuzz::check(s.calcErrorFlag == 0 || s.calcErrorFlag == 1, "the flag is 0 or 1");
    fuzz::check(s.calcErrorFlag == chem::CalcErrorFlag, "the flag is left as returned");
    checkPHLabel(s.LblpHErl);
    checkPHLabel(s.LblpHBur);
    const chem::TitrationInputs& v = s.inputs;
    fuzz::check(inRange(v.titrantConc, 1e-6, 10) && inRange(v.analyteConc, 1e-6, 10) &&
                    inRange(v.analyteVolume, 2.5, 600),
                "every accepted input lies in its range");
    fuzz::check(v.dissociationConstant == chem::kNotGiven ||
                    (v.dissociationConstant > 1e-14 && v.dissociationConstant < 1),
                "an accepted constant lies in its range");
    fuzz::check(s.flaskColour >= 0 && s.flaskColour <= 0xffffff, "the flask colour is a colour");
    if (s.verdict) {
        const double veq = v.analyteConc * v.analyteVolume / v.titrantConc;
        fuzz::check(veq >= 5 && veq <= 300, "a verdict only for Veq in 5..300 mL");
        fuzz::check(position >= 1, "a verdict only with an indicator");
    }
    return 0;
}
