#pragma once
// Measured values as the console writes them in its views, export files and
// printed reports.

#include <string>

namespace orti {

// `value` taken to the nearest number of `precision` significant digits (ties
// away from zero) and written with exactly `digits` digits after `separator`;
// places beyond the significant digits are written as 0. A value needing more
// than `precision` integer digits is written in exponent form ("1,2346E5").
// A value that rounds to zero carries no sign; NaN and infinities are written
// "NAN", "INF" and "-INF".
std::string FormatFixed(double value, int precision, int digits, const std::string& separator);

// Temperature and EMF: 5 significant digits, one decimal.
inline std::string OneDecimalText(double value, const std::string& separator) {
  return FormatFixed(value, 5, 1, separator);
}
// pH and pH25: 6 significant digits, three decimals.
inline std::string ThreeDecimalsText(double value, const std::string& separator) {
  return FormatFixed(value, 6, 3, separator);
}

}  // namespace orti
