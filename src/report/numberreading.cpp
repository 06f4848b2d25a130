#include "report/numberreading.h"

#include <algorithm>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace report {

namespace {

/// Walks a text character by character, skipping blanks, tabs and line feeds and reading a
/// comma as a point.
class Cursor
{
public:
    explicit Cursor(std::string_view text) : text_(text) { skipBlanks(); }

    char peek() const { return pos_ < text_.size() ? normalised(text_[pos_]) : '\0'; }
    bool atEnd() const { return pos_ == text_.size(); }
    void next()
    {
        ++pos_;
        skipBlanks();
    }
    bool accept(char c)
    {
        if (peek() != c)
            return false;
        next();
        return true;
    }

private:
    static char normalised(char c) { return c == ',' ? '.' : c; }
    void skipBlanks()
    {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n'))
            ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c, int base)
{
    int value = base;
    if (isDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

double readInteger(Cursor& in, int base, bool& anyDigit)
{
    double value = 0.0;
    for (int digit = digitValue(in.peek(), base); digit >= 0; digit = digitValue(in.peek(), base)) {
        anyDigit = true;
        value = value * base + digit;
        in.next();
    }
    return std::isfinite(value) ? value : std::numeric_limits<double>::max();
}

/// The number `in` begins with; `whole` tells whether it is a number to the end of the text.
double read(Cursor& in, bool& whole)
{
    bool anyDigit = false;
    const auto result = [&](double value) {
        whole = anyDigit && in.atEnd();
        return value;
    };
    if (in.accept('&')) {
        if (in.accept('H') || in.accept('h'))
            return result(readInteger(in, 16, anyDigit));
        if (in.accept('O') || in.accept('o'))
            return result(readInteger(in, 8, anyDigit));
        return result(0.0);
    }

    // Gather the number in the plain form from_chars reads: [-]digits[.digits][e[-]digits].
    std::string number;
    if (in.accept('-'))
        number += '-';
    else
        in.accept('+');

    int significantBeforePoint = 0; // digits before the point, leading zeros left out
    int zerosAfterPoint = 0;        // zeros between the point and the first other digit
    bool seenNonZero = false;
    for (; isDigit(in.peek()); in.next()) {
        anyDigit = true;
        seenNonZero = seenNonZero || in.peek() != '0';
        if (seenNonZero)
            ++significantBeforePoint;
        number += in.peek();
    }
    if (in.accept('.')) {
        number += '.';
        for (; isDigit(in.peek()); in.next()) {
            anyDigit = true;
            if (!seenNonZero && in.peek() == '0')
                ++zerosAfterPoint;
            seenNonZero = seenNonZero || in.peek() != '0';
            number += in.peek();
        }
    }
    if (!anyDigit)
        return result(0.0);

    long long exponent = 0;
    const char marker = in.peek();
    if (marker == 'E' || marker == 'e' || marker == 'D' || marker == 'd') {
        in.next();
        const bool negative = in.accept('-');
        if (!negative)
            in.accept('+');
        anyDigit = isDigit(in.peek()); // an exponent without digits ends a number, not a text
        for (; isDigit(in.peek()); in.next()) {
            if (exponent < 100000) // far beyond any double; saturate instead of overflowing
                exponent = exponent * 10 + (in.peek() - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    number += 'e' + std::to_string(exponent);

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (!seenNonZero)
            return result(0.0);
        // Decimal order of magnitude decides between too large and too small.
        const long long order = significantBeforePoint > 0 ? significantBeforePoint + exponent
                                                           : exponent - zerosAfterPoint;
        if (order <= 0)
            return result(0.0); // too small: zero, never a negative one
        const double magnitude = std::numeric_limits<double>::max();
        return result(number.starts_with('-') ? -magnitude : magnitude);
    }
    if (ec != std::errc{})
        return result(0.0);
    return result(value == 0.0 ? 0.0 : value);
}

} // namespace

double ReadNumber(std::string_view text)
{
    Cursor in(text);
    bool whole = false;
    return read(in, whole);
}

std::optional<double> ReadWholeNumber(std::string_view text)
{
    Cursor in(text);
    bool whole = false;
    const double value = read(in, whole);
    return whole ? std::optional<double>(value) : std::nullopt;
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string oneLine(std::string text)
{
    for (char& c : text)
        if (c >= 0 && c < ' ')
            c = ' ';
    return text;
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return text;
}

} // namespace report
