#pragma once
// Colours as the catalogue, the schematic and the chart hold them.

#include <cstdint>

namespace indicators {

/// A colour as R + 256·G + 65536·B, each channel 0..255.
using Colour = std::int32_t;

constexpr Colour rgb(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

} // namespace indicators
