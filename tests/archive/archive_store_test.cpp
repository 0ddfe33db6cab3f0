// The archive keeps every measurement once, whatever happens in the
// instrument, and survives files it cannot use without disturbing a reading.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "archive/archive_engines.h"
#include "archive/archive_keeper.h"
#include "archive/archive_schema.h"
#include "archive/archive_test_model.h"
#include "archive/reading_measurements.h"
#include "archive/sqlite_archive.h"
#include "archive/sqlite_db.h"
#include "device/memory_map.h"
#include "model/console_state.h"
#include "platform/cp1251.h"
#include "support/recording_log.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace orti {
namespace {

constexpr const char* kOperator = "Петров Иван Ильич";

int Add(ArchiveStore& store, const NotepadModel& model, double now) {
  return store.AddReading(ReadingMeasurements(model, kOperator), now).added;
}

class ArchiveStoreTest : public test::OnEachEngine {};
ORTI_ON_EACH_ENGINE(ArchiveStoreTest);

TEST_P(ArchiveStoreTest, AMeasurementIsKeptOnceAndOutlivesTheInstrumentsCopy) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(2, 3);
  test::PutRecord(*model, 1, kLastSlot);  // read and kept, never shown
  const double first = model->readTime, second = first + 1;

  EXPECT_EQ(Add(store, *model, first), 7);
  EXPECT_EQ(store.Query({}).size(), 6u);

  // Read again under a new folder name: nothing added, the name and the
  // last-read time follow, the first reading stays.
  std::strcpy(model->folders[0].name, Utf8ToCp1251("Новая").c_str());
  EXPECT_EQ(Add(store, *model, second), 0);
  std::vector<Measurement> rows = store.Query({});
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].folderName, "Новая");
  EXPECT_EQ(rows[0].firstRead, first);
  EXPECT_EQ(rows[0].lastRead, second);
  EXPECT_EQ(rows[0].operatorName, kOperator);

  // Cleared in the instrument and read again: still archived, and a record
  // written into the freed slot is a new measurement.
  for (int s = 0; s < 3; ++s) model->folders[0].records[s].mode = kModeEmpty;
  EXPECT_EQ(Add(store, *model, second + 1), 0);
  model->folders[0].records[0].mode = kModeMv;
  test::PutRecord(*model, 0, 0, kModeMv);
  EXPECT_EQ(Add(store, *model, second + 2), 1);
  EXPECT_EQ(store.Query({}).size(), 7u);
  const ArchiveStats stats = store.Stats();
  EXPECT_EQ(stats.measurements, 7);
  EXPECT_EQ(stats.instruments, 1);
}

// The same bytes in two folders (a record copied, or two alike) are two
// measurements, each with its folder's name, and follow a rename.
TEST_P(ArchiveStoreTest, TheSameBytesInTwoFoldersKeepBothNames) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(2, 1);
  NotepadFolder& second = model->folders[1];
  second.records[0] = model->folders[0].records[0];
  std::memcpy(StoredSlotBytes(second, 0), StoredSlotBytes(model->folders[0], 0), kRecordSize);
  EXPECT_EQ(Add(store, *model, 1), 2);
  std::strcpy(second.name, Utf8ToCp1251("Новая").c_str());
  EXPECT_EQ(Add(store, *model, 2), 0);
  const std::vector<Measurement> rows = store.Query({});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].raw, rows[1].raw);
  EXPECT_EQ(rows[0].folderName, "P0");
  EXPECT_EQ(rows[1].folderName, "Новая");
}

TEST_P(ArchiveStoreTest, AFolderNotReadInFullAddsNothing) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(3, 2);
  model->folders[1].readInFull = false;
  EXPECT_EQ(Add(store, *model, 1), 4);
  for (const Measurement& m : store.Query({})) EXPECT_NE(m.folderIndex, 1) << m.folderName;
}

