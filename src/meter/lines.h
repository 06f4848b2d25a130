#pragma once
// What a pH meter sends, as text: its byte stream cut into lines, and the pH a line reports.
//
// Meters and boards send one ASCII line per reading, but end their lines differently: CR alone
// (Atlas Scientific's EZO circuits), CR LF (most meters) or LF (many Arduino sketches). The
// framer cuts on any of them, whatever the port is set to, so that a wrong setting never joins
// or loses readings. Which number on a line is the pH is the user's choice: the Nth number, or
// the group of a regular expression ("Voltage: 2.5 V  Value: 7.01 pH" needs the second). No Qt.

#include "chem/result.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace meter {

/// The longest line a meter sends; anything longer is noise on the line, cut and skipped.
inline constexpr std::size_t kMaxLineBytes = 256;

/// Cuts a byte stream into lines at CR, LF or CR LF, whichever comes; a CR LF split between two
/// reads is one line end. A line that runs past kMaxLineBytes is dropped whole and counted.
class LineFramer
{
public:
    /// The lines `bytes` completes, in order, without their ends.
    std::vector<std::string> feed(std::string_view bytes);
    /// Starts again, as when a port opens: the line begun before is dropped, and so are the
    /// bytes up to the first line end unless `atLineStart` (a port may open mid-line, and the
    /// tail of "9.560" is "0.560", a pH). Each dropped line is counted as partial.
    void restart(bool atLineStart);
    /// Lines dropped for running too long.
    std::size_t overlong() const { return overlong_; }
    /// Lines dropped as cut by a restart.
    std::size_t partial() const { return partial_; }

private:
    std::string pending_;
    bool afterCR_ = false;
    bool dropping_ = false;
    bool atLineStart_ = true;
    std::size_t overlong_ = 0, partial_ = 0;
};

/// Which number on a line is the pH.
struct Pick
{
    int nth = 1; ///< the Nth number on the line (1-based), 0 for the last, when `pattern` is empty
    std::string pattern; ///< an ECMAScript regular expression whose first group is the pH
};

/// A pick as the user writes it: a whole number N ≥ 1, "last", or a regular expression with one
/// group; fails with the reason (a number below 1, an expression that does not compile or has no
/// group).
chem::Result<Pick> readPick(std::string_view text);

/// The pH a meter can report: a glass electrode's range.
inline constexpr double kLowestPH = 0.0, kHighestPH = 14.0;

/// The pH `line` reports, or why it is skipped: not text, no such number, a number outside
/// kLowestPH..kHighestPH. Numbers are read with a decimal point ("7.01", "-0.5", "+7", "7."),
/// never a comma, which meters use between fields.
chem::Result<double> pHOfLine(std::string_view line, const Pick& pick);

} // namespace meter
