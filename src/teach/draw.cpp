#include "teach/draw.h"

namespace teach {

std::uint32_t Draw::below(std::uint32_t n)
{
    if (n <= 1)
        return 0;
    // 2^32 mod n, computed without leaving 32 bits: the outputs at or past 2^32 − that are the
    // incomplete run.
    const std::uint32_t excess = (0u - n) % n;
    std::uint32_t x = 0;
    do
        x = static_cast<std::uint32_t>(engine_());
    while (x > 0xFFFFFFFFu - excess);
    return x % n;
}

} // namespace teach
