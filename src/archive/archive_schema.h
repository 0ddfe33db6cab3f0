#pragma once
// The archive's tables, one step per schema version, the same on every
// engine. The engine keeps the version reached; each step takes it one further.

#include "archive/sql_db.h"

namespace orti {

constexpr int kArchiveSchemaVersion = 4;
// The version whose step rebuilt the measurements compactly.
constexpr int kCompactVersion = 3;

// Applies the steps from the database's version up to `target` in one
// transaction, holding the engine's schema lock. A database already at or
// past `target` is left alone.
void MigrateArchive(SqlDb& db, int target = kArchiveSchemaVersion);

int ArchiveVersion(SqlDb& db);

}  // namespace orti
