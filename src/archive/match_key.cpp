#include "archive/match_key.h"

#include "views/record_text.h"

namespace orti {

MatchKey MatchKeyOf(const MatchValues& v) {
  const RecordTexts t = MakeRecordTexts(
      std::string(), RecordValues{v.mode, v.taken, v.temperature, v.emf, v.ph, v.ph25}, ".");
  return MatchKeyOf(ValueFields{t.dateTime, t.mode, t.temperature, t.emf, t.ph, t.ph25});
}

MatchKey MatchKeyOf(const ValueFields& fields) {
  MatchKey key;
  key.minute = ValueKey(fields, {false, false});
  ExportDateTime when;
  if (!key.minute.empty() && ParseExportDateTime(fields.dateTime, when)) key.second = when.second;
  return key;
}

}  // namespace orti
