#include "archive/server_archive.h"

#include "archive/archive_schema.h"
#include "archive/pg_db.h"
#include "archive/sql_archive.h"

namespace orti {

std::unique_ptr<ArchiveStore> OpenServerArchive(const std::string& conninfo) {
  auto db = std::make_unique<PgDb>(conninfo);
  const int version = db->Version();
  if (version < kArchiveSchemaVersion) MigrateArchive(*db);
  if (version > kArchiveSchemaVersion) db->SetReadOnly();
  return std::make_unique<SqlArchive>(std::move(db), false);
}

int ArchiveSchemaVersionOf(const std::string& conninfo) {
  PgDb db(conninfo);
  return db.Version();
}

}  // namespace orti
