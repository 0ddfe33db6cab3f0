#pragma once
// What the SQLite archive's readings and changes share: the instrument's row,
// its shown name, and the list of what no server has confirmed yet.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/sqlite_db.h"

namespace orti {

// An instrument's shown name in a query joining `instruments ins`: the lab's
// name when given, else the reported one.
constexpr const char* kShownInstrumentSql =
    "CASE WHEN ins.lab_name <> '' THEN ins.lab_name ELSE ins.name END";

constexpr const char* kUnsentReading = "reading";
constexpr const char* kUnsentChange = "change";

// The instrument's id, its row added when first met.
int64_t InstrumentId(SqliteDb& db, const std::vector<uint8_t>& identity, const std::string& name);

void MarkUnsent(SqliteDb& db, const char* kind, int64_t id);

// An instrument filter: `text` is empty or in its shown or reported name.
bool NamesContain(const std::string& shown, const std::string& reported, const std::string& text);

}  // namespace orti
