#pragma once
// A meter's bytes to pH readings: lines cut whatever their ends, the pH picked from each, and
// what is not a reading — garbage, partial or overlong lines, numbers outside an electrode's
// range — skipped and counted, never kept. No Qt.

#include "meter/lines.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace meter {

class MeterStream
{
public:
    /// `poll` is the command sent for a reading, which some meters echo.
    explicit MeterStream(Pick pick, std::string poll = {})
        : pick_(std::move(pick)), poll_(std::move(poll))
    {}

    /// The pH readings the lines `bytes` complete carry, in order.
    std::vector<double> feed(std::string_view bytes);
    /// The port opened (again): see LineFramer::restart.
    void restart(bool atLineStart);
    /// Lines that were not readings: blank lines and the meter's acknowledgements ("*OK") aside.
    std::size_t skipped() const { return skipped_ + framer_.overlong() + framer_.partial(); }
    /// Answers that are not readings: acknowledgements ("*OK", "*ER") as an EZO circuit sends
    /// them, and the poll command's echo (after a prompt, "> GETMEAS") as an Orion meter does.
    std::size_t replies() const { return replies_; }
    /// The lines the last feed() completed, blank ones too.
    const std::vector<std::string>& lastLines() const { return lastLines_; }
    /// Why the last line was skipped, with the line: "'15.20': a pH outside 0 to 14".
    const std::string& lastSkip() const { return lastSkip_; }

private:
    LineFramer framer_;
    Pick pick_;
    std::string poll_;
    std::size_t skipped_ = 0, replies_ = 0;
    std::string lastSkip_;
    std::vector<std::string> lastLines_;
};

/// A line as it may be shown: printable ASCII kept, anything else as "?", at most 40 characters.
std::string printable(std::string_view line);

} // namespace meter
