// The audit trail: changes made to instruments, only ever added.

#include <array>

#include "archive/origin.h"
#include "archive/sql_archive.h"
#include "device/memory_map.h"

namespace orti {
namespace {

constexpr std::array<const char*, 7> kKindWords = {"delete", "rename",    "create", "remove",
                                                   "clear",  "clear-all", "restore"};
constexpr std::array<const char*, 3> kOutcomeWords = {"done", "failed", "restored"};

template <typename Enum, size_t N>
Enum FromWord(const std::array<const char*, N>& words, const std::string& word) {
  for (size_t i = 0; i < N; ++i) {
    if (word == words[i]) return static_cast<Enum>(i);
  }
  throw ArchiveError("unknown word in the audit trail: " + word);
}

// A change with its instrument, as ChangeFromRow reads it.
constexpr const char* kChangeSql =
    "SELECT c.id, c.origin, c.at, c.operator, c.workstation, i.identity, "
    "coalesce(nullif(i.lab_name, ''), i.name, ''), c.folder_index, c.folder_name, c.kind, "
    "c.detail, c.records, c.backup, c.outcome "
    "FROM changes c LEFT JOIN instruments i ON i.id = c.instrument_id ";

InstrumentChange ChangeFromRow(const SqlStatement& row) {
  InstrumentChange c;
  c.id = row.Int(0);
  c.origin = row.Text(1);
  c.at = row.Real(2);
  c.operatorName = row.Text(3);
  c.workstation = row.Text(4);
  c.identity = row.Blob(5);
  c.instrument = row.Text(6);
  c.folderIndex = row.IsNull(7) ? -1 : static_cast<int>(row.Int(7));
  c.folderName = row.Text(8);
  c.kind = FromWord<ChangeKind>(kKindWords, row.Text(9));
  c.detail = row.Text(10);
  const std::vector<uint8_t> records = row.Blob(11);
  for (size_t at = 0; at + kRecordSize <= records.size(); at += kRecordSize) {
    c.records.emplace_back(records.begin() + static_cast<long>(at),
                           records.begin() + static_cast<long>(at + kRecordSize));
  }
  c.backup = row.Text(12);
  c.outcome = FromWord<ChangeOutcome>(kOutcomeWords, row.Text(13));
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
  add.Bind(7, c.folderName).Bind(8, std::string(kKindWords.at(static_cast<size_t>(c.kind))));
  add.Bind(9, c.detail);
  std::vector<uint8_t> records;
  for (const std::vector<uint8_t>& r : c.records) records.insert(records.end(), r.begin(), r.end());
  if (!c.records.empty()) add.Bind(10, records);
  add.Bind(11, c.backup).Bind(12, std::string(kOutcomeWords.at(static_cast<size_t>(c.outcome))));
  if (!add.Step()) return 0;  // already here
  const int64_t id = add.Int(0);
  add.Reset();
  if (c.outcome == ChangeOutcome::kDone && instrument != 0) {
    SqlStatement mark(
        db_->Prepare("UPDATE measurements SET removed_by = ? WHERE instrument_id = ? "
                     "AND raw = ? AND removed_by IS NULL"));
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
  SqlStatement query(
      db_->Prepare(std::string(kChangeSql) +
                   "WHERE c.at >= ?1 AND c.at < ?2 AND "
                   "instr(coalesce(i.lab_name, '') || ' ' || coalesce(i.name, ''), ?3) > 0 "
                   "ORDER BY c.at, c.id"));
  query.Bind(1, f.from ? *f.from : -1e300).Bind(2, f.to ? *f.to + 1 : 1e300);
  query.Bind(3, f.instrumentContains);
  while (query.Step()) {
    if (!each(ChangeFromRow(query))) break;
  }
}

InstrumentChange SqlArchive::ChangeToSend(int64_t id) const {
  SqlStatement query(db_->Prepare(std::string(kChangeSql) + "WHERE c.id = ?"));
  query.Bind(1, id);
  if (!query.Step()) throw ArchiveError("no change " + std::to_string(id));
  return ChangeFromRow(query);
}

}  // namespace orti
