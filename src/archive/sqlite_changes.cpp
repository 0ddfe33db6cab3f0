// The audit trail in the SQLite archive: changes made to instruments, the
// measurements they removed, and the lab's names for instruments. The SQL
// keeps to what SQLite and PostgreSQL share.

#include <limits>

#include "archive/archive_sql.h"
#include "archive/origin.h"
#include "archive/sqlite_archive.h"
#include "model/notepad_model.h"

namespace orti {

int64_t InstrumentId(SqliteDb& db, const std::vector<uint8_t>& identity, const std::string& name) {
  SqliteStatement add(db.Handle(),
                      "INSERT INTO instruments(identity, name) VALUES(?, ?) "
                      "ON CONFLICT(identity) DO NOTHING");
  add.Bind(1, identity).Bind(2, name).Run();
  SqliteStatement find(db.Handle(), "SELECT id FROM instruments WHERE identity = ?");
  find.Bind(1, identity);
  if (!find.Step()) throw ArchiveError("instrument not kept");
  return find.Int(0);
}

void MarkUnsent(SqliteDb& db, const char* kind, int64_t id) {
  SqliteStatement mark(db.Handle(), "INSERT INTO unsent(kind, local_id) VALUES(?, ?)");
  mark.Bind(1, std::string(kind)).Bind(2, id).Run();
}

bool NamesContain(const std::string& shown, const std::string& reported, const std::string& text) {
  return text.empty() || shown.find(text) != std::string::npos ||
         reported.find(text) != std::string::npos;
}

namespace {

std::vector<uint8_t> Joined(const std::vector<std::vector<uint8_t>>& records) {
  std::vector<uint8_t> bytes;
  for (const auto& record : records) bytes.insert(bytes.end(), record.begin(), record.end());
  return bytes;
}

std::vector<std::vector<uint8_t>> Split(const std::vector<uint8_t>& bytes) {
  std::vector<std::vector<uint8_t>> records;
  for (size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
    records.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                         bytes.begin() + static_cast<std::ptrdiff_t>(at + kRecordSize));
  }
  return records;
}

// Each removed record marks one archived measurement of those bytes on that
// instrument not yet marked: the last copy, as a reading finding the bytes
// fewer times keeps the first ones.
void MarkRemoved(SqliteDb& db, int64_t changeId, int64_t instrument,
                 const std::vector<std::vector<uint8_t>>& records) {
  SqliteStatement mark(db.Handle(),
                       "UPDATE measurements SET removed_by = ? WHERE id IN "
                       "(SELECT id FROM measurements WHERE instrument_id = ? AND raw = ? "
                       "AND removed_by IS NULL ORDER BY copy DESC LIMIT 1)");
  for (const auto& record : records) {
    mark.Reset();
    mark.Bind(1, changeId).Bind(2, instrument).Bind(3, record).Run();
  }
}

}  // namespace

int64_t SqliteArchive::AddChange(const InstrumentChange& change) {
  RequireWritable();
  SqliteTransaction transaction(*db_);
  const int64_t instrument = InstrumentId(*db_, change.identity, change.instrument);
  const std::string origin = change.origin.empty() ? NewOrigin(change.workstation) : change.origin;
  SqliteStatement add(db_->Handle(),
                      "INSERT INTO changes(origin, at, operator, workstation, instrument_id, "
                      "folder_index, folder_name, kind, detail, records, backup, outcome) "
                      "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                      "ON CONFLICT(origin) DO NOTHING RETURNING id");
  add.Bind(1, origin).Bind(2, change.at).Bind(3, change.operatorName);
  add.Bind(4, change.workstation).Bind(5, instrument).Bind(6, int64_t{change.folderIndex});
  add.Bind(7, change.folderName).Bind(8, std::string(ChangeKindWord(change.kind)));
  add.Bind(9, change.detail).Bind(10, Joined(change.records)).Bind(11, change.backup);
  add.Bind(12, std::string(ChangeOutcomeWord(change.outcome)));
  if (!add.Step()) {
    // Added before (the same origin): once only.
    SqliteStatement known(db_->Handle(), "SELECT id FROM changes WHERE origin = ?");
    known.Bind(1, origin);
    if (!known.Step()) throw ArchiveError("change not kept");
    return known.Int(0);
  }
  const int64_t id = add.Int(0);
  add.Reset();
  if (change.outcome == ChangeOutcome::kDone) MarkRemoved(*db_, id, instrument, change.records);
  MarkUnsent(*db_, kUnsentChange, id);
  transaction.Commit();
  return id;
}

void SqliteArchive::ScanChanges(const ChangeFilter& filter,
                                const std::function<bool(const InstrumentChange&)>& each) const {
  const std::string sql =
      std::string("SELECT c.id, c.origin, c.at, c.operator, c.workstation, ins.identity, ") +
      kShownInstrumentSql +
      ", ins.name, c.folder_index, c.folder_name, c.kind, c.detail, c.records, c.backup, "
      "c.outcome FROM changes c LEFT JOIN instruments ins ON ins.id = c.instrument_id "
      "WHERE c.at >= ? AND c.at < ? ORDER BY c.at, c.id";
  SqliteStatement query(db_->Handle(), sql.c_str());
  query.Bind(1, filter.from ? *filter.from : std::numeric_limits<double>::lowest());
  query.Bind(2, filter.to ? *filter.to + 1 : std::numeric_limits<double>::max());
  while (query.Step()) {
    InstrumentChange c;
    c.id = query.Int(0);
    c.origin = query.Text(1);
    c.at = query.Real(2);
    c.operatorName = query.Text(3);
    c.workstation = query.Text(4);
    if (!query.IsNull(5)) c.identity = query.Blob(5);
    if (!query.IsNull(6)) c.instrument = query.Text(6);
    const std::string reported = query.IsNull(7) ? std::string() : query.Text(7);
    if (!NamesContain(c.instrument, reported, filter.instrumentContains)) continue;
    c.folderIndex = query.IsNull(8) ? -1 : static_cast<int>(query.Int(8));
    c.folderName = query.Text(9);
    if (!ChangeKindFromWord(query.Text(10), c.kind)) throw ArchiveError("unknown change kind");
    c.detail = query.Text(11);
    if (!query.IsNull(12)) c.records = Split(query.Blob(12));
    c.backup = query.Text(13);
    if (!ChangeOutcomeFromWord(query.Text(14), c.outcome)) {
      throw ArchiveError("unknown change outcome");
    }
    if (!each(c)) break;
  }
}

void SqliteArchive::SetLabName(const std::vector<uint8_t>& identity, const std::string& name) {
  RequireWritable();
  SqliteStatement set(db_->Handle(), "UPDATE instruments SET lab_name = ? WHERE identity = ?");
  set.Bind(1, name).Bind(2, identity).Run();
  if (db_->Changes() == 0) throw ArchiveError("no such instrument in the archive");
}

std::vector<InstrumentName> SqliteArchive::Instruments() const {
  SqliteStatement query(db_->Handle(),
                        "SELECT identity, name, lab_name FROM instruments ORDER BY id");
  std::vector<InstrumentName> instruments;
  while (query.Step()) instruments.push_back({query.Blob(0), query.Text(1), query.Text(2)});
  return instruments;
}

}  // namespace orti
