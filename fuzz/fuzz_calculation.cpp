// Arbitrary types, box texts and indicator positions through the schematic refresh, and what it
// accepted through the calculation run, as the window does: the labels, the report and the
// table must be clean, within range, sorted and free of duplicates.
#include "indicators/schematic.h"
#include "invariants.h"
#include "report/calculationrun.h"
#include "report/numberreading.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

void checkPHLabel(const std::string& label)
{
    if (label.empty())
        return;
    fuzz::checkShownText(label);
    fuzz::check(label.rfind("pH = ", 0) == 0 &&
                    label.find_first_not_of("-.0123456789E+", 5) == std::string::npos,
                "a pH label holds a plain number", label);
    const double pH = report::ReadNumber(label.substr(5));
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
    const auto type = chem::titrationTypeFromIndex(in.ConsumeIntegralInRange(-1, 4));
    const int position = in.ConsumeIntegralInRange(-2, 31);
    indicators::BoxTexts boxes;
    boxes.TxCBur = in.ConsumeRandomLengthString(24);
    boxes.TxVErl = in.ConsumeRandomLengthString(24);
    boxes.TxCErl = in.ConsumeRandomLengthString(24);
    boxes.TxKaKb = in.ConsumeRemainingBytesAsString();

    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    const indicators::SchematicState s =
        indicators::ActualizarColor_pH(type, boxes, position, catalogue);
    fuzz::check(s.calcErrorFlag == chem::CalcErrorFlag && (s.calcErrorFlag | 1) == 1,
                "the flag is 0 or 1, and left as returned");
    checkPHLabel(s.LblpHErl);
    checkPHLabel(s.LblpHBur);
    const chem::TitrationInputs& v = s.inputs;
    fuzz::check(inRange(v.titrantConc, 1e-6, 10) && inRange(v.analyteConc, 1e-6, 10) &&
                    inRange(v.analyteVolume, 2.5, 600) &&
                    (v.dissociationConstant == chem::kNotGiven ||
                     (v.dissociationConstant > 1e-14 && v.dissociationConstant < 1)),
                "every accepted input lies in its range");
    fuzz::check(s.flaskColour >= 0 && s.flaskColour <= 0xffffff, "the flask colour is a colour");
    const double veq = report::equivalenceVolume(v);
    if (s.verdict)
        fuzz::check(veq >= 5 && veq <= 300 && position >= 1,
                    "a verdict only with an indicator and Veq in 5..300 mL");

    report::CalculationInput run;
    run.type = type;
    run.inputs = v;
    run.calcErrorFlag = s.calcErrorFlag;
    run.constantText = boxes.TxKaKb;
    if (position >= 1 && position <= catalogue.indicatorCount) {
        const indicators::Indicator& k = catalogue.table[static_cast<std::size_t>(position)];
        run.indicator =
            report::IndicatorInfo{k.name, k.pHLow, k.pHHigh, k.acidColourName, k.basicColourName};
    }
    run.verdictCaption = s.verdict ? indicators::verdictCaption(*s.verdict) : "Appropiate";
    const std::optional<report::Report> r = report::runCalculation(run);
    if (!r)
        return 0;
    fuzz::check(veq >= 5 && veq <= 300, "a run only for Veq in 5..300 mL");
    for (std::size_t i = 0; i < r->lines.size(); ++i) {
        // The constant's line repeats the typed text, but never its line breaks.
        fuzz::check(r->lines[i].find_first_of("\r\n") == std::string::npos,
                    "a report line is one line", r->lines[i]);
        if (i != 5)
            fuzz::checkShownText(r->lines[i]);
    }
    const std::string& t = r->table;
    fuzz::check(t.rfind("    Vol.    pH\r\n", 0) == 0, "the table starts with its header", t);
    double previous = -1;
    int rows = 0;
    for (std::size_t at = 16; at < t.size(); at += 18, ++rows) {
        fuzz::check(t.compare(at + 16, 2, "\r\n") == 0, "a row is 16 characters and CR LF",
                    t.substr(at, 40));
        const std::string row = t.substr(at, 16);
        fuzz::checkShownText(row);
        const double volume = report::ReadNumber(row.substr(0, 8));
        const double pH = report::ReadNumber(row.substr(8));
        fuzz::check(volume > previous, "volumes rise without repeating", row);
        fuzz::check(volume <= 2 * veq + 0.005 && pH > -2 && pH < 17, "a row within the curve", row);
        previous = volume;
    }
    fuzz::check(rows >= 1 && rows <= 39, "a table has 1 to 39 rows", std::to_string(rows));
    return 0;
}
