#pragma once
// Measured readings: volume and pH pairs from a text file, as people type them and as
// instruments and data-logging programs export them.

#include "chem/result.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lab {

/// The largest file the reader accepts, and the fewest readings it keeps.
inline constexpr std::size_t kMaxReadingsBytes = 10 * 1024 * 1024;
inline constexpr std::size_t kMinReadings = 5;
/// The pH a glass electrode can show; beyond it a reading is a typing error.
inline constexpr double kMinReadingPH = -2.0;
inline constexpr double kMaxReadingPH = 16.0;
/// The largest volume read, in mL: 10 L, far beyond any burette or dosing pump's reservoir;
/// beyond it a reading is a typing error or a unit slip.
inline constexpr double kMaxReadingVolume = 10000.0;
/// A log's readings at one volume: the median of at most this many of the last ones.
inline constexpr std::size_t kLoggedReadingsPerVolume = 10;

/// Readings sorted by volume; readings taken at one volume keep the file's order.
struct Readings
{
    std::vector<double> volume; ///< mL of titrant added, ascending
    std::vector<double> pH;     ///< the pH read at each volume
    /// The readings a log took before they were reduced to one a volume; 0 when each line of
    /// the file was one reading.
    std::size_t loggedReadings = 0;

    std::size_t size() const { return volume.size(); }
};

/// A column chosen by the user: its 1-based number, or (a part of) its header's text.
struct ColumnPick
{
    std::size_t number = 0; ///< 1-based; 0 when chosen by header or not at all
    std::string header;     ///< matched case-insensitively inside the headers

    bool given() const { return number > 0 || !header.empty(); }
};

/// What the reader is told besides the text.
struct ReadOptions
{
    ColumnPick volume, pH; ///< not given: found by the headers, else the first numeric columns
    int run = 0;           ///< the run whose headers say "Run N"; 0 for the file's first run
};

/// What the reader saw of the file's columns, also when it refuses the readings.
struct ReadingsLayout
{
    std::vector<std::string> headers; ///< the header line's columns; empty without one
    std::vector<int> runs;            ///< the "Run N" numbers of the headers, in file order
    int run = 0;                      ///< the run read; 0 when the headers name none
    std::size_t columns = 2;          ///< in a line: the header's, else the first reading's
    std::size_t volumeColumn = 0;     ///< 0-based, in the whole line
    std::size_t pHColumn = 1;
    /// The headers or the options said which column is which; false when the reader fell back
    /// on the first numeric columns (a window asks the user then).
    bool settled = false;
};

/// The readings or why they are refused, with the layout either way.
struct ReadingsRead
{
    chem::Result<Readings> readings;
    ReadingsLayout layout;
};

/// The readings in `text`, with the columns and the run `options` ask for.
///
/// Accepted: one reading a line, any number of columns separated by a comma, a semicolon, tabs
/// or blanks (the first reading's separator, for the whole file; tabs alone when the header is
/// tab-separated, so that empty cells count); a decimal comma where the separator is not a
/// comma ("12,5;4,7"); an optional header line (the first line that is not a comment, when its
/// first filled column is not a number), its columns in double quotes or not; "#" comments,
/// whole lines or after a reading; blank lines; LF, CR LF or CR line ends; a UTF-8 byte-order
/// mark. The volume column is the one whose header holds a volume word (volume, vol, mL, cm³,
/// titrant, added, …), the pH column the one whose header holds "pH"; otherwise the first two
/// numeric columns. A data logger's columns headed "Run N: …" are read for one run.
///
/// A log: where the volume cell is empty, the pH was logged at the last volume typed; each
/// volume's reading is the median of its last kLoggedReadingsPerVolume logged ones; lines
/// before the first typed volume are not readings. Readings::loggedReadings counts them.
///
/// Refused, with "line N: " and the reason: a cell that is not a number, a pH outside
/// kMinReadingPH..kMaxReadingPH, a negative volume or one over kMaxReadingVolume, a line with
/// more columns than the header or the first reading (with other than two in a two-column
/// file), a NUL byte or invalid UTF-8 (not text). Without a line number: more than
/// kMaxReadingsBytes, fewer than kMinReadings readings, a column or a run the file lacks.
ReadingsRead readReadings(std::string_view text, const ReadOptions& options);

/// The layout readReadings would read `text` with, without reading the readings: for a chooser
/// that shows a run's columns. As far as it got when a column or the run is missing.
ReadingsLayout readingsLayout(std::string_view text, const ReadOptions& options);

/// The readings in `text` with the columns found by themselves, or why they are refused.
chem::Result<Readings> readReadings(std::string_view text);

/// The volume's and the pH's columns as "V,P" gives them, each a 1-based number or a header's
/// text ("3,1", "Volume,pH"); none unless both are there, numbers above 0.
std::optional<std::array<ColumnPick, 2>> parseColumns(std::string_view text);

/// "62 volumes from 1,843 logged readings", or "" when the readings were not merged.
std::string loggedReadingsText(const Readings& readings);

} // namespace lab
