#include "archive/archive_schema.h"

#include <string>
#include <vector>

#include "archive/match_key.h"
#include "archive/measurement.h"
#include "model/notepad_model.h"

namespace orti {
namespace {

// Step n takes a file from version n to n + 1. Never edit a step that has
// shipped: files in the field are at every version. The SQL keeps to what
// SQLite and PostgreSQL share, so that a server can follow the same steps.
std::vector<std::string> Steps() {
  const std::string slotsPerFolder = std::to_string(kSlotsPerFolder);
  const std::string epochDay = std::to_string(kArchiveEpochDay);
  return {
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
      // 3: compact rows. Instruments, readings and folder names have their own
      // tables; a measurement read from an instrument is the instrument and the
      // record's bytes (its values are decoded from them), and the n-th slot of
      // one reading holding the same bytes is copy n. What only an imported line
      // has (its numbers, operator and match key) lives beside it. The date is
      // whole seconds since 1 January 2000. The match keys are filled in by
      // the code that makes them (FillMatchKeys).
      R"(CREATE TABLE instruments(
         id INTEGER PRIMARY KEY,
         identity BLOB NOT NULL UNIQUE,
         name TEXT NOT NULL);
       CREATE TABLE readings(
         id INTEGER PRIMARY KEY,
         instrument_id INTEGER NOT NULL REFERENCES instruments(id),
         read_at REAL NOT NULL,
         operator TEXT NOT NULL);
       CREATE INDEX readings_instrument ON readings(instrument_id, read_at);
       CREATE TABLE folder_names(
         id INTEGER PRIMARY KEY,
         name TEXT NOT NULL UNIQUE);
       INSERT INTO instruments(identity, name)
         SELECT identity, min(instrument) FROM measurements
         WHERE identity IS NOT NULL GROUP BY identity;
       INSERT INTO folder_names(name) SELECT DISTINCT folder_name FROM measurements;
       INSERT INTO readings(instrument_id, read_at, operator)
         SELECT DISTINCT i.id, m.first_read, m.operator
         FROM measurements m JOIN instruments i ON i.identity = m.identity;
       INSERT INTO readings(instrument_id, read_at, operator)
         SELECT DISTINCT i.id, m.last_read, ''
         FROM measurements m JOIN instruments i ON i.identity = m.identity
         WHERE NOT EXISTS(SELECT 1 FROM readings r
                          WHERE r.instrument_id = i.id AND r.read_at = m.last_read);
       CREATE TABLE records(
         id INTEGER PRIMARY KEY,
         instrument_id INTEGER REFERENCES instruments(id),
         raw BLOB,
         copy INTEGER NOT NULL,
         folder_name_id INTEGER NOT NULL REFERENCES folder_names(id),
         position INTEGER,
         taken INTEGER NOT NULL,
         mode INTEGER NOT NULL,
         first_reading INTEGER REFERENCES readings(id),
         last_reading INTEGER REFERENCES readings(id));
       INSERT INTO records(id, instrument_id, raw, copy, folder_name_id, position, taken, mode,
                           first_reading, last_reading)
         SELECT m.id, i.id, m.raw, 0, f.id, m.folder_index * )" +
          slotsPerFolder + R"( + m.slot,
                CAST(round((m.taken - )" +
          epochDay + R"() * 86400) AS INTEGER), m.mode,
                (SELECT min(r.id) FROM readings r WHERE r.instrument_id = i.id
                   AND r.read_at = m.first_read AND r.operator = m.operator),
                (SELECT min(r.id) FROM readings r WHERE r.instrument_id = i.id
                   AND r.read_at = m.last_read)
         FROM measurements m
         LEFT JOIN instruments i ON i.identity = m.identity
         JOIN folder_names f ON f.name = m.folder_name;
       CREATE TABLE imported_lines(
         measurement_id INTEGER PRIMARY KEY REFERENCES records(id),
         import_id INTEGER REFERENCES imports(id),
         operator TEXT NOT NULL,
         temperature REAL NOT NULL,
         emf REAL NOT NULL,
         ph REAL NOT NULL,
         ph25 REAL NOT NULL,
         match_key TEXT,
         match_second INTEGER);
       INSERT INTO imported_lines(measurement_id, import_id, operator, temperature, emf, ph, ph25)
         SELECT id, import_id, operator, temperature, emf, ph, ph25 FROM measurements
         WHERE raw IS NULL;
       DROP TABLE measurements;
       ALTER TABLE records RENAME TO measurements;
       CREATE UNIQUE INDEX measurements_record ON measurements(instrument_id, raw, copy)
         WHERE raw IS NOT NULL;
       CREATE INDEX measurements_taken ON measurements(taken);
       CREATE INDEX imported_lines_match ON imported_lines(match_key)
         WHERE match_key IS NOT NULL;
       CREATE INDEX imported_lines_import ON imported_lines(import_id)
         WHERE import_id IS NOT NULL;)",
      // 4: a lab-wide archive. Instruments get the name the lab gives them,
      // readings the workstation and an id across workstations; every change
      // made to an instrument is kept (rows are only ever added), and a
      // measurement removed from its instrument names the change. What no
      // server has confirmed yet is listed in unsent (local only).
      R"(ALTER TABLE instruments ADD COLUMN lab_name TEXT NOT NULL DEFAULT '';
       ALTER TABLE readings ADD COLUMN workstation TEXT NOT NULL DEFAULT '';
       ALTER TABLE readings ADD COLUMN origin TEXT;
       CREATE UNIQUE INDEX readings_origin ON readings(origin);
       CREATE TABLE changes(
         id INTEGER PRIMARY KEY,
         origin TEXT NOT NULL UNIQUE,
         at REAL NOT NULL,
         operator TEXT NOT NULL,
         workstation TEXT NOT NULL,
         instrument_id INTEGER REFERENCES instruments(id),
         folder_index INTEGER,
         folder_name TEXT NOT NULL,
         kind TEXT NOT NULL,
         detail TEXT NOT NULL,
         records BLOB,
         backup TEXT NOT NULL,
         outcome TEXT NOT NULL);
       CREATE INDEX changes_at ON changes(at);
       ALTER TABLE measurements ADD COLUMN removed_by INTEGER REFERENCES changes(id);
       CREATE TABLE unsent(kind TEXT NOT NULL, local_id INTEGER NOT NULL,
                           PRIMARY KEY(kind, local_id));)",
  };
}

