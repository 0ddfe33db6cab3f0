#pragma once
// When an imported export line and an archived measurement are the same
// measurement: what the instrument itself stores — day, month, time of day,
// mode and the numbers at the views' precision — never the year, which the
// console only guesses (the instrument stores none). A spreadsheet may have
// dropped the seconds: the key holds the minute, and the seconds are compared
// only where both sides have them.

#include <cstdint>
#include <string>

#include "views/value_key.h"

namespace orti {

struct MatchKey {
  std::string minute;  // "dd.mm hh:nn;mode;numbers"; empty when a field cannot be read
  int second = -1;     // -1: unknown
};

struct MatchValues {
  double taken = 0;  // days since 30 December 1899
  uint8_t mode = 0;
  double temperature = 0, emf = 0, ph = 0, ph25 = 0;
};

// The key of a measurement held as numbers (read, or imported earlier).
MatchKey MatchKeyOf(const MatchValues& values);
// The key of a line as an export or a spreadsheet wrote it.
MatchKey MatchKeyOf(const ValueFields& fields);

inline bool SameMeasurement(const MatchKey& a, const MatchKey& b) {
  return !a.minute.empty() && a.minute == b.minute &&
         (a.second < 0 || b.second < 0 || a.second == b.second);
}

}  // namespace orti
