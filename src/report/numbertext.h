#pragma once
// How numbers become texts, one set of rules for every label, table and printout.
//
// PlainText is the general form: 15 significant digits, no trailing zeros, no zero before the
// point of a magnitude below 1 (.5, -.5), exponent form below 1E-04 and from 1E+15 on
// (1E-05, 2.5E+15). NumberText and SignedNumberText repair its leading characters. Round and
// Int are the rounding rules the callers apply first. The point is the decimal separator
// whatever the locale, and no text is ever "-0".

#include <string>

namespace report {

/// The plain text of x, trimmed. Never "-0"; a NaN is written 0 and an infinity as the largest
/// finite magnitude, so that no "nan" or "inf" can reach the screen.
std::string PlainText(double x);

/// PlainText with a "0" put before a leading point: 0.5 → "0.5", but -0.5 → "-.5".
std::string NumberText(double x);

/// PlainText with both leading forms repaired: 0.5 → "0.5", -0.5 → "-0.5".
std::string SignedNumberText(double x);

/// x rounded to `decimals` decimals (0 to 22). A value whose exact binary value lies halfway
/// goes to the even neighbour (2.5 → 2, 0.125 → 0.12), while 12.365, stored a little above
/// 12.365, goes up. Exact, and independent of the floating-point rounding mode.
double Round(double x, int decimals);

/// x rounded by Round to `decimals` decimals and written with all of them (0.010, 7.00), as
/// a CSV or a warning gives a value; never "-0.000".
std::string FixedText(double x, int decimals);

/// The largest whole number not greater than x.
double Int(double x);

/// A constant with three significant digits, as tables write it: 7.08E-3, 1E3.
std::string constantText(double k);

} // namespace report
