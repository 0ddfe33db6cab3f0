// Store and forward: what a workstation's archive holds for the server, and
// how a server takes a pushed reading in, set-based and race-safe.

#include "archive/archive_schema.h"
#include "archive/origin.h"
#include "archive/sql_archive.h"

namespace orti {
namespace {

constexpr const char* kReadingWord = "reading";
constexpr const char* kChangeWord = "change";
std::string KindWord(UnsentKind kind) {
  return kind == UnsentKind::kReading ? kReadingWord : kChangeWord;
}

}  // namespace

void SqlArchive::Forward(UnsentKind kind, int64_t id) {
  if (!forwards_) return;
  SqlStatement add(db_->Prepare("INSERT INTO unsent(kind, local_id) VALUES(?, ?)"));
  add.Bind(1, KindWord(kind)).Bind(2, id).Run();
}

Waiting SqlArchive::Unsent() const {
  Waiting waiting;
  SqlStatement query(
      db_->Prepare("SELECT (SELECT count(*) FROM unsent WHERE kind = ?1), "
                   "(SELECT count(*) FROM measurements WHERE raw IS NOT NULL AND last_reading IN "
                   "(SELECT local_id FROM unsent WHERE kind = ?1)), "
                   "(SELECT count(*) FROM unsent WHERE kind = ?2)"));
  query.Bind(1, std::string(kReadingWord)).Bind(2, std::string(kChangeWord));
  if (!query.Step()) return waiting;
  waiting.readings = query.Int(0);
  waiting.measurements = query.Int(1);
  waiting.changes = query.Int(2);
  return waiting;
}

std::vector<int64_t> SqlArchive::UnsentIds(UnsentKind kind) const {
  SqlStatement query(db_->Prepare("SELECT local_id FROM unsent WHERE kind = ? ORDER BY local_id"));
  query.Bind(1, KindWord(kind));
  std::vector<int64_t> ids;
  while (query.Step()) ids.push_back(query.Int(0));
  return ids;
}

void SqlArchive::MarkSent(UnsentKind kind, int64_t id) {
  SqlStatement done(db_->Prepare("DELETE FROM unsent WHERE kind = ? AND local_id = ?"));
  done.Bind(1, KindWord(kind)).Bind(2, id).Run();
}

SentReading SqlArchive::ReadingToSend(int64_t id) {
  SqlStatement reading(
      db_->Prepare("SELECT r.read_at, r.operator, r.workstation, r.origin, i.identity, i.name "
                   "FROM readings r JOIN instruments i ON i.id = r.instrument_id WHERE r.id = ?"));
  reading.Bind(1, id);
  if (!reading.Step()) throw ArchiveError("no reading " + std::to_string(id));
  SentReading sent;
  sent.id = id;
  sent.readAt = reading.Real(0);
  sent.operatorName = reading.Text(1);
  sent.workstation = reading.Text(2);
  sent.origin = reading.Text(3);
  sent.identity = reading.Blob(4);
  sent.instrument = reading.Text(5);
  if (reading.IsNull(3)) {
    sent.origin = NewOrigin(sent.workstation);
    SqlStatement name(db_->Prepare("UPDATE readings SET origin = ? WHERE id = ?"));
    name.Bind(1, sent.origin).Bind(2, id).Run();
  }
  SqlStatement records(
      db_->Prepare("SELECT m.raw, m.copy, f.name, m.position, m.taken, m.mode, fr.origin "
                   "FROM measurements m JOIN folder_names f ON f.id = m.folder_name_id "
                   "LEFT JOIN readings fr ON fr.id = m.first_reading "
                   "WHERE m.last_reading = ? AND m.raw IS NOT NULL ORDER BY m.id"));
  records.Bind(1, id);
  while (records.Step()) {
    SentRecord r;
    records.BlobInto(0, r.raw);
    r.copy = records.Int(1);
    records.TextInto(2, r.folderName);
    r.position = records.Int(3);
    r.taken = records.Int(4);
    r.mode = records.Int(5);
    records.TextInto(6, r.firstOrigin);
    sent.records.push_back(std::move(r));
  }
  return sent;
}

bool SqlArchive::ReceiveReading(const SentReading& sent) {
  RequireWritable();
  SqlTransaction transaction(*db_);
  const int64_t instrument = InstrumentId(*db_, sent.identity, sent.instrument);
  SqlStatement add(
      db_->Prepare("INSERT INTO readings(instrument_id, read_at, operator, workstation, origin) "
                   "VALUES(?, ?, ?, ?, ?) ON CONFLICT(origin) DO NOTHING RETURNING id"));
  add.Bind(1, instrument).Bind(2, sent.readAt).Bind(3, sent.operatorName);
  add.Bind(4, sent.workstation).Bind(5, sent.origin);
  if (!add.Step()) return false;  // sent before
  const int64_t readingId = add.Int(0);
  add.Reset();

  // The records staged in a table of this connection, then applied as sets.
  db_->Exec(db_->SchemaSql(
      "CREATE TEMP TABLE IF NOT EXISTS sent_records(raw BLOB NOT NULL, copy INTEGER NOT NULL, "
      "folder TEXT NOT NULL, position INTEGER, taken INTEGER NOT NULL, mode INTEGER NOT NULL, "
      "first_origin TEXT)"));
  db_->EmptyTable("sent_records");
  const std::vector<std::string> columns = {"raw",   "copy", "folder",      "position",
                                            "taken", "mode", "first_origin"};
  std::vector<SqlValue> rows;
  rows.reserve(sent.records.size() * columns.size());
  for (const SentRecord& r : sent.records) {
    rows.insert(rows.end(), {r.raw, r.copy, r.folderName, r.position, r.taken, r.mode,
                             r.firstOrigin.empty() ? SqlValue() : SqlValue(r.firstOrigin)});
  }
  db_->InsertRows("sent_records", columns, rows);
  // In one order everywhere, so that pushers of overlapping readings wait for
  // each other instead of deadlocking.
  db_->Exec(
      "INSERT INTO folder_names(name) SELECT DISTINCT folder FROM sent_records WHERE true "
      "ORDER BY folder ON CONFLICT(name) DO NOTHING");
  SqlStatement apply(db_->Prepare(
      "INSERT INTO measurements(instrument_id, raw, copy, folder_name_id, position, taken, mode, "
      "first_reading, last_reading) "
      "SELECT ?1, s.raw, s.copy, f.id, s.position, s.taken, s.mode, coalesce(fr.id, ?2), ?2 "
      "FROM sent_records s JOIN folder_names f ON f.name = s.folder "
      "LEFT JOIN readings fr ON fr.origin = s.first_origin WHERE true ORDER BY s.raw, s.copy "
      "ON CONFLICT(instrument_id, raw, copy) WHERE raw IS NOT NULL DO UPDATE SET "
      "last_reading = excluded.last_reading, folder_name_id = excluded.folder_name_id, "
      "position = excluded.position, removed_by = NULL "
      "WHERE NOT EXISTS(SELECT 1 FROM readings r WHERE r.id = measurements.last_reading "
      "AND r.read_at > ?3)"));
  apply.Bind(1, instrument).Bind(2, readingId).Bind(3, sent.readAt).Run();
  transaction.Commit();
  return true;
}

}  // namespace orti
