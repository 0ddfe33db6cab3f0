#include "archive/sql_archive.h"

#include <limits>
#include <map>
#include <set>

#include "archive/archive_schema.h"
#include "archive/origin.h"
#include "archive/sql_archive_text.h"
#include "device/memory_map.h"
#include "device/record_decoder.h"
#include "platform/date_time.h"

namespace orti {
namespace {

// A measurement the views show: an imported line, or a slot other than the last.
std::string ShownSql(const std::string& position) {
  return "(" + position + " IS NULL OR " + position + " % " + std::to_string(kSlotsPerFolder) +
         " < " + std::to_string(kShownSlots) + ")";
}

// A measurement with its names, reading, imported numbers and removal, as
// FromRow reads it. The instrument is shown by the lab's name when it has one.
std::string SelectSql() {
  return std::string("SELECT m.id, m.raw, m.copy, m.position, m.taken, m.mode, f.name, ") +
         kShownInstrumentSql +
         ", r.read_at, l.read_at, coalesce(il.operator, r.operator, ''), il.import_id, "
         "im.imported, il.temperature, il.emf, il.ph, il.ph25, r.workstation, c.at, c.operator "
         "FROM measurements m JOIN folder_names f ON f.id = m.folder_name_id "
         "LEFT JOIN instruments ins ON ins.id = m.instrument_id "
         "LEFT JOIN readings r ON r.id = m.first_reading "
         "LEFT JOIN readings l ON l.id = m.last_reading "
         "LEFT JOIN imported_lines il ON il.measurement_id = m.id "
         "LEFT JOIN imports im ON im.id = il.import_id "
         "LEFT JOIN changes c ON c.id = m.removed_by ";
}

// The shown measurements a filter selects, after a cursor, in date order.
// Only the conditions that select something are written, so that the
// engine's planner sees the query as it is. The parameters keep their
// numbers whichever are left out.
std::string SearchSql(const ArchiveFilter& f, bool afterCursor) {
  std::string sql =
      SelectSql() + "WHERE " + ShownSql("m.position") + " AND m.taken >= ?1 AND m.taken < ?2 ";
  if (afterCursor) sql += "AND (m.taken > ?3 OR m.id > ?4) ";
  if (!f.folderContains.empty()) sql += "AND instr(f.name, ?5) > 0 ";
  if (f.mode != 0) sql += "AND m.mode = ?6 ";
  if (!f.operatorContains.empty()) {
    sql += "AND instr(coalesce(il.operator, r.operator, ''), ?7) > 0 ";
  }
  if (f.removedOnly) sql += "AND m.removed_by IS NOT NULL ";
  if (!f.instrumentContains.empty()) sql += "AND " + InstrumentContainsSql(9) + " ";
  return sql + "ORDER BY m.taken, m.id LIMIT ?8";
}

void Position(const SqlStatement& row, int column, Measurement& m) {
  if (row.IsNull(column)) {
    m.folderIndex = m.slot = -1;
    m.shown = true;
    return;
  }
  const int position = static_cast<int>(row.Int(column));
  m.folderIndex = position / kSlotsPerFolder;
  m.slot = position % kSlotsPerFolder;
  m.shown = m.slot < kShownSlots;
}

// A row of SearchSql into `m`, whose storage is reused.
void FromRow(const SqlStatement& row, Measurement& m) {
  m.id = row.Int(0);
  row.BlobInto(1, m.raw);
  m.copy = static_cast<int>(row.Int(2));
  Position(row, 3, m);
  m.taken = ArchiveDays(row.Int(4));
  m.mode = static_cast<uint8_t>(row.Int(5));
  row.TextInto(6, m.folderName);
  row.TextInto(7, m.instrument);
  m.importId = row.IsNull(11) ? 0 : row.Int(11);
  m.firstRead = row.IsNull(8) ? row.Real(12) : row.Real(8);
  m.lastRead = row.IsNull(9) ? m.firstRead : row.Real(9);
  row.TextInto(10, m.operatorName);
  if (m.raw.size() == static_cast<size_t>(kRecordSize)) {
    const SlotValues v = DecodeSlotValues(m.raw.data());
    m.temperature = v.temperature;
    m.emf = v.emf;
    m.ph = v.ph;
    m.ph25 = v.ph25;
  } else {
    m.temperature = row.Real(13);
    m.emf = row.Real(14);
    m.ph = row.Real(15);
    m.ph25 = row.Real(16);
  }
  if (row.IsNull(17)) {
    m.workstation.clear();
  } else {
    row.TextInto(17, m.workstation);
  }
  m.removedAt.reset();
  m.removedBy.clear();
  if (!row.IsNull(18)) {
    m.removedAt = row.Real(18);
    row.TextInto(19, m.removedBy);
  }
}

// The key of an archived row: its bytes decoded, or an imported line's numbers.
MatchKey KeyOfRow(const SqlStatement& row) {
  Measurement m;
  FromRow(row, m);
  return MatchKeyOf(MatchValues{m.taken, m.mode, m.temperature, m.emf, m.ph, m.ph25});
}

// Ids of folder names, made when first met.
class FolderNames {
 public:
  explicit FolderNames(SqlDb& db)
      : add_(db.Prepare("INSERT INTO folder_names(name) VALUES(?) ON CONFLICT(name) DO NOTHING")),
        find_(db.Prepare("SELECT id FROM folder_names WHERE name = ?")) {}

