#include "lab/readings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numeric>
#include <optional>
#include <span>
#include <string>

namespace lab {

namespace {

using Failure = chem::Result<Readings>;

enum class Separator { Comma, Semicolon, Blanks };

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

/// Whether `s` is well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isUtf8(std::string_view s)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* const end = p + s.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned low = 0x80, high = 0xBF; // the allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (end - p <= more || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += more + 1;
    }
    return true;
}

/// The number `field` spells in full: an optional sign, digits with a decimal point (or a
/// decimal comma when `decimalComma`), an optional exponent. Nothing else, and finite.
std::optional<double> number(std::string_view field, bool decimalComma)
{
    char buffer[64];
    if (field.empty() || field.size() >= sizeof buffer)
        return std::nullopt;
    if (field.front() == '+') {
        field.remove_prefix(1); // from_chars takes no '+', and must not see "+-1"
        if (field.empty() || field.front() == '-' || field.front() == '+')
            return std::nullopt;
    }
    std::size_t n = 0;
    for (const char c : field) {
        // Only what a number is spelt with: from_chars would also take "inf" and "nan".
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' ||
                             c == 'e' || c == 'E' || (decimalComma && c == ',');
        if (!allowed)
            return std::nullopt;
        buffer[n++] = c == ',' ? '.' : c;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    if (error != std::errc{} || end != buffer + n || !std::isfinite(value))
        return std::nullopt;
    return value;
}

/// The separator of a line: a semicolon if there is one; else blanks when a run of blanks
/// stands between two characters that are not commas ("12,5 4,7" has a decimal comma); else a
/// comma if there is one ("12.5, 4.7").
Separator separatorOf(std::string_view line)
{
    line = trimmed(line);
    if (line.find(';') != std::string_view::npos)
        return Separator::Semicolon;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (!isBlank(line[i]) || isBlank(line[i - 1]))
            continue;
        std::size_t j = i;
        while (j < line.size() && isBlank(line[j]))
            ++j;
        if (line[i - 1] != ',' && j < line.size() && line[j] != ',')
            return Separator::Blanks;
    }
    return line.find(',') != std::string_view::npos ? Separator::Comma : Separator::Blanks;
}

/// Splits `line` into at most `fields.size()` fields; returns how many it holds (counting on
/// past the array, so that a line with too many columns says how many).
std::size_t split(std::string_view line, Separator separator, std::span<std::string_view> fields)
{
    line = trimmed(line);
    std::size_t count = 0;
    const auto add = [&](std::string_view f) {
        if (count < fields.size())
            fields[count] = trimmed(f);
        ++count;
    };
    if (separator == Separator::Blanks) {
        std::size_t i = 0;
        while (i < line.size()) {
            const std::size_t start = i;
            while (i < line.size() && !isBlank(line[i]))
                ++i;
            add(line.substr(start, i - start));
            while (i < line.size() && isBlank(line[i]))
                ++i;
        }
        return count;
    }
    const char c = separator == Separator::Comma ? ',' : ';';
    std::size_t start = 0;
    for (std::size_t i = line.find(c); i != std::string_view::npos; i = line.find(c, start)) {
        add(line.substr(start, i - start));
        start = i + 1;
    }
    add(line.substr(start));
    return count;
}

/// A field quoted in a refusal: at most 24 bytes, cut at a character boundary.
std::string quoted(std::string_view field)
{
    if (field.size() > 24) {
        std::size_t n = 24;
        while (n > 0 && (static_cast<unsigned char>(field[n]) & 0xC0) == 0x80)
            --n;
        return '"' + std::string(field.substr(0, n)) + "...\"";
    }
    return '"' + std::string(field) + '"';
}

std::string numberText(double x)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, x);
    return error == std::errc{} ? std::string(buffer, end) : std::string("?");
}

} // namespace

chem::Result<Readings> readReadings(std::string_view text)
{
    if (text.size() > kMaxReadingsBytes)
        return Failure::failed("the file is over 10 MB");
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);

    Readings file;
    std::optional<Separator> separator;
    bool headerPossible = true;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const auto refuse = [&](const std::string& why) {
            return Failure::failed("line " + std::to_string(lineNumber) + ": " + why);
        };
        if (line.find('\0') != std::string_view::npos)
            return refuse("not text (a NUL byte)");
        if (!isUtf8(line))
            return refuse("not text (not UTF-8)");
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty())
            continue;

        std::array<std::string_view, 2> fields;
        const Separator sep = separator ? *separator : separatorOf(line);
        const std::size_t columns = split(line, sep, fields);
        const bool decimalComma = sep != Separator::Comma;
        const std::optional<double> volume = number(fields[0], decimalComma);
        if (headerPossible && !volume) {
            headerPossible = false; // a header, whatever else it holds
            continue;
        }
        headerPossible = false;
        separator = sep;
        if (columns != 2)
            return refuse(std::to_string(columns) + (columns == 1 ? " column" : " columns") +
                          " where a volume and a pH were expected");
        if (!volume)
            return refuse("the volume " + quoted(fields[0]) + " is not a number");
        const std::optional<double> pH = number(fields[1], decimalComma);
        if (!pH)
            return refuse("the pH " + quoted(fields[1]) + " is not a number");
        if (*volume < 0.0)
            return refuse("the volume " + numberText(*volume) + " mL is negative");
        if (*pH < kMinReadingPH || *pH > kMaxReadingPH)
            return refuse("the pH " + numberText(*pH) + " is outside -2 to 16");
        file.volume.push_back(*volume);
        file.pH.push_back(*pH);
    }
    if (file.size() < kMinReadings)
        return Failure::failed(std::to_string(file.size()) +
                               (file.size() == 1 ? " reading" : " readings") +
                               "; at least 5 are needed");

    std::vector<std::size_t> order(file.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return file.volume[a] < file.volume[b]; });
    Readings sorted;
    sorted.volume.reserve(order.size());
    sorted.pH.reserve(order.size());
    for (const std::size_t i : order) {
        sorted.volume.push_back(file.volume[i]);
        sorted.pH.push_back(file.pH[i]);
    }
    return Failure::success(std::move(sorted));
}

} // namespace lab