// Imported lines not yet read get the match key of their numbers. Lines of
// version 2 always carried seconds.
void FillMatchKeys(SqliteDb& db) {
  SqliteStatement lines(db.Handle(),
                        "SELECT l.measurement_id, m.taken, m.mode, l.temperature, l.emf, l.ph, "
                        "l.ph25 FROM imported_lines l JOIN measurements m "
                        "ON m.id = l.measurement_id WHERE l.import_id IS NOT NULL");
  SqliteStatement update(db.Handle(),
                         "UPDATE imported_lines SET match_key = ?, match_second = ? "
                         "WHERE measurement_id = ?");
  while (lines.Step()) {
    MatchValues v;
    v.taken = ArchiveDays(lines.Int(1));
    v.mode = static_cast<uint8_t>(lines.Int(2));
    v.temperature = lines.Real(3);
    v.emf = lines.Real(4);
    v.ph = lines.Real(5);
    v.ph25 = lines.Real(6);
    const MatchKey key = MatchKeyOf(v);
    update.Reset();
    update.Bind(1, key.minute).Bind(2, int64_t{key.second}).Bind(3, lines.Int(0)).Run();
  }
}

}  // namespace

int ArchiveVersion(SqliteDb& db) {
  return static_cast<int>(db.QueryInt("PRAGMA user_version"));
}

void MigrateArchive(SqliteDb& db, int target) {
  SqliteTransaction transaction(db);
  const int from = ArchiveVersion(db);
  if (from >= target) return;
  const std::vector<std::string> steps = Steps();
  for (int v = from; v < target; ++v) {
    db.Exec(steps.at(static_cast<size_t>(v)));
    if (v == kCompactVersion - 1) FillMatchKeys(db);
  }
  db.Exec("PRAGMA user_version = " + std::to_string(target));
  transaction.Commit();
}

}  // namespace orti