  int64_t Id(const std::string& name) {
    auto [it, added] = ids_.emplace(name, 0);
    if (!added) return it->second;
    add_.Reset();
    add_.Bind(1, name).Run();
    find_.Reset();
    find_.Bind(1, name);
    if (!find_.Step()) throw ArchiveError("folder name not kept: " + name);
    return it->second = find_.Int(0);
  }

 private:
  SqlStatement add_, find_;
  std::map<std::string, int64_t> ids_;
};

// A savepoint around the work of one row: a row that fails leaves nothing
// behind and the transaction goes on.
class RowSavepoint {
 public:
  explicit RowSavepoint(SqlDb& db)
      : db_(db),
        begin_(db.Prepare("SAVEPOINT row")),
        release_(db.Prepare("RELEASE row")),
        undo_(db.Prepare("ROLLBACK TO row")) {}

  // Runs `work`; false with `reason` when it failed and was undone.
  template <typename Work>
  bool Run(Work&& work, std::string& reason) {
    Step(begin_);
    try {
      work();
    } catch (const ArchiveError& error) {
      if (!db_.InTransaction()) throw;  // the engine gave the whole transaction up
      reason = error.what();
      Step(undo_);
      Step(release_);
      return false;
    }
    Step(release_);
    return true;
  }

 private:
  static void Step(SqlStatement& statement) {
    statement.Reset();
    statement.Run();
  }

  SqlDb& db_;
  SqlStatement begin_, release_, undo_;
};

// Imported lines not yet read, by their match key; one taken by a reading
// row is no longer anyone's.
class ImportedLines {
 public:
  explicit ImportedLines(SqlDb& db)
      : pending_(db.QueryInt("SELECT EXISTS(SELECT 1 FROM imported_lines "
                             "WHERE match_key IS NOT NULL)") != 0),
        find_(db.Prepare(
            "SELECT measurement_id, match_second FROM imported_lines WHERE match_key = ? "
            "ORDER BY measurement_id")),
        take_(db.Prepare("UPDATE imported_lines SET import_id = NULL, match_key = NULL, "
                         "match_second = NULL WHERE measurement_id = ?")) {}

  // The id of a line the measurement matches, taken from the lines; 0: none.
  int64_t Take(const MatchKey& key) {
    if (!pending_ || key.minute.empty()) return 0;
    find_.Reset();
    find_.Bind(1, key.minute);
    int64_t id = 0;
    while (id == 0 && find_.Step()) {
      MatchKey line{key.minute, find_.IsNull(1) ? -1 : static_cast<int>(find_.Int(1))};
      if (SameMeasurement(line, key)) id = find_.Int(0);
    }
    find_.Reset();
    if (id == 0) return 0;
    take_.Reset();
    take_.Bind(1, id).Run();
    return id;
  }

