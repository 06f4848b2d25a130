#include "meter/stream.h"

#include <algorithm>

namespace meter {

namespace {

/// An EZO circuit's answer to a command ('*' and capitals: "*OK", "*ER", "*OV", "*RS"), or
/// the echo of `poll`, after a prompt or not, padded with blanks as an Orion meter pads it.
bool isReply(std::string_view line, std::string_view poll)
{
    if (line.size() >= 2 && line.size() <= 4 && line.front() == '*' &&
        std::all_of(line.begin() + 1, line.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
        return true;
    while (!line.empty() && (line.front() == '>' || line.front() == ' '))
        line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ')
        line.remove_suffix(1);
    return line.empty() || (!poll.empty() && line == poll);
}

bool isBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

} // namespace

std::vector<double> MeterStream::feed(std::string_view bytes)
{
    std::vector<double> readings;
    const std::size_t overlong = framer_.overlong(), partial = framer_.partial();
    lastLines_ = framer_.feed(bytes);
    if (framer_.overlong() != overlong)
        lastSkip_ = "a line longer than " + std::to_string(kMaxLineBytes) + " bytes";
    if (framer_.partial() != partial)
        lastSkip_ = "a line cut when the port opened";
    for (const std::string& line : lastLines_) {
        if (isBlank(line))
            continue;
        if (isReply(line, poll_)) {
            ++replies_;
            continue;
        }
        const chem::Result<double> pH = pHOfLine(line, pick_);
        if (pH) {
            readings.push_back(*pH.value);
            continue;
        }
        ++skipped_;
        lastSkip_ = "'" + printable(line) + "': " + pH.failure;
    }
    return readings;
}

void MeterStream::restart(bool atLineStart)
{
    const std::size_t partial = framer_.partial();
    framer_.restart(atLineStart);
    if (framer_.partial() != partial)
        lastSkip_ = "a line cut when the port closed";
}

std::string printable(std::string_view line)
{
    constexpr std::size_t kShown = 40;
    std::string shown;
    for (const char c : line.substr(0, kShown))
        shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    if (line.size() > kShown)
        shown += "...";
    return shown;
}

} // namespace meter
