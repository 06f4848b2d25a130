#pragma once
// Indicators: the built-in catalogue of 27 acid-base indicators and the colour a solution
// shows with one of them.
//
// The catalogue has 31 slots; slot 0 stands for "no indicator" and stays empty, slots 1..27
// hold the indicators in the order of the chooser, so a chooser position is a slot number.
// Fluorescent indicators are marked only by the "(F) " that begins their names.

#include "indicators/colour.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace indicators {

/// One catalogue entry. The solution shows acidColour at and below pHLow, basicColour at and
/// above pHHigh.
struct Indicator
{
    std::string name;
    double pHLow = 0.0;
    double pHHigh = 0.0;
    Colour acidColour = 0;
    Colour basicColour = 0;
    std::string acidColourName;
    std::string basicColourName;

    bool isFluorescent() const { return name.starts_with("(F)"); }
};

struct IndicatorCatalogue
{
    static constexpr int kSlots = 31;

    std::array<Indicator, kSlots> table{};
    /// Slots 1..indicatorCount are the real indicators; 0 until the catalogue is filled.
    std::int32_t indicatorCount = 0;
};

/// Fills slots 1..27 with the built-in indicators and sets indicatorCount to 27.
void InicializarIndicadores(IndicatorCatalogue& catalogue);

/// The position of the indicator `wanted` names: its number (1..indicatorCount), its name in any
/// case, or a fluorescent indicator's name without its "(F) " when that fits only one. 0 when
/// it names none, or more than one.
int findIndicator(const IndicatorCatalogue& catalogue, std::string_view wanted);

/// A catalogue already filled, for the tools and tests that need one outside the window.
const IndicatorCatalogue& filledCatalogue();

} // namespace indicators
