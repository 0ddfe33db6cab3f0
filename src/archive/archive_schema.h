#pragma once
// The archive's tables, one step per schema version. PRAGMA user_version
// holds the version a file has reached; each step takes it one further.

#include "archive/sqlite_db.h"

namespace orti {

constexpr int kArchiveSchemaVersion = 4;
// The version whose step rebuilt the measurements compactly.
constexpr int kCompactVersion = 3;

// Applies the steps from the file's version up to `target` in one
// transaction. A file already at or past `target` is left alone.
void MigrateArchive(SqliteDb& db, int target = kArchiveSchemaVersion);

int ArchiveVersion(SqliteDb& db);

}  // namespace orti
