#pragma once
// Measured readings: volume and pH pairs from a text file.

#include "chem/result.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace lab {

/// The largest file the reader accepts, and the fewest readings it keeps.
inline constexpr std::size_t kMaxReadingsBytes = 10 * 1024 * 1024;
inline constexpr std::size_t kMinReadings = 5;
/// The pH a glass electrode can show; beyond it a reading is a typing error.
inline constexpr double kMinReadingPH = -2.0;
inline constexpr double kMaxReadingPH = 16.0;

/// Readings sorted by volume; readings taken at one volume keep the file's order.
struct Readings
{
    std::vector<double> volume; ///< mL of titrant added, ascending
    std::vector<double> pH;     ///< the pH read at each volume

    std::size_t size() const { return volume.size(); }
};

/// The readings in `text`, or why it is refused.
///
/// Accepted: one reading a line, volume (mL) then pH, separated by a comma, a semicolon or
/// blanks (spaces or tabs); a decimal comma where the separator is not a comma ("12,5;4,7",
/// "12,5 4,7"); an optional header line (the first line that is not a comment, when its first
/// column is not a number); "#" comments, whole lines or after a reading; blank lines; CR LF or
/// LF line ends; a UTF-8 byte-order mark. The separator is the first reading's, for the whole
/// file. The program's own CSV ("Volume (mL),pH", rows "12.5,4.745") reads back.
///
/// Refused, with "line N: " and the reason: a column that is not a number, a pH outside
/// kMinReadingPH..kMaxReadingPH, a negative volume, a line without exactly two columns, a NUL
/// byte or invalid UTF-8 (not text). Without a line number: more than kMaxReadingsBytes, fewer
/// than kMinReadings readings.
chem::Result<Readings> readReadings(std::string_view text);

} // namespace lab
