#include "archive/sqlite_archive.h"

#include "archive/archive_schema.h"
#include "archive/sqlite_db.h"

namespace orti {
namespace {

// Opens the file as it may be used: read-only when a newer program wrote it,
// else migrated. Reading the version is the first touch of the file: a file
// that is not a database fails here, before anything is written.
std::unique_ptr<SqlDb> OpenFile(const std::string& path, int busyTimeoutMs) {
  auto db = std::make_unique<SqliteDb>(path, false);
  db->SetBusyTimeout(busyTimeoutMs);
  const int version = ArchiveVersion(*db);
  if (version > kArchiveSchemaVersion) {
    db = std::make_unique<SqliteDb>(path, true);
    db->SetBusyTimeout(busyTimeoutMs);
    return db;
  }
  db->Exec("PRAGMA journal_mode = WAL");
  // In WAL mode NORMAL never corrupts the file; at worst a power cut loses
  // the last reading's addition, which the next reading adds again.
  db->Exec("PRAGMA synchronous = NORMAL");
  MigrateArchive(*db);
  // The rows rebuilt compactly leave the old pages free: give them back.
  if (version > 0 && version < kCompactVersion) db->Exec("VACUUM");
  return db;
}

}  // namespace

SqliteArchive::SqliteArchive(const std::string& path, int busyTimeoutMs)
    : SqlArchive(OpenFile(path, busyTimeoutMs), true) {}

}  // namespace orti
