// Any types, box texts and indicators through the number reading, the refresh and the run, as
// the window does: numbers finite and reading back from their texts; labels, report and table
// clean, in range, sorted, without duplicates. A broken invariant aborts, saying what broke.
#include "indicators/schematic.h"
#include "report/acceptance.h"
#include "report/calculationrun.h"
#include "report/numberreading.h"
#include "report/numbertext.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool holds, const char* what, const std::string& detail = {})
{
    if (!holds) {
        std::fprintf(stderr, "invariant violated: %s: [%s]\n", what, detail.c_str());
        std::abort();
    }
}

/// No "nan" or "inf" in any spelling, and never a negative zero.
void checkShown(const std::string& text)
{
    for (const char* bad : {"nan", "NaN", "inf", "Inf", "NAN", "INF", " -0 ", "= -0\r"})
        check(text.find(bad) == std::string::npos && text != "-0", "a non-number in a text", text);
}

void checkNumber(double x)
{
    check(std::isfinite(x) && !(x == 0 && std::signbit(x)), "a reading is finite, never -0",
          report::PlainText(x));
    for (const std::string& shown :
         {report::NumberText(x), report::SignedNumberText(x), report::PlainText(x)}) {
        checkShown(shown);
        check(std::fabs(report::ReadNumber(shown) - x) <= 1e-14 * std::fabs(x),
              "a number text reads back as its number", shown);
    }
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
    for (const std::string* box : {&boxes.TxCBur, &boxes.TxVErl, &boxes.TxCErl, &boxes.TxKaKb})
        checkNumber(report::ReadNumber(*box));

    const indicators::IndicatorCatalogue& catalogue = indicators::filledCatalogue();
    const indicators::SchematicState s =
        indicators::ActualizarColor_pH(type, boxes, position, catalogue);
    for (const std::string& label : {s.LblpHErl, s.LblpHBur}) {
        checkShown(label);
        check(label.empty() || (label.rfind("pH = ", 0) == 0 &&
                                label.find_first_not_of("-.0123456789E+", 5) == std::string::npos &&
                                std::fabs(report::ReadNumber(label.substr(5)) - 7.5) < 9.5),
              "a pH label holds a plain number, a pH the inputs allow", label);
    }
    const chem::TitrationInputs& v = s.inputs;
    const auto within = [](double x, double lo, double hi) {
        return x == chem::kNotGiven || (x >= lo && x <= hi);
    };
    const double K = v.dissociationConstant;
    // Constants or a name stand for any step's Ka or Kb; a number lies within the box's range.
    const bool constantInRange =
        K == chem::kNotGiven || (s.constants ? K > 0 && std::isfinite(K) : K > 1e-14 && K < 1);
    check(within(v.titrantConc, 1e-6, 10) && within(v.analyteConc, 1e-6, 10) &&
              within(v.analyteVolume, 2.5, 600) && constantInRange,
          "every accepted input lies in its range");
    check(!s.constants || (!s.constants->pKa.empty() && s.constants->pKa.size() <= 6 &&
                           std::is_sorted(s.constants->pKa.begin(), s.constants->pKa.end())),
          "an analyte has 1 to 6 pKa values, ascending");
    check(s.flaskColour >= 0 && s.flaskColour <= 0xffffff, "the flask colour is a colour");
    const double veq = report::equivalenceVolume(v);
    const int points = type && chem::isWeak(*type) ? report::protonCount(s.constants) : 1;
    if (s.verdict)
        check(veq >= 5 && points * veq <= 300 && position >= 1,
              "a verdict only with an indicator and every Veq in 5..300 mL");

    const report::CalculationInput run = indicators::calculationInput(
        type, s, boxes, position, catalogue,
        s.verdict ? indicators::verdictCaption(*s.verdict) : "Appropiate");
    const std::optional<report::Report> r = report::runCalculation(run);
    if (!r)
        return 0;
    check(veq >= 5 && points * veq <= 300, "a run only for every Veq in 5..300 mL");
    check(static_cast<int>(r->points.size()) == points &&
              (points == 1 ? r->lines.size() == report::kReportLines : r->lines.size() > 20),
          "a report block for each point");
    for (std::size_t i = 0; i < r->lines.size(); ++i) {
        // A typed constant's line repeats the text, but never its line breaks.
        check(r->lines[i].find_first_of("\r\n") == std::string::npos, "a report line is one line",
              r->lines[i]);
        if (i != 5 || s.constants)
            checkShown(r->lines[i]);
    }
    const std::string& t = r->table;
    check(t.rfind("    Vol.    pH\r\n", 0) == 0 && (t.size() - 16) % 18 == 0,
          "a header, then rows of 16 characters and CR LF", t);
    double previous = -1;
    int rows = 0;
    for (std::size_t at = 16; at < t.size(); at += 18, ++rows) {
        const std::string row = t.substr(at, 16);
        checkShown(row);
        check(t.compare(at + 16, 2, "\r\n") == 0, "a row ends with CR LF", row);
        const double volume = report::ReadNumber(row.substr(0, 8));
        const double pH = report::ReadNumber(row.substr(8));
        check(volume > previous, "volumes rise without repeating", row);
        check(volume <= (points + 1) * veq + 0.005 && pH > -2 && pH < 17, "a row within the curve",
              row);
        previous = volume;
    }
    check(rows >= 1 && rows <= 20 + 19 * points, "a table has 1 to 20 + 19 rows a point",
          std::to_string(rows));
    return 0;
}
