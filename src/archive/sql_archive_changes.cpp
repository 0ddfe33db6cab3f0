// The audit trail: changes made to instruments, only ever added.

#include "archive/origin.h"
#include "archive/sql_archive.h"
#include "archive/sql_archive_text.h"
#include "device/memory_map.h"

namespace orti {
namespace {

// A change with its instrument, as ChangeFromRow reads it.
std::string ChangeSql() {
  return std::string("SELECT c.id, c.origin, c.at, c.operator, c.workstation, ins.identity, ") +
         kShownInstrumentSql +
         ", c.folder_index, c.folder_name, c.kind, c.detail, c.records, c.backup, c.outcome "
         "FROM changes c LEFT JOIN instruments ins ON ins.id = c.instrument_id ";
}

InstrumentChange ChangeFromRow(const SqlStatement& row) {
  InstrumentChange c;
  c.id = row.Int(0);
  c.origin = row.Text(1);
  c.at = row.Real(2);
  c.operatorName = row.Text(3);
  c.workstation = row.Text(4);
  if (!row.IsNull(5)) c.identity = row.Blob(5);
  if (!row.IsNull(6)) c.instrument = row.Text(6);
  c.folderIndex = row.IsNull(7) ? -1 : static_cast<int>(row.Int(7));
  c.folderName = row.Text(8);
  if (!ChangeKindFromWord(row.Text(9), c.kind)) {
    throw ArchiveError("unknown change in the audit trail: " + row.Text(9));
  }
  c.detail = row.Text(10);
  const std::vector<uint8_t> records = row.IsNull(11) ? std::vector<uint8_t>() : row.Blob(11);
  for (size_t at = 0; at + kRecordSize <= records.size(); at += kRecordSize) {
    c.records.emplace_back(records.begin() + static_cast<long>(at),
                           records.begin() + static_cast<long>(at + kRecordSize));
  }
  c.backup = row.Text(12);
  if (!ChangeOutcomeFromWord(row.Text(13), c.outcome)) {
    throw ArchiveError("unknown outcome in the audit trail: " + row.Text(13));
  }
  return c;
}

}  // namespace

int64_t SqlArchive::StoreChange(const InstrumentChange& c, bool forward) {
  SqlStatement add(db_->Prepare(
      "INSERT INTO changes(origin, at, operator, workstation, instrument_id, folder_index, "
      "folder_name, kind, detail, records, backup, outcome) "
      "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT(origin) DO NOTHING RETURNING id"));
  int64_t instrument = 0;
  if (!c.identity.empty()) instrument = InstrumentId(*db_, c.identity, c.instrument);
  add.Bind(1, c.origin).Bind(2, c.at).Bind(3, c.operatorName).Bind(4, c.workstation);
  if (instrument != 0) add.Bind(5, instrument);
  if (c.folderIndex >= 0) add.Bind(6, int64_t{c.folderIndex});
  add.Bind(7, c.folderName).Bind(8, std::string(ChangeKindWord(c.kind)));
  add.Bind(9, c.detail);
  std::vector<uint8_t> records;
  for (const std::vector<uint8_t>& r : c.records) records.insert(records.end(), r.begin(), r.end());
  if (!c.records.empty()) add.Bind(10, records);
  add.Bind(11, c.backup).Bind(12, std::string(ChangeOutcomeWord(c.outcome)));
  if (!add.Step()) return 0;  // already here
  const int64_t id = add.Int(0);
  add.Reset();
  if (c.outcome == ChangeOutcome::kDone && instrument != 0) {
    // Each removed record marks one archived measurement of its bytes not yet
    // marked: the last copy, as a reading that finds the bytes fewer times
    // keeps the first ones.
    SqlStatement mark(
        db_->Prepare("UPDATE measurements SET removed_by = ? WHERE id IN "
                     "(SELECT id FROM measurements WHERE instrument_id = ? AND raw = ? "
                     "AND removed_by IS NULL ORDER BY copy DESC LIMIT 1)"));
    for (const std::vector<uint8_t>& r : c.records) {
      mark.Reset();
      mark.Bind(1, id).Bind(2, instrument).Bind(3, r).Run();
    }
  }
  if (forward) Forward(UnsentKind::kChange, id);
  return id;
}

int64_t SqlArchive::AddChange(const InstrumentChange& change) {
  RequireWritable();
  InstrumentChange c = change;
  if (c.origin.empty()) c.origin = NewOrigin(c.workstation);
  SqlTransaction transaction(*db_);
  int64_t id = StoreChange(c, forwards_);
  if (id == 0) {
    SqlStatement find(db_->Prepare("SELECT id FROM changes WHERE origin = ?"));
    find.Bind(1, c.origin);
    if (find.Step()) id = find.Int(0);
  }
  transaction.Commit();
  return id;
}

bool SqlArchive::ReceiveChange(const InstrumentChange& change) {
  RequireWritable();
  SqlTransaction transaction(*db_);
  const bool added = StoreChange(change, false) != 0;
  transaction.Commit();
  return added;
}

void SqlArchive::ScanChanges(const ChangeFilter& f,
                             const std::function<bool(const InstrumentChange&)>& each) const {
  std::string sql = ChangeSql() + "WHERE c.at >= ?1 AND c.at < ?2 ";
  if (!f.instrumentContains.empty()) sql += "AND " + InstrumentContainsSql(3) + " ";
  SqlStatement query(db_->Prepare(sql + "ORDER BY c.at, c.id"));
  query.Bind(1, f.from ? *f.from : -1e300).Bind(2, f.to ? *f.to + 1 : 1e300);
  query.Bind(3, f.instrumentContains);
  while (query.Step()) {
    if (!each(ChangeFromRow(query))) break;
  }
}

InstrumentChange SqlArchive::ChangeToSend(int64_t id) const {
  SqlStatement query(db_->Prepare(ChangeSql() + "WHERE c.id = ?"));
  query.Bind(1, id);
  if (!query.Step()) throw ArchiveError("no change " + std::to_string(id));
  return ChangeFromRow(query);
}

void SqlArchive::SetLabName(const std::vector<uint8_t>& identity, const std::string& name) {
  RequireWritable();
  SqlStatement set(db_->Prepare("UPDATE instruments SET lab_name = ? WHERE identity = ?"));
  set.Bind(1, name).Bind(2, identity).Run();
  if (db_->Changes() == 0) throw ArchiveError("no such instrument in the archive");
}

std::vector<InstrumentName> SqlArchive::Instruments() const {
  SqlStatement query(db_->Prepare("SELECT identity, name, lab_name FROM instruments ORDER BY id"));
  std::vector<InstrumentName> instruments;
  while (query.Step()) instruments.push_back({query.Blob(0), query.Text(1), query.Text(2)});
  return instruments;
}

}  // namespace orti
