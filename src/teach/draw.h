#pragma once
// Draws for the teaching problems: a seed gives the same problems with every compiler and
// standard library, so a class shares an unknown or a quiz by its number. std::mt19937's outputs
// are fixed by the standard; the mapping onto a range is ours, because
// std::uniform_int_distribution's algorithm is each library's own.

#include <cstdint>
#include <random>

namespace teach {

class Draw
{
public:
    explicit Draw(std::uint32_t seed) : engine_(seed) {}

    /// A whole number from 0 to n − 1, each as likely (n ≥ 1): outputs in the engine's last,
    /// incomplete run of n are drawn again rather than folded onto the small numbers.
    std::uint32_t below(std::uint32_t n);

private:
    std::mt19937 engine_;
};

} // namespace teach
