#pragma once
// SQL fragments the archive's queries share.

#include <string>

namespace orti {

// An instrument's shown name in a query joining `instruments ins`: the lab's
// name when given, else the one it reports.
constexpr const char* kShownInstrumentSql =
    "CASE WHEN ins.lab_name <> '' THEN ins.lab_name ELSE ins.name END";

// Parameter `n` is in the instrument's shown or reported name.
inline std::string InstrumentContainsSql(int n) {
  return "instr(ins.lab_name || '|' || ins.name, ?" + std::to_string(n) + ") > 0";
}

}  // namespace orti
