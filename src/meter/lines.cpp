#include "meter/lines.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <regex>

namespace meter {

namespace {

using PHResult = chem::Result<double>;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAlphanumeric(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

/// The numbers on a line, in order: a sign only where no word runs into it ("CH-1" holds 1,
/// not -1), and none inside a word ("A211" holds none); a unit may follow ("7.01pH").
std::vector<double> numbersOn(std::string_view line)
{
    std::vector<double> numbers;
    std::size_t i = 0;
    while (i < line.size()) {
        const bool signedHere = (line[i] == '-' || line[i] == '+') && i + 1 < line.size() &&
                                (isDigit(line[i + 1]) || line[i + 1] == '.');
        const std::size_t start = i;
        const std::size_t body = signedHere ? i + 1 : i;
        const bool begins = isDigit(line[body]) || (line[body] == '.' && body + 1 < line.size() &&
                                                    isDigit(line[body + 1]));
        const bool free =
            start == 0 || (!isAlphanumeric(line[start - 1]) && line[start - 1] != '.');
        if (!begins || !free) {
            ++i;
            continue;
        }
        double value = 0.0;
        // from_chars takes no '+'; it reads digits, a point and an exponent.
        const char* from = line.data() + body;
        const auto [end, error] = std::from_chars(from, line.data() + line.size(), value);
        i = static_cast<std::size_t>(end - line.data());
        // "12.3.4" is no number (noise, a date or a version), not 12.3
        const bool runsOn = i + 1 < line.size() && line[i] == '.' && isDigit(line[i + 1]);
        if (error == std::errc{} && std::isfinite(value) && !runsOn)
            numbers.push_back(line[start] == '-' ? -value : value);
        else if (runsOn)
            while (i < line.size() && (isAlphanumeric(line[i]) || line[i] == '.'))
                ++i;
        else
            i = body + 1; // beyond a double (1e999): skipped, the scan goes on
    }
    return numbers;
}

bool isText(std::string_view line)
{
    for (const char c : line)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') ||
            static_cast<unsigned char>(c) >= 0x7F)
            return false;
    return true;
}

} // namespace

std::vector<std::string> LineFramer::feed(std::string_view bytes)
{
    std::vector<std::string> lines;
    for (const char c : bytes) {
        const bool end = c == '\r' || c == '\n';
        if (c == '\n' && afterCR_) { // the second half of a CR LF
            afterCR_ = false;
            continue;
        }
        afterCR_ = c == '\r';
        if (end) {
            if (!dropping_ && atLineStart_)
                lines.push_back(std::move(pending_));
            else if (!dropping_ && !pending_.empty())
                ++partial_;
            pending_.clear();
            dropping_ = false;
            atLineStart_ = true;
            continue;
        }
        if (dropping_)
            continue;
        if (pending_.size() == kMaxLineBytes) {
            pending_.clear();
            dropping_ = true;
            ++overlong_;
            continue;
        }
        pending_ += c;
    }
    return lines;
}

void LineFramer::restart(bool atLineStart)
{
    if (!pending_.empty() && !dropping_)
        ++partial_;
    pending_.clear();
    dropping_ = afterCR_ = false;
    atLineStart_ = atLineStart;
}

chem::Result<Pick> readPick(std::string_view text)
{
    using R = chem::Result<Pick>;
    if (text == "last")
        return R::success(Pick{0, {}});
    int n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error == std::errc{} && end == text.data() + text.size()) {
        if (n < 1)
            return R::failed("the number to pick counts from 1");
        return R::success(Pick{n, {}});
    }
    try {
        const std::regex expression{std::string(text)};
        if (expression.mark_count() < 1)
            return R::failed("the expression needs a group, in brackets, around the pH");
    } catch (const std::regex_error&) {
        return R::failed("'" + std::string(text) + "' is not a regular expression");
    }
    return R::success(Pick{1, std::string(text)});
}

chem::Result<double> pHOfLine(std::string_view line, const Pick& pick)
{
    if (!isText(line))
        return PHResult::failed("not text");
    std::optional<double> value;
    if (pick.pattern.empty()) {
        const std::vector<double> numbers = numbersOn(line);
        if (numbers.empty())
            return PHResult::failed("no number");
        if (pick.nth < 0 || static_cast<std::size_t>(pick.nth) > numbers.size())
            return PHResult::failed("no number " + std::to_string(pick.nth));
        value = pick.nth == 0 ? numbers.back() : numbers[static_cast<std::size_t>(pick.nth) - 1];
    } else {
        std::match_results<std::string_view::const_iterator> match;
        try { // a pick not made by readPick, or an expression too costly for this line
            const std::regex expression(pick.pattern);
            if (!std::regex_search(line.begin(), line.end(), match, expression) ||
                match.size() < 2 || !match[1].matched)
                return PHResult::failed("the expression does not match");
        } catch (const std::regex_error&) {
            return PHResult::failed("the expression cannot be used");
        }
        const auto from = static_cast<std::size_t>(match[1].first - line.begin());
        const std::vector<double> numbers =
            numbersOn(line.substr(from, static_cast<std::size_t>(match[1].length())));
        if (numbers.size() != 1)
            return PHResult::failed("the expression's group is not one number");
        value = numbers.front();
    }
    if (!(*value >= kLowestPH && *value <= kHighestPH))
        return PHResult::failed("a pH outside 0 to 14");
    return PHResult::success(*value);
}

} // namespace meter
