#include "archive/archive_store.h"

#include <sqlite3.h>

#include "archive/archive_schema.h"

namespace orti {
namespace {

constexpr const char* kSelect =
    "SELECT id, instrument, identity, raw, folder_index, folder_name, slot, shown, taken, mode, "
    "temperature, emf, ph, ph25, match_key, first_read, last_read, operator, import_id "
    "FROM measurements";

Measurement FromRow(const SqliteStatement& row) {
  Measurement m;
  m.id = row.Int(0);
  m.instrument = row.Text(1);
  m.identity = row.Blob(2);
  m.raw = row.Blob(3);
  m.folderIndex = row.IsNull(4) ? -1 : static_cast<int>(row.Int(4));
  m.folderName = row.Text(5);
  m.slot = row.IsNull(6) ? -1 : static_cast<int>(row.Int(6));
  m.shown = row.Int(7) != 0;
  m.taken = row.Real(8);
  m.mode = static_cast<uint8_t>(row.Int(9));
  m.temperature = row.Real(10);
  m.emf = row.Real(11);
  m.ph = row.Real(12);
  m.ph25 = row.Real(13);
  m.matchKey = row.Text(14);
  m.firstRead = row.Real(15);
  m.lastRead = row.Real(16);
  m.operatorName = row.Text(17);
  m.importId = row.IsNull(18) ? 0 : row.Int(18);
  return m;
}

class Inserter {
 public:
  explicit Inserter(SqliteDb& db)
      : insert_(db.Handle(),
                "INSERT OR IGNORE INTO measurements(instrument, identity, raw, folder_index, "
                "folder_name, slot, shown, taken, mode, temperature, emf, ph, ph25, match_key, "
                "first_read, last_read, operator, import_id) "
                "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)") {}

  // True when a row was added.
  bool Insert(SqliteDb& db, const Measurement& m, double now, int64_t importId) {
    insert_.Reset();
    insert_.Bind(1, m.instrument);
    if (m.identity.empty())
      insert_.BindNull(2);
    else
      insert_.Bind(2, m.identity);
    if (m.raw.empty())
      insert_.BindNull(3);
    else
      insert_.Bind(3, m.raw);
    if (m.folderIndex < 0)
      insert_.BindNull(4);
    else
      insert_.Bind(4, int64_t{m.folderIndex});
    insert_.Bind(5, m.folderName);
    if (m.slot < 0)
      insert_.BindNull(6);
    else
      insert_.Bind(6, int64_t{m.slot});
    insert_.Bind(7, int64_t{m.shown ? 1 : 0});
    insert_.Bind(8, m.taken);
    insert_.Bind(9, int64_t{m.mode});
    insert_.Bind(10, m.temperature).Bind(11, m.emf).Bind(12, m.ph).Bind(13, m.ph25);
    insert_.Bind(14, m.matchKey);
    insert_.Bind(15, now).Bind(16, now);
    insert_.Bind(17, m.operatorName);
    if (importId == 0)
      insert_.BindNull(18);
    else
      insert_.Bind(18, importId);
    insert_.Run();
    return db.Changes() > 0;
  }

