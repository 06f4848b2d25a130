#include "report/numbertext.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <system_error>

namespace report {

namespace {

constexpr int kSignificantDigits = 15;

__extension__ typedef unsigned __int128 uint128;

/// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

std::string exponentText(int exponent)
{
    std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    if (digits.size() < 2)
        digits.insert(0, 1, '0');
    return std::string("E") + (exponent < 0 ? '-' : '+') + digits;
}

} // namespace

std::string PlainText(double x)
{
    if (std::isnan(x) || x == 0.0)
        return "0";
    if (std::isinf(x))
        x = std::copysign(std::numeric_limits<double>::max(), x);

    // to_chars rounds the exact binary value to 15 digits in integer arithmetic, so neither the
    // locale nor the rounding mode can change the text.
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                         std::chars_format::scientific, kSignificantDigits - 1);
    if (ec != std::errc{})
        return "0";
    const std::string_view sci(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = sci.find('e');
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);

    // The significant digits without the point, trailing zeros dropped (at least one remains).
    std::string digits;
    digits += sci[0];
    digits.append(sci.substr(2, e - 2));
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.empty())
        digits = "0";

    std::string text = x < 0.0 ? "-" : "";
    if (exponent < -4 || exponent >= kSignificantDigits) {
        text += digits[0];
        if (digits.size() > 1)
            text += '.' + digits.substr(1);
        text += exponentText(exponent);
    } else if (exponent < 0) {
        text += '.';
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            text += digits;
            text.append(whole - digits.size(), '0');
        } else {
            text += digits.substr(0, whole) + '.' + digits.substr(whole);
        }
    }
    return text;
}

std::string NumberText(double x)
{
    std::string text = PlainText(x);
    if (text.starts_with('.'))
        text.insert(0, 1, '0');
    return text;
}

std::string SignedNumberText(double x)
{
    std::string text = PlainText(x);
    if (text.starts_with("-."))
        text.insert(1, 1, '0');
    if (text.starts_with('.'))
        text.insert(0, 1, '0');
    return text;
}

double Round(double x, int decimals)
{
    if (!std::isfinite(x) || decimals < 0 || decimals > 22)
        return x;

    // |x| = m·2^e exactly, so |x|·10^d = m·5^d·2^(e+d): an integer times a power of two,
    // which 128-bit integer arithmetic rounds without any error.
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    int e = 0;
    if (biased == 0) {
        e = -1074; // subnormal
    } else {
        mantissa |= std::uint64_t{1} << 52;
        e = biased - 1075;
    }
    const int shift = -(e + decimals);
    if (shift <= 0)
        return x; // x·10^d is already a whole number
    // m < 2^53 and 5^22 < 2^52, so m·5^d < 2^105: beyond that shift it is below half a unit.
    if (shift > 105)
        return 0.0;

    uint128 scaled = mantissa;
    for (int i = 0; i < decimals; ++i)
        scaled *= 5;
    const uint128 whole = scaled >> shift;
    const uint128 rest = scaled - (whole << shift);
    const uint128 half = uint128{1} << (shift - 1);
    uint128 rounded = whole;
    if (rest > half || (rest == half && (whole & 1) != 0))
        ++rounded;
    if (rounded == 0)
        return 0.0; // never a negative zero
    const double magnitude = static_cast<double>(rounded) / kExactPowersOfTen[decimals];
    return x < 0.0 ? -magnitude : magnitude;
}

std::string FixedText(double x, int decimals)
{
    char text[64];
    const double rounded = Round(x, decimals) + 0.0; // + 0.0: no negative zero
    const auto written =
        std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, decimals);
    return written.ec == std::errc{} ? std::string(text, written.ptr) : PlainText(x);
}

double Int(double x)
{
    return std::floor(x);
}

std::string constantText(double k)
{
    if (!(k > 0) || !std::isfinite(k))
        return NumberText(k);
    int exponent = static_cast<int>(std::floor(std::log10(k)));
    double mantissa = std::round(k / std::pow(10.0, exponent) * 100) / 100;
    if (mantissa >= 10) {
        mantissa /= 10;
        ++exponent;
    }
    std::string text = NumberText(mantissa);
    return exponent == 0 ? text : text + "E" + std::to_string(exponent);
}

} // namespace report
