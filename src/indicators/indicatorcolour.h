#pragma once

#include "indicators/catalogue.h"

namespace indicators {

/// The colour of a solution at `pH` holding the indicator of slot `ID`: its acid colour up to
/// pHLow, its basic colour from pHHigh on, and a straight blend channel by channel in between.
/// A slot outside 0..indicatorCount gives black (0), and so does the empty slot 0.
Colour Get_Color_INDIC(const IndicatorCatalogue& catalogue, std::int32_t ID, double pH);

} // namespace indicators
