#include "views/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orti {
namespace {

// Decimal digits d1 d2 ... of a value 0.d1d2... x 10^exponent.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

// The first 18 significant digits of |value| (> 0), correctly rounded by the C
// library; the console's rounding then works on these decimal digits, so that
// 2.25 rounds to 2.3 as the operator expects, not to the binary neighbour.
Decimal ToDecimal(double magnitude) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17e", magnitude);
  Decimal d;
  for (const char* p = buffer; *p != '\0' && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
  }
  const char* e = std::strchr(buffer, 'e');
  d.exponent = (e ? std::atoi(e + 1) : 0) + 1;
  return d;
}

// Keeps `count` leading digits, rounding half away from zero; a carry out of
// the first digit raises the exponent. No digits left means zero.
Decimal RoundTo(Decimal d, int count) {
  if (count < 0) return {};
  const bool up =
      static_cast<size_t>(count) < d.digits.size() && d.digits[static_cast<size_t>(count)] >= '5';
  if (static_cast<size_t>(count) < d.digits.size()) d.digits.resize(static_cast<size_t>(count));
  if (up) {
    int i = count - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
      d.digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++d.digits[static_cast<size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
  return d;
}

char DigitAt(const Decimal& d, int position) {
  return position >= 0 && static_cast<size_t>(position) < d.digits.size()
             ? d.digits[static_cast<size_t>(position)]
             : '0';
}

std::string ExponentForm(const Decimal& d, const std::string& separator) {
  std::string text(1, d.digits[0]);
  if (d.digits.size() > 1) text += separator + d.digits.substr(1);
  return text + "E" + std::to_string(d.exponent - 1);
}

std::string FixedForm(const Decimal& d, int digits, const std::string& separator) {
  std::string text;
  if (d.exponent <= 0) {
    text = "0";
  } else {
    for (int i = 0; i < d.exponent; ++i) text.push_back(DigitAt(d, i));
  }
  if (digits > 0) {
    text += separator;
    for (int i = 0; i < digits; ++i) text.push_back(DigitAt(d, d.exponent + i));
  }
  return text;
}

}  // namespace

std::string FormatFixed(double value, int precision, int digits, const std::string& separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (precision < 1) precision = 1;
  if (digits < 0) digits = 0;
  const bool negative = value < 0;
  Decimal d;
  if (value != 0) {
    const Decimal exact = ToDecimal(std::fabs(value));
    d = RoundTo(exact, std::min(precision, exact.exponent + digits));
    if (d.exponent > precision) d = RoundTo(exact, precision);
  }
  if (d.digits.empty()) return FixedForm(d, digits, separator);  // zero has no sign
  const std::string body =
      d.exponent > precision ? ExponentForm(d, separator) : FixedForm(d, digits, separator);
  return negative ? "-" + body : body;
}

}  // namespace orti
