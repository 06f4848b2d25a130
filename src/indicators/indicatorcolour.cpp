#include "indicators/indicatorcolour.h"

#include "report/numbertext.h"

#include <cmath>

namespace indicators {

namespace {

struct Channels
{
    double r, g, b;
};

Channels split(Colour colour)
{
    const double v = colour;
    const double q = std::floor(v / 256.0);
    const double b = std::floor(q / 256.0);
    return {v - 256.0 * q, q - 256.0 * b, b};
}

double blend(double acid, double basic, double t)
{
    // Halves go to the even neighbour.
    return report::Round((basic - acid) * t + acid, 0);
}

} // namespace

Colour Get_Color_INDIC(const IndicatorCatalogue& catalogue, std::int32_t ID, double pH)
{
    if (ID < 0 || ID > catalogue.indicatorCount || ID >= IndicatorCatalogue::kSlots)
        return 0;
    const Indicator& slot = catalogue.table[static_cast<std::size_t>(ID)];

    Colour result = 0;
    if (pH <= slot.pHLow)
        result = slot.acidColour;
    if (pH >= slot.pHHigh)
        result = slot.basicColour; // wins when both hold, as in the empty slot 0
    if (slot.pHLow < pH && pH < slot.pHHigh) {
        const Channels acid = split(slot.acidColour);
        const Channels basic = split(slot.basicColour);
        const double t = (pH - slot.pHLow) / (slot.pHHigh - slot.pHLow);
        const double r = blend(acid.r, basic.r, t);
        const double g = blend(acid.g, basic.g, t);
        const double b = blend(acid.b, basic.b, t);
        result = static_cast<Colour>(r + 256.0 * g + 65536.0 * b);
    }
    return result;
}

} // namespace indicators