 private:
  bool pending_;
  SqlStatement find_, take_;
};

std::string Describe(const Measurement& m) {
  return m.folderName + " " + FormatDateTime(m.taken);
}

int64_t PositionOf(const Measurement& m) {
  return int64_t{m.folderIndex} * kSlotsPerFolder + m.slot;
}

}  // namespace

SqlArchive::SqlArchive(std::unique_ptr<SqlDb> db, bool forwards)
    : db_(std::move(db)), readOnly_(db_->Version() > kArchiveSchemaVersion), forwards_(forwards) {}

int64_t SqlArchive::InstrumentId(SqlDb& db, const std::vector<uint8_t>& identity,
                                 const std::string& name) {
  SqlStatement add(
      db.Prepare("INSERT INTO instruments(identity, name) VALUES(?, ?) "
                 "ON CONFLICT(identity) DO NOTHING"));
  add.Bind(1, identity).Bind(2, name).Run();
  SqlStatement find(db.Prepare("SELECT id FROM instruments WHERE identity = ?"));
  find.Bind(1, identity);
  if (!find.Step()) throw ArchiveError("instrument not kept");
  return find.Int(0);
}

void SqlArchive::RequireWritable() const {
  if (readOnly_) throw ArchiveError("archive of a newer version, opened read-only");
}

ReadingAdded SqlArchive::AddReading(const Reading& reading, double now) {
  RequireWritable();
  SqlTransaction transaction(*db_);
  const int64_t instrument = InstrumentId(*db_, reading.identity, reading.instrument);
  SqlStatement addReading(
      db_->Prepare("INSERT INTO readings(instrument_id, read_at, operator, workstation, origin) "
                   "VALUES(?, ?, ?, ?, ?) RETURNING id"));
  addReading.Bind(1, instrument).Bind(2, now).Bind(3, reading.operatorName);
  addReading.Bind(4, reading.workstation);
  addReading.Bind(5, reading.origin.empty() ? NewOrigin(reading.workstation) : reading.origin);
  const int64_t readingId = addReading.InsertedId();
  Forward(UnsentKind::kReading, readingId);

  FolderNames folders(*db_);
  ImportedLines lines(*db_);
  RowSavepoint savepoint(*db_);
  SqlStatement seen(
      db_->Prepare("UPDATE measurements SET last_reading = ?, folder_name_id = ?, "
                   "position = ?, removed_by = NULL "
                   "WHERE instrument_id = ? AND raw = ? AND copy = ?"));
  SqlStatement adopt(
      db_->Prepare("UPDATE measurements SET instrument_id = ?, raw = ?, copy = ?, "
                   "folder_name_id = ?, position = ?, first_reading = ?, last_reading = ? "
                   "WHERE id = ?"));
  SqlStatement insert(
      db_->Prepare("INSERT INTO measurements(instrument_id, raw, copy, folder_name_id, "
                   "position, taken, mode, first_reading, last_reading) "
                   "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  ReadingAdded result;
  for (const Measurement& m : reading.measurements) {
    std::string reason;
    const bool done = savepoint.Run(
        [&] {
          const int64_t folder = folders.Id(m.folderName);
          seen.Reset();
          seen.Bind(1, readingId).Bind(2, folder).Bind(3, PositionOf(m)).Bind(4, instrument);
          seen.Bind(5, m.raw).Bind(6, int64_t{m.copy}).Run();
          if (db_->Changes() > 0) return;
          if (const int64_t line = lines.Take(m.matchKey)) {
            adopt.Reset();
            adopt.Bind(1, instrument).Bind(2, m.raw).Bind(3, int64_t{m.copy}).Bind(4, folder);
            adopt.Bind(5, PositionOf(m)).Bind(6, readingId).Bind(7, readingId).Bind(8, line);
            adopt.Run();
            return;
          }
          insert.Reset();
          insert.Bind(1, instrument).Bind(2, m.raw).Bind(3, int64_t{m.copy}).Bind(4, folder);
          insert.Bind(5, PositionOf(m)).Bind(6, ArchiveSeconds(m.taken)).Bind(7, int64_t{m.mode});
          insert.Bind(8, readingId).Bind(9, readingId).Run();
          ++result.added;
        },
        reason);
    if (!done) result.faults.push_back({Describe(m), reason});
  }
  transaction.Commit();
  return result;
}

void SqlArchive::Scan(const ArchiveFilter& filter, const std::optional<ArchiveCursor>& after,
                      const std::function<bool(const Measurement&)>& each) const {
  ScanUpTo(filter, after, std::numeric_limits<size_t>::max(), each);
}

void SqlArchive::ScanUpTo(const ArchiveFilter& f, const std::optional<ArchiveCursor>& after,
                          size_t limit, const std::function<bool(const Measurement&)>& each) const {
  constexpr int64_t kNone = std::numeric_limits<int64_t>::min();
  int64_t from = f.from ? ArchiveSeconds(*f.from) : kNone;
  if (after) from = std::max(from, after->taken);
  const int64_t to = f.to ? ArchiveSeconds(*f.to + 1) : std::numeric_limits<int64_t>::max();
  SqlStatement query(db_->Prepare(SearchSql(f, after.has_value())));
  query.Bind(1, from).Bind(2, to);
  query.Bind(3, after ? after->taken : kNone).Bind(4, after ? after->id : kNone);
  query.Bind(5, f.folderContains).Bind(6, int64_t{f.mode}).Bind(7, f.operatorContains);
  query.Bind(8, static_cast<int64_t>(std::min<size_t>(limit, std::numeric_limits<int64_t>::max())));
  query.Bind(9, f.instrumentContains);
  Measurement m;
  while (query.Step()) {
    FromRow(query, m);
    if (!each(m)) break;
  }
}

ArchiveStats SqlArchive::Stats() const {
  const std::string sql =
      "SELECT count(*), count(DISTINCT instrument_id), count(DISTINCT folder_name_id), "
      "min(taken), max(taken) FROM measurements WHERE " +
      ShownSql("position");
  SqlStatement query(db_->Prepare(sql.c_str()));
  ArchiveStats stats;
  if (!query.Step()) return stats;
  stats.measurements = query.Int(0);
  stats.instruments = query.Int(1);
  stats.folders = query.Int(2);
  if (!query.IsNull(3)) stats.first = ArchiveDays(query.Int(3));
  if (!query.IsNull(4)) stats.last = ArchiveDays(query.Int(4));
  return stats;
}

namespace {

// Whether the archive holds a measurement an import line stands for. The
// line's year is the console's guess of the day it was exported, so every
// year the archive holds is looked at, at the line's day, month and minute.
class KnownMeasurements {
 public:
  explicit KnownMeasurements(SqlDb& db)
      : next_(db.Prepare("SELECT min(taken) FROM measurements WHERE taken >= ?")),
        at_(db.Prepare((SelectSql() + "WHERE m.taken >= ? AND m.taken < ?").c_str())) {
    // The years present, found by jumping from one to the next.
    int64_t from = std::numeric_limits<int64_t>::min();
    for (;;) {
      next_.Reset();
      next_.Bind(1, from);
      if (!next_.Step() || next_.IsNull(0)) break;
      const int year = DecodeDateTime(ArchiveDays(next_.Int(0))).year;
      years_.insert(year);
      from = ArchiveSeconds(EncodeDate(year + 1, 1, 1));
    }
  }

  bool Holds(const Measurement& line) {
    const CivilDateTime when = DecodeDateTime(line.taken);
    years_.insert(when.year);
    for (int year : years_) {
      const double day = EncodeDate(year, when.month, when.day);
      if (DecodeDateTime(day).day != when.day) continue;  // 29 February of a common year
      const int64_t minute = ArchiveSeconds(day + EncodeTime(when.hour, when.minute, 0));
      at_.Reset();
      at_.Bind(1, minute).Bind(2, minute + 60);
      while (at_.Step()) {
        if (SameMeasurement(KeyOfRow(at_), line.matchKey)) return true;
      }
    }
    return false;
  }

 private:
  SqlStatement next_, at_;
  std::set<int> years_;
};

}  // namespace

int64_t SqlArchive::Import(const std::string& file, const std::vector<Measurement>& lines,
                           double now, int64_t* batchId) {
  RequireWritable();
  SqlTransaction transaction(*db_);
  KnownMeasurements known(*db_);
  FolderNames folders(*db_);
  SqlStatement measurement(
      db_->Prepare("INSERT INTO measurements(folder_name_id, copy, taken, mode) "
                   "VALUES(?, 0, ?, ?) RETURNING id"));
  SqlStatement line(
      db_->Prepare("INSERT INTO imported_lines(measurement_id, import_id, operator, "
                   "temperature, emf, ph, ph25, match_key, match_second) "
                   "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  int64_t id = 0, added = 0;
  for (const Measurement& m : lines) {
    if (m.matchKey.minute.empty() || known.Holds(m)) continue;
    if (id == 0) {
      SqlStatement batch(
          db_->Prepare("INSERT INTO imports(file, imported, added) VALUES(?, ?, 0) RETURNING id"));
      batch.Bind(1, file).Bind(2, now);
      id = batch.InsertedId();
    }
    measurement.Reset();
    measurement.Bind(1, folders.Id(m.folderName)).Bind(2, ArchiveSeconds(m.taken));
    measurement.Bind(3, int64_t{m.mode});
    const int64_t measurementId = measurement.InsertedId();
    line.Reset();
    line.Bind(1, measurementId).Bind(2, id).Bind(3, m.operatorName);
    line.Bind(4, m.temperature).Bind(5, m.emf).Bind(6, m.ph).Bind(7, m.ph25);
    line.Bind(8, m.matchKey.minute);
    if (m.matchKey.second < 0) {
      line.BindNull(9);
    } else {
      line.Bind(9, int64_t{m.matchKey.second});
    }
    line.Run();
    ++added;
  }
  if (id != 0) {
    SqlStatement count(db_->Prepare("UPDATE imports SET added = ? WHERE id = ?"));
    count.Bind(1, added).Bind(2, id).Run();
  }
  transaction.Commit();
  if (batchId) *batchId = id;
  return added;
}

std::vector<ImportBatch> SqlArchive::Imports() const {
  SqlStatement query(db_->Prepare("SELECT id, file, imported, added FROM imports ORDER BY id"));
  std::vector<ImportBatch> batches;
  while (query.Step()) {
    batches.push_back({query.Int(0), query.Text(1), query.Real(2), query.Int(3)});
  }
  return batches;
}

bool SqlArchive::ForgetImport(int64_t batchId) {
  RequireWritable();
  SqlTransaction transaction(*db_);
  // The lines first (they refer to their measurements); a measurement
  // without bytes is an imported line's and goes with it.
  SqlStatement lines(db_->Prepare("DELETE FROM imported_lines WHERE import_id = ?"));
  lines.Bind(1, batchId).Run();
  db_->Exec(
      "DELETE FROM measurements WHERE raw IS NULL AND id NOT IN "
      "(SELECT measurement_id FROM imported_lines)");
  SqlStatement forget(db_->Prepare("DELETE FROM imports WHERE id = ?"));
  forget.Bind(1, batchId).Run();
  const bool found = db_->Changes() > 0;
  transaction.Commit();
  return found;
}

void SqlArchive::Backup(const std::string& target) const {
  db_->Backup(target);
}

}  // namespace orti