TEST_P(ArchiveStoreTest, FiltersSelectByDateFolderModeAndOperator) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(3, 2);
  test::PutRecord(*model, 2, 1, kModeMv);
  model->folders[2].records[1].dateTime = EncodeDate(2026, 4, 10);
  Add(store, *model, 1);
  struct Case {
    ArchiveFilter filter;
    size_t rows;
  } cases[] = {
      {{}, 6},
      {{EncodeDate(2026, 3, 2), std::nullopt, "", 0, ""}, 1},
      {{std::nullopt, EncodeDate(2026, 3, 1), "", 0, ""}, 5},  // the whole last day
      {{std::nullopt, std::nullopt, "P1", 0, ""}, 2},
      {{std::nullopt, std::nullopt, "", kModeMv, ""}, 1},
      {{std::nullopt, std::nullopt, "", 0, "Петров"}, 6},
      {{std::nullopt, std::nullopt, "", 0, "Сидоров"}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(store.Query(c.filter).size(), c.rows);
}

// A file as the console wrote it before the compact schema: two records read
// (by different operators, read again later), one imported line.
TEST(ArchiveStore, AFileOfTheFormerSchemaIsMigratedWithEveryRow) {
  test::TempDir dir;
  const std::string path = dir.File("old.sqlite");
  auto model = test::SmallNotepad(1, 2);
  const Reading reading = ReadingMeasurements(*model, "");
  {
    SqliteDb db(path, false);
    MigrateArchive(db, kCompactVersion - 1);
    db.Exec("INSERT INTO imports(file, imported, added) VALUES('f.csv', 20, 1)");
    SqlStatement insert = db.Prepare(
        "INSERT INTO measurements(instrument, identity, raw, folder_index, folder_name, slot, "
        "shown, taken, mode, temperature, emf, ph, ph25, match_key, first_read, last_read, "
        "operator, import_id) VALUES(?, ?, ?, ?, ?, ?, 1, ?, ?, ?, ?, ?, ?, 'k', ?, ?, ?, ?)");
    for (int s = 0; s < 2; ++s) {
      const Measurement& m = reading.measurements[s];
      insert.Reset();
      insert.Bind(1, reading.instrument).Bind(2, reading.identity).Bind(3, m.raw);
      insert.Bind(4, int64_t{0}).Bind(5, m.folderName).Bind(6, int64_t{s}).Bind(7, m.taken);
      insert.Bind(8, int64_t{m.mode}).Bind(9, m.temperature).Bind(10, m.emf).Bind(11, m.ph);
      insert.Bind(12, m.ph25).Bind(13, 10.0 + s).Bind(14, 12.0);
      insert.Bind(15, std::string(s == 0 ? "Иванов" : "Петров")).BindNull(16).Run();
    }
    insert.Reset();
    insert.Bind(1, std::string()).BindNull(2).BindNull(3).BindNull(4).Bind(5, std::string("Почва"));
    insert.BindNull(6).Bind(7, EncodeDate(2025, 5, 5) + EncodeTime(10, 0, 0));
    insert.Bind(8, int64_t{kModePh}).Bind(9, 21.0).Bind(10, -3.5).Bind(11, 6.5).Bind(12, 6.6);
    insert.Bind(13, 20.0).Bind(14, 20.0).Bind(15, std::string("Сидоров С С"));
    insert.Bind(16, int64_t{1}).Run();
  }
  SqliteArchive store(path);
  EXPECT_FALSE(store.ReadOnly());
  // The readings made from the old rows (at 10, 11 and 12) wait for a server.
  EXPECT_EQ(store.Unsent().readings, 3);
  {
    SqliteDb db(path, true);
    EXPECT_EQ(ArchiveVersion(db), kArchiveSchemaVersion);
  }
  const std::vector<Measurement> rows = store.Query({});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].importId, 1);
  EXPECT_EQ(rows[0].folderName, "Почва");
  EXPECT_EQ(rows[0].operatorName, "Сидоров С С");
  EXPECT_EQ(rows[0].firstRead, 20);
  EXPECT_DOUBLE_EQ(rows[0].ph25, 6.6);
  for (int s = 0; s < 2; ++s) {
    const Measurement& was = reading.measurements[s];
    const Measurement& is = rows[1 + s];
    EXPECT_EQ(is.raw, was.raw);
    EXPECT_EQ(is.instrument, reading.instrument);
    EXPECT_EQ(is.folderName, "P0");
    EXPECT_EQ(is.slot, s);
    EXPECT_EQ(is.taken, was.taken);
    EXPECT_EQ(is.ph, was.ph);
    EXPECT_EQ(is.firstRead, 10 + s);
    EXPECT_EQ(is.lastRead, 12);
    EXPECT_EQ(is.operatorName, s == 0 ? "Иванов" : "Петров");
  }
  // Still one measurement each: read again, or the line imported again.
  EXPECT_EQ(Add(store, *model, 30), 0);
  Measurement line = rows[0];
  line.matchKey = MatchKeyOf({line.taken, line.mode, 21, -3.5, 6.5, 6.6});
  EXPECT_EQ(store.Import("f.csv", {line}, 31), 0);
  EXPECT_TRUE(store.ForgetImport(1));
  EXPECT_EQ(store.Query({}).size(), 2u);
}

