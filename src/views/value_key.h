#pragma once
// When two export lines (or an export line and a record read from the
// instrument) hold the same measurement: the same date and time, mode and
// numbers, whatever decimal separator, trailing zeros or seconds a spreadsheet
// left on them. Export's duplicate test and the archive's import both match
// on this key, so a file re-saved elsewhere is never taken for new records.

#include <string>
#include <string_view>

namespace orti {

// A measurement's fields as a view or an export writes them.
struct ValueFields {
  std::string_view dateTime;  // "dd.mm.yyyy hh:nn:ss" or "dd.mm.yyyy hh:nn"
  std::string_view mode;      // "pH", "pH25" or "mV"
  std::string_view temperature, emf, ph, ph25;
};

// A number as an export or a spreadsheet writes it: an optional sign, digits,
// and optionally "." or "," followed by digits. No blanks, exponent, hex,
// "inf" or "nan"; false for anything else.
bool ParseExportNumber(std::string_view text, double& value);

struct ExportDateTime {
  int day = 0, month = 0, year = 0, hour = 0, minute = 0;
  int second = -1;  // -1: the text carries no seconds
};
// "dd.mm.yyyy hh:nn:ss" or without ":ss"; false for anything else or an impossible date.
bool ParseExportDateTime(std::string_view text, ExportDateTime& value);

// What the key is made of beyond day, month, hour, minute, mode and numbers.
struct KeyParts {
  bool year = true;     // off where the year is the console's guess (the instrument stores none)
  bool seconds = true;  // off to match a line whose seconds a spreadsheet dropped
};

// The key: date and time, mode, and the numbers re-formatted with the views'
// precision and "."; empty when a field cannot be read. With `parts.seconds`
// on, a line without seconds gives an empty key.
std::string ValueKey(const ValueFields& fields, KeyParts parts = {});

}  // namespace orti
