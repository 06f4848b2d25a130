// Arbitrary inputs, read as the program reads them, through the calculation run: the report
// and the table must be clean, sorted and free of duplicates.
#include "indicators/schematic.h"
#include "invariants.h"
#include "report/calculationrun.h"
#include "report/numberreading.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const auto type = chem::titrationTypeFromIndex(in.ConsumeIntegralInRange(-1, 4));
    const int position = in.ConsumeIntegralInRange(-1, 28);
    indicators::BoxTexts boxes;
    boxes.TxCBur = in.ConsumeRandomLengthString(24);
    boxes.TxVErl = in.ConsumeRandomLengthString(24);
    boxes.TxCErl = in.ConsumeRandomLengthString(24);
    boxes.TxKaKb = in.ConsumeRemainingBytesAsString();

    // The run starts from what the refresh accepted, as the program's does.
    const indicators::SchematicState s =
        indicators::ActualizarColor_pH(type, boxes, position, indicators::filledCatalogue());
    report::CalculationInput run;
    run.type = type;
    run.inputs = s.inputs;
    run.calcErrorFlag = s.calcErrorFlag;
    run.constantText = boxes.TxKaKb;
    if (position >= 1 && position <= indicators::filledCatalogue().indicatorCount) {
        const indicators::Indicator& k =
            indicators::filledCatalogue().table[static_cast<std::size_t>(position)];
        run.indicator =
            report::IndicatorInfo{k.name, k.pHLow, k.pHHigh, k.acidColourName, k.basicColourName};
    }
    run.verdictCaption = s.verdict ? indicators::verdictCaption(*s.verdict) : "Appropiate";
    const std::optional<report::Report> r = report::runCalculation(run);
    if (!r)
        return 0;

    const double veq = report::equivalenceVolume(s.inputs);
    fuzz::check(veq >= 5 && veq <= 300, "a run only for Veq in 5..300 mL");
    for (std::size_t i = 0; i < r->lines.size(); ++i)
        if (i != 5) // the constant line repeats the typed text, whatever it is
            fuzz::checkShownText(r->lines[i]);

    const std::string& t = r->table;
    fuzz::check(t.rfind("    Vol.    pH\r\n", 0) == 0, "the table starts with its header", t);
    std::size_t at = 16;
    double previous = -1;
    int rows = 0;
    while (at < t.size()) {
        const std::size_t end = t.find("\r\n", at);
        fuzz::check(end == at + 16, "a row is 16 characters and CR LF", t.substr(at, 40));
        const std::string row = t.substr(at, 16);
        fuzz::checkShownText(row);
        const double volume = report::ReadNumber(row.substr(0, 8));
        const double pH = report::ReadNumber(row.substr(8));
        fuzz::check(volume > previous, "volumes rise without repeating", row);
        fuzz::check(volume <= 2 * veq + 0.005 && pH > -2 && pH < 17, "a row within the curve", row);
        previous = volume;
        ++rows;
        at = end + 2;
    }
    fuzz::check(rows >= 1 && rows <= 39, "a table has 1 to 39 rows", std::to_string(rows));
    return 0;
}