struct KeeperRig {
  test::TempDir dir;
  std::string path = dir.File("a.sqlite");
  test::RecordingLog log;
  test::ScriptedDialogs dialogs;
  ConsoleState state;
  std::unique_ptr<NotepadModel> model = test::SmallNotepad(1, 2);
  std::function<orti::Dialogs&()> Dialogs() {
    return [this]() -> orti::Dialogs& { return dialogs; };
  }
};

TEST(ArchiveKeeper, FilesItCannotUseAreReportedOnceAndNeverAltered) {
  struct Case {
    const char* name;
    std::function<void(const std::string& path)> spoil;
    const char* message;
  } cases[] = {
      {"corrupt", [](const std::string& p) { test::WriteBytes(p, std::string(4096, 'x')); },
       "Архив измерений недоступен"},
      {"folder", [](const std::string& p) { std::filesystem::create_directory(p); },
       "Архив измерений недоступен"},
      {"newer",
       [](const std::string& p) {
         SqliteDb db(p, false);
         db.Exec("PRAGMA user_version = 99");
       },
       "открыт только для чтения"},
  };
  for (const Case& c : cases) {
    KeeperRig rig;
    c.spoil(rig.path);
    const std::string before =
        std::filesystem::is_regular_file(rig.path) ? test::ReadBytes(rig.path) : "";
    ArchiveKeeper keeper(rig.path, rig.log, rig.Dialogs(), 100);
    keeper.AddReading(*rig.model, rig.state);
    keeper.AddReading(*rig.model, rig.state);
    ASSERT_EQ(rig.log.lines.size(), 1u) << c.name;
    EXPECT_NE(rig.log.lines[0].find(c.message), std::string::npos) << rig.log.lines[0];
    ASSERT_EQ(rig.dialogs.Calls().size(), 1u) << c.name;
    if (!before.empty()) EXPECT_EQ(test::ReadBytes(rig.path), before) << c.name;
  }
}

TEST(ArchiveKeeper, AMeasurementThatCannotBeAddedIsSkippedAndNamedOnce) {
  KeeperRig rig;
  ArchiveKeeper keeper(rig.path, rig.log, rig.Dialogs(), 100);
  ASSERT_NE(keeper.Store(), nullptr);
  {
    SqliteDb db(rig.path, false);
    db.Exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON measurements WHEN NEW.position = 1 "
        "BEGIN SELECT RAISE(ABORT, 'refused here'); END");
  }
  keeper.AddReading(*rig.model, rig.state);
  keeper.AddReading(*rig.model, rig.state);
  const std::vector<Measurement> rows = keeper.Store()->Query({});
  ASSERT_EQ(rows.size(), 1u);  // the other record of the reading is kept
  EXPECT_EQ(rows[0].slot, 0);
  ASSERT_EQ(rig.log.lines.size(), 2u);
  EXPECT_EQ(rig.log.lines[0],
            "Измерение не добавлено в архив: P0 01.03.2026 00:01:08 (refused here)");
  EXPECT_EQ(rig.dialogs.Calls().size(), 1u);
}

TEST(ArchiveKeeper, ALockedArchiveFailsTheAdditionOnlyAndNothingIsHalfWritten) {
  KeeperRig rig;
  ArchiveKeeper keeper(rig.path, rig.log, rig.Dialogs(), 100);
  ASSERT_NE(keeper.Store(), nullptr);
  {
    SqliteDb other(rig.path, false);
    other.Exec("BEGIN EXCLUSIVE");
    keeper.AddReading(*rig.model, rig.state);
    ASSERT_EQ(rig.log.lines.size(), 1u);
    EXPECT_NE(rig.log.lines[0].find("Чтение не добавлено"), std::string::npos);
    other.Exec("ROLLBACK");
  }
  EXPECT_TRUE(keeper.Store()->Query({}).empty());
  keeper.AddReading(*rig.model, rig.state);  // the lock gone, the next reading is kept
  EXPECT_EQ(keeper.Store()->Query({}).size(), 2u);
}

}  // namespace
}  // namespace orti
