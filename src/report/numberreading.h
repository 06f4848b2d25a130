#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace report {

/// The number a box text begins with, the way an input box is read:
/// - every "," counts as "." (a decimal comma works like a decimal point);
/// - blanks, tabs and line feeds are skipped wherever they stand;
/// - an optional sign, digits with at most one point, then an optional exponent introduced by
///   E or D in either case, with an optional sign;
/// - reading stops at the first character that cannot continue the number;
/// - a leading &H or &O reads a hexadecimal or octal whole number;
/// - a text that does not begin with a number reads as 0.
/// The result is always finite: a number too large for a double reads as the largest one.
double ReadNumber(std::string_view text);

/// The number a text is in full, read as ReadNumber reads it, for a value given where no box
/// forgives a slip (the command line): none unless the text holds digits and the number runs to
/// its end, an exponent included with its digits. "0.1M", "1.8x10-5", "nan", "inf", "1E" and
/// "" are none.
std::optional<double> ReadWholeNumber(std::string_view text);

/// `text` without the blanks, tabs and line ends around it.
std::string_view trimmed(std::string_view text);

/// `text` on one line: each control character a blank, so that a pasted line break can split
/// neither a message nor a report line.
std::string oneLine(std::string text);

/// ASCII letters in lower case, as the report shows the verdict: "[very appropriate]".
std::string lowerCase(std::string text);

} // namespace report