 private:
  SqliteStatement insert_;
};

}  // namespace

ArchiveStore::ArchiveStore(const std::string& path, int busyTimeoutMs) : path_(path) {
  db_ = std::make_unique<SqliteDb>(path, false);
  sqlite3_busy_timeout(db_->Handle(), busyTimeoutMs);
  // Reading the version is the first touch of the file: a file that is not a
  // database fails here, before anything is written.
  if (ArchiveVersion(*db_) > kArchiveSchemaVersion) {
    db_ = std::make_unique<SqliteDb>(path, true);
    sqlite3_busy_timeout(db_->Handle(), busyTimeoutMs);
    readOnly_ = true;
    return;
  }
  db_->Exec("PRAGMA journal_mode = WAL");
  // In WAL mode NORMAL never corrupts the file; at worst a power cut loses
  // the last reading's addition, which the next reading adds again.
  db_->Exec("PRAGMA synchronous = NORMAL");
  MigrateArchive(*db_);
}

void ArchiveStore::RequireWritable() const {
  if (readOnly_) throw ArchiveError("archive of a newer version, opened read-only");
}

int ArchiveStore::AddReading(const std::vector<Measurement>& measurements, double now) {
  RequireWritable();
  SqliteTransaction transaction(*db_);
  Inserter inserter(*db_);
  SqliteStatement update(db_->Handle(),
                         "UPDATE measurements SET last_read = ?, folder_name = ? "
                         "WHERE identity = ? AND raw = ?");
  SqliteStatement adopt(
      db_->Handle(),
      "UPDATE measurements SET instrument = ?, identity = ?, raw = ?, import_id = NULL, "
      "folder_index = ?, slot = ?, last_read = ?, folder_name = ? "
      "WHERE id = (SELECT id FROM measurements WHERE match_key = ? "
      "AND raw IS NULL LIMIT 1)");
  // Imported lines are rare: without them the adoption query is skipped.
  const bool imported =
      db_->QueryInt("SELECT EXISTS(SELECT 1 FROM measurements WHERE raw IS NULL)") != 0;
  int added = 0;
  for (const Measurement& m : measurements) {
    if (imported) {
      adopt.Reset();
      adopt.Bind(1, m.instrument).Bind(2, m.identity).Bind(3, m.raw);
      adopt.Bind(4, int64_t{m.folderIndex}).Bind(5, int64_t{m.slot}).Bind(6, now);
      adopt.Bind(7, m.folderName).Bind(8, m.matchKey).Run();
      if (db_->Changes() > 0) continue;
    }
    if (inserter.Insert(*db_, m, now, 0)) {
      ++added;
      continue;
    }
    update.Reset();
    update.Bind(1, now).Bind(2, m.folderName).Bind(3, m.identity).Bind(4, m.raw).Run();
  }
  transaction.Commit();
  return added;
}

std::vector<Measurement> ArchiveStore::Query(const ArchiveFilter& f) const {
  std::string sql = std::string(kSelect) +
                    " WHERE shown = 1 AND taken >= ? AND taken < ?"
                    " AND instr(folder_name, ?) > 0 AND (? = 0 OR mode = ?)"
                    " AND instr(operator, ?) > 0 ORDER BY taken, id";
  SqliteStatement query(db_->Handle(), sql.c_str());
  query.Bind(1, f.from ? *f.from : -1e9);
  query.Bind(2, f.to ? *f.to + 1 : 1e9);
  query.Bind(3, f.folderContains);
  query.Bind(4, int64_t{f.mode}).Bind(5, int64_t{f.mode});
  query.Bind(6, f.operatorContains);
  std::vector<Measurement> rows;
  while (query.Step()) rows.push_back(FromRow(query));
  return rows;
}

ArchiveStats ArchiveStore::Stats() const {
  SqliteStatement query(db_->Handle(),
                        "SELECT count(*), count(DISTINCT identity), count(DISTINCT folder_name), "
                        "min(taken), max(taken) FROM measurements WHERE shown = 1");
  ArchiveStats stats;
  if (!query.Step()) return stats;
  stats.measurements = query.Int(0);
  stats.instruments = query.Int(1);
  stats.folders = query.Int(2);
  if (!query.IsNull(3)) stats.first = query.Real(3);
  if (!query.IsNull(4)) stats.last = query.Real(4);
  return stats;
}

int64_t ArchiveStore::Import(const std::string& file, const std::vector<Measurement>& lines,
                             double now, int64_t* batchId) {
  RequireWritable();
  SqliteTransaction transaction(*db_);
  SqliteStatement batch(db_->Handle(), "INSERT INTO imports(file, imported, added) VALUES(?,?,0)");
  batch.Bind(1, file).Bind(2, now).Run();
  const int64_t id = db_->LastInsertId();
  SqliteStatement known(db_->Handle(), "SELECT 1 FROM measurements WHERE match_key = ? LIMIT 1");
  Inserter inserter(*db_);
  int64_t added = 0;
  for (const Measurement& m : lines) {
    known.Reset();
    known.Bind(1, m.matchKey);
    if (known.Step()) continue;
    if (inserter.Insert(*db_, m, now, id)) ++added;
  }
  SqliteStatement count(db_->Handle(), "UPDATE imports SET added = ? WHERE id = ?");
  count.Bind(1, added).Bind(2, id).Run();
  transaction.Commit();
  if (batchId) *batchId = id;
  return added;
}

std::vector<ImportBatch> ArchiveStore::Imports() const {
  SqliteStatement query(db_->Handle(), "SELECT id, file, imported, added FROM imports ORDER BY id");
  std::vector<ImportBatch> batches;
  while (query.Step()) {
    batches.push_back({query.Int(0), query.Text(1), query.Real(2), query.Int(3)});
  }
  return batches;
}

bool ArchiveStore::ForgetImport(int64_t batchId) {
  RequireWritable();
  SqliteTransaction transaction(*db_);
  SqliteStatement drop(db_->Handle(), "DELETE FROM measurements WHERE import_id = ?");
  drop.Bind(1, batchId).Run();
  SqliteStatement forget(db_->Handle(), "DELETE FROM imports WHERE id = ?");
  forget.Bind(1, batchId).Run();
  const bool found = db_->Changes() > 0;
  transaction.Commit();
  return found;
}

void ArchiveStore::Backup(const std::string& target) const {
  SqliteDb copy(target, false);
  sqlite3_backup* backup = sqlite3_backup_init(copy.Handle(), "main", db_->Handle(), "main");
  if (!backup) throw ArchiveError(sqlite3_errmsg(copy.Handle()));
  // Whole steps, retried while a writer holds the lock.
  int rc;
  while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
    sqlite3_sleep(50);
  }
  sqlite3_backup_finish(backup);
  if (rc != SQLITE_DONE) throw ArchiveError(sqlite3_errstr(rc));
}

}  // namespace orti
