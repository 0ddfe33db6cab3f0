#include "views/value_key.h"

#include <cstdio>
#include <cstdlib>

#include "platform/date_time.h"
#include "views/number_text.h"

namespace orti {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Exactly `count` digits from `text` at `pos`.
bool TakeDigits(std::string_view text, size_t& pos, size_t count, int& value) {
  if (pos + count > text.size()) return false;
  value = 0;
  for (size_t i = 0; i < count; ++i, ++pos) {
    if (!IsDigit(text[pos])) return false;
    value = value * 10 + (text[pos] - '0');
  }
  return true;
}

bool TakeChar(std::string_view text, size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

bool IsModeText(std::string_view mode) {
  return mode == "pH" || mode == "pH25" || mode == "mV";
}

}  // namespace

bool ParseExportNumber(std::string_view text, double& value) {
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
  const size_t intStart = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  if (pos == intStart) return false;
  if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
    const size_t fracStart = ++pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    if (pos == fracStart) return false;
  }
  if (pos != text.size()) return false;
  std::string copy(text);
  for (char& c : copy) {
    if (c == ',') c = '.';
  }
  value = std::strtod(copy.c_str(), nullptr);
  return true;
}

bool ParseExportDateTime(std::string_view text, ExportDateTime& v) {
  size_t pos = 0;
  if (!TakeDigits(text, pos, 2, v.day) || !TakeChar(text, pos, '.') ||
      !TakeDigits(text, pos, 2, v.month) || !TakeChar(text, pos, '.') ||
      !TakeDigits(text, pos, 4, v.year) || !TakeChar(text, pos, ' ') ||
      !TakeDigits(text, pos, 2, v.hour) || !TakeChar(text, pos, ':') ||
      !TakeDigits(text, pos, 2, v.minute)) {
    return false;
  }
  v.second = -1;
  if (pos < text.size() && (!TakeChar(text, pos, ':') || !TakeDigits(text, pos, 2, v.second))) {
    return false;
  }
  if (pos != text.size()) return false;
  if (v.month < 1 || v.month > 12 || v.day < 1 || v.hour > 23 || v.minute > 59 || v.second > 59 ||
      v.year < 1900) {
    return false;
  }
  // 31.04 is refused, not moved to 01.05.
  return DecodeDateTime(EncodeDate(v.year, v.month, v.day)).day == v.day;
}

std::string ValueKey(const ValueFields& fields, KeyParts parts) {
  ExportDateTime when;
  if (!ParseExportDateTime(fields.dateTime, when)) return {};
  if (parts.seconds && when.second < 0) return {};
  if (!IsModeText(fields.mode)) return {};
  double t = 0, emf = 0, ph = 0, ph25 = 0;
  if (!ParseExportNumber(fields.temperature, t) || !ParseExportNumber(fields.emf, emf) ||
      !ParseExportNumber(fields.ph, ph) || !ParseExportNumber(fields.ph25, ph25)) {
    return {};
  }
  char date[32];
  std::snprintf(date, sizeof date, "%02d.%02d", when.day, when.month);
  std::string key = date;
  if (parts.year) key += "." + std::to_string(when.year);
  std::snprintf(date, sizeof date, " %02d:%02d", when.hour, when.minute);
  key += date;
  if (parts.seconds) {
    std::snprintf(date, sizeof date, ":%02d", when.second);
    key += date;
  }
  key += ";" + std::string(fields.mode) + ";" + OneDecimalText(t, ".") + ";" +
         OneDecimalText(emf, ".") + ";" + ThreeDecimalsText(ph, ".") + ";" +
         ThreeDecimalsText(ph25, ".");
  return key;
}

}  // namespace orti
