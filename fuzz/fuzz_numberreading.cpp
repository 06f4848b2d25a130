// Arbitrary box texts through the number reading, and every double back through the texts.
#include "invariants.h"
#include "report/numberreading.h"
#include "report/numbertext.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double x = report::ReadNumber(text);
    fuzz::check(std::isfinite(x), "a reading is always finite", std::string(text));
    fuzz::check(!(x == 0 && std::signbit(x)), "a reading is never -0", std::string(text));

    // Whatever number came out, its texts are clean and read back to 15 digits.
    for (const std::string& shown :
         {report::NumberText(x), report::SignedNumberText(x), report::PlainText(x)}) {
        fuzz::checkShownText(shown);
        const double back = report::ReadNumber(shown);
        fuzz::check(back == x || std::fabs(back - x) <= 1e-14 * std::fabs(x),
                    "a number text reads back as its number", shown);
    }

    // The raw bytes as a double, to reach every exponent and the non-finite values too.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        fuzz::checkShownText(report::PlainText(raw));
        const double rounded = report::Round(raw, static_cast<int>(data[0] % 23));
        if (std::isfinite(raw))
            fuzz::check(std::isfinite(rounded), "rounding stays finite", report::PlainText(raw));
    }
    return 0;
}
