#include "archive/archive_schema.h"

#include <string>

namespace orti {
namespace {

// Step n takes a file from version n to n + 1. Never edit a step that has
// shipped: files in the field are at every version.
constexpr const char* kSteps[] = {
    // 1: measurements read from instruments.
    R"(CREATE TABLE measurements(
         id INTEGER PRIMARY KEY,
         instrument TEXT NOT NULL,
         identity BLOB,
         raw BLOB,
         folder_index INTEGER,
         folder_name TEXT NOT NULL,
         slot INTEGER,
         shown INTEGER NOT NULL,
         taken REAL NOT NULL,
         mode INTEGER NOT NULL,
         temperature REAL NOT NULL,
         emf REAL NOT NULL,
         ph REAL NOT NULL,
         ph25 REAL NOT NULL,
         match_key TEXT NOT NULL,
         first_read REAL NOT NULL,
         last_read REAL NOT NULL,
         operator TEXT NOT NULL,
         UNIQUE(identity, raw));
       CREATE INDEX measurements_taken ON measurements(taken);
       CREATE INDEX measurements_match ON measurements(match_key);)",
    // 2: lines imported from export files, in batches that can be taken back.
    R"(CREATE TABLE imports(
         id INTEGER PRIMARY KEY,
         file TEXT NOT NULL,
         imported REAL NOT NULL,
         added INTEGER NOT NULL);
       ALTER TABLE measurements ADD COLUMN import_id INTEGER REFERENCES imports(id);
       CREATE INDEX measurements_import ON measurements(import_id);)",
};
static_assert(sizeof(kSteps) / sizeof(kSteps[0]) == kArchiveSchemaVersion,
              "one step per schema version");

}  // namespace

int ArchiveVersion(SqliteDb& db) {
  return static_cast<int>(db.QueryInt("PRAGMA user_version"));
}

void MigrateArchive(SqliteDb& db, int target) {
  SqliteTransaction transaction(db);
  const int from = ArchiveVersion(db);
  if (from >= target) return;
  for (int v = from; v < target; ++v) db.Exec(kSteps[v]);
  db.Exec("PRAGMA user_version = " + std::to_string(target));
  transaction.Commit();
}

}  // namespace orti
