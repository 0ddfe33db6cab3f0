// A workstation's archive pushed to the lab's server: nothing lost or doubled
// by a second push, a cut between the server's commit and the local mark, a
// server stopped halfway, or four workstations pushing the same records.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>
#include <thread>
#include <tuple>

#include "archive/archive_engines.h"
#include "archive/archive_push.h"
#include "archive/archive_schema.h"
#include "archive/archive_test_model.h"
#include "archive/pg_db.h"
#include "archive/reading_measurements.h"
#include "archive/server_archive.h"
#include "archive/sqlite_archive.h"
#include "platform/cp1251.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

namespace orti {
namespace {

using Row = std::tuple<std::string, std::vector<uint8_t>, int, std::string, int, double, double,
                       std::string, std::optional<double>>;

std::multiset<Row> Rows(const ArchiveStore& store) {
  std::multiset<Row> rows;
  for (const Measurement& m : store.Query({})) {
    rows.insert({m.instrument, m.raw, m.copy, m.folderName, m.folderIndex * 1000 + m.slot,
                 m.firstRead, m.lastRead, m.operatorName, m.removedAt});
  }
  return rows;
}

using ChangeRow =
    std::tuple<std::string, double, int, std::vector<std::vector<uint8_t>>, int, std::string>;

std::vector<ChangeRow> Changes(const ArchiveStore& store) {
  std::vector<ChangeRow> changes;
  store.ScanChanges({}, [&](const InstrumentChange& c) {
    changes.push_back({c.origin, c.at, static_cast<int>(c.kind), c.records,
                       static_cast<int>(c.outcome), c.instrument});
    return true;
  });
  return changes;
}

int64_t Count(const std::string& conninfo, const std::string& sql) {
  PgDb db(conninfo);
  return db.QueryInt(sql);
}

Reading ReadingOf(const NotepadModel& model, const std::string& workstation) {
  Reading reading = ReadingMeasurements(model, "Петров");
  reading.workstation = workstation;
  return reading;
}

// Three readings: the notepad, then renamed with a record added, then one
// record deleted in the instrument (and recorded as a change).
struct Workstation {
  test::TempDir dir;
  SqliteArchive local{dir.File("a.sqlite")};

  void ReadThreeTimes() {
    auto model = test::SmallNotepad(2, 3);
    local.AddReading(ReadingOf(*model, "lab-1"), 100);
    std::strcpy(model->folders[0].name, Utf8ToCp1251("Новая").c_str());
    test::PutRecord(*model, 1, 3);
    local.AddReading(ReadingOf(*model, "lab-1"), 101);
    InstrumentChange deletion;
    deletion.at = 102;
    deletion.workstation = "lab-1";
    deletion.identity = ReadingOf(*model, "").identity;
    deletion.kind = ChangeKind::kDelete;
    const Reading last = ReadingOf(*model, "");
    deletion.records = {last.measurements[0].raw};
    local.AddChange(deletion);
    model->folders[0].records[0].mode = kModeEmpty;
    local.AddReading(ReadingOf(*model, "lab-1"), 103);
  }
};

// The server's side is the same SQL on either engine.
class ArchivePushTest : public test::OnEachEngine {};
ORTI_ON_EACH_ENGINE(ArchivePushTest);

TEST_P(ArchivePushTest, ASecondPushOrACutBeforeTheLocalMarkAddsNothingTwice) {
  Workstation ws;
  ws.ReadThreeTimes();
  const Waiting waiting = ws.local.Unsent();
  EXPECT_EQ(waiting.readings, 3);
  EXPECT_EQ(waiting.measurements, 7);  // each sent once, with the reading that saw it last
  EXPECT_EQ(waiting.changes, 1);

  auto server = NewStore();
  // Cut after the server committed the second reading, before it is marked sent.
  int committed = 0;
  PushProbe cut{[&] {
    if (++committed == 2) throw ArchiveError("cut");
  }};
  EXPECT_THROW(PushArchive(ws.local, *server, cut), ArchiveError);
  EXPECT_EQ(ws.local.Unsent().readings, 2);

  const PushResult again = PushArchive(ws.local, *server);
  EXPECT_EQ(again.readings, 2);
  EXPECT_EQ(again.changes, 1);
  EXPECT_EQ(ws.local.Unsent().readings + ws.local.Unsent().changes, 0);
  const PushResult nothing = PushArchive(ws.local, *server);
  EXPECT_EQ(nothing.readings + nothing.changes, 0);

  EXPECT_EQ(Rows(*server), Rows(ws.local));
  EXPECT_EQ(Changes(*server), Changes(ws.local));
  const auto db = Connect();
  EXPECT_EQ(db->QueryInt("SELECT count(*) FROM readings"), 3);
  EXPECT_EQ(db->QueryInt("SELECT count(*) FROM measurements WHERE removed_by IS NOT NULL"), 1);
  EXPECT_EQ(server->Unsent().readings + server->Unsent().changes, 0);  // received, not added
}

// Deleted, restored and read again: the record is back in the instrument, on
// the server as on the workstation, however the push is cut into pieces.
TEST_P(ArchivePushTest, ARecordRestoredAndReadAgainIsNotRemovedOnTheServer) {
  for (int pushAfter : {0, 2, 4}) {
    test::TempDir dir;
    SqliteArchive local(dir.File("a.sqlite"));
    auto server = NewStore();
    auto model = test::SmallNotepad(1, 2);
    const Reading reading = ReadingOf(*model, "lab-1");
    InstrumentChange change;
    change.identity = reading.identity;
    change.records = {reading.measurements[0].raw};
    int step = 0;
    auto then = [&] {
      if (++step == pushAfter) PushArchive(local, *server);
    };
    local.AddReading(reading, 100);
    then();
    change.at = 101;
    local.AddChange(change);  // deleted
    then();
    change.at = 102;
    change.kind = ChangeKind::kRestore;
    change.outcome = ChangeOutcome::kRestored;
    local.AddChange(change);
    then();
    local.AddReading(reading, 103);  // found again
    PushArchive(local, *server);
    EXPECT_TRUE(local.Query({{}, {}, {}, 0, {}, true}).empty());
    EXPECT_EQ(Rows(*server), Rows(local)) << "pushed after step " << pushAfter;
    EXPECT_EQ(Changes(*server), Changes(local));
  }
}

TEST(ArchivePush, AServerStoppedHalfwayThenPushedAgainEqualsTheWorkstation) {
  test::PgServer& pg = test::SharedPgServer();
  Workstation ws;
  ws.ReadThreeTimes();
  const std::string conninfo = pg.NewDatabase();
  {
    auto server = OpenServerArchive(conninfo);
    int committed = 0;
    PushProbe crash{[&] {
      if (++committed == 1) pg.Stop();
    }};
    EXPECT_THROW(PushArchive(ws.local, *server, crash), ArchiveError);
    EXPECT_THROW(OpenServerArchive(conninfo), ArchiveError);
  }
  pg.Start();
  // Only the first reading got through.
  EXPECT_EQ(ws.local.Unsent().readings, 2);
  auto server = OpenServerArchive(conninfo);
  EXPECT_EQ(PushArchive(ws.local, *server).readings, 2);
  EXPECT_EQ(Rows(*server), Rows(ws.local));
  EXPECT_EQ(Changes(*server), Changes(ws.local));
  EXPECT_EQ(Count(conninfo, "SELECT count(*) FROM readings"), 3);
}

// Two workstations per instrument read the same records (and some of their
// own) and all four push at once, each over its own connection.
TEST(ArchivePush, FourWorkstationsPushingOverlappingReadingsStoreEachMeasurementOnce) {
  const std::string conninfo = test::SharedPgServer().NewDatabase();
  OpenServerArchive(conninfo);
  constexpr int kPushers = 4;
  std::vector<std::unique_ptr<Workstation>> stations;
  std::set<std::tuple<int, std::vector<uint8_t>, int>> expected;
  for (int w = 0; w < kPushers; ++w) {
    stations.push_back(std::make_unique<Workstation>());
    const int instrument = w % 2;
    for (int r = 0; r < 3; ++r) {
      auto model = test::SmallNotepad(3, 4 + r + w);
      model->identity.version[0] = static_cast<char>('1' + instrument);
      // Each reading brings folder names no one has sent yet.
      for (int f = 0; f < 3; ++f) {
        std::snprintf(model->folders[f].name, sizeof model->folders[f].name, "R%dF%d", r, f);
      }
      Reading reading = ReadingOf(*model, "lab-" + std::to_string(w));
      stations.back()->local.AddReading(reading, 100 + r);
      for (const Measurement& m : reading.measurements) {
        if (m.shown) expected.insert({instrument, m.raw, m.copy});
      }
    }
  }
  std::vector<std::string> failures(kPushers);
  std::vector<std::thread> pushers;
  std::atomic<int> connected{0};
  for (int w = 0; w < kPushers; ++w) {
    pushers.emplace_back([&, w] {
      try {
        auto server = OpenServerArchive(conninfo);
        // All connected before any pushes, so that the pushes overlap.
        ++connected;
        while (connected < kPushers) std::this_thread::yield();
        PushArchive(stations[w]->local, *server);
      } catch (const ArchiveError& error) {
        failures[w] = error.what();
      }
    });
  }
  for (std::thread& t : pushers) t.join();
  for (const std::string& failure : failures) EXPECT_EQ(failure, "");
  EXPECT_EQ(OpenServerArchive(conninfo)->Query({}).size(), expected.size());
  EXPECT_EQ(Count(conninfo, "SELECT count(*) FROM readings"), kPushers * 3);
  EXPECT_EQ(Count(conninfo, "SELECT count(*) FROM instruments"), 2);
}

TEST(ServerArchive, TwoFirstOpensAtOnceMigrateOnceAndANewerSchemaIsOnlyRead) {
  test::PgServer& pg = test::SharedPgServer();
  for (int round = 0; round < 3; ++round) {
    const std::string conninfo = pg.NewDatabase();
    std::string failures[2];
    std::thread first([&] {
      try {
        OpenServerArchive(conninfo);
      } catch (const ArchiveError& error) {
        failures[0] = error.what();
      }
    });
    try {
      OpenServerArchive(conninfo);
    } catch (const ArchiveError& error) {
      failures[1] = error.what();
    }
    first.join();
    EXPECT_EQ(failures[0] + failures[1], "");
    EXPECT_EQ(ArchiveSchemaVersionOf(conninfo), kArchiveSchemaVersion);
  }
  const std::string conninfo = pg.NewDatabase();
  OpenServerArchive(conninfo);
  {
    PgDb db(conninfo);
    db.SetVersion(kArchiveSchemaVersion + 1);
  }
  auto newer = OpenServerArchive(conninfo);
  EXPECT_TRUE(newer->ReadOnly());
  auto model = test::SmallNotepad(1, 1);
  EXPECT_THROW(newer->AddReading(ReadingOf(*model, ""), 1), ArchiveError);
  EXPECT_EQ(ArchiveSchemaVersionOf(conninfo), kArchiveSchemaVersion + 1);
}

// The console's own settings apply unless the lab's string sets them, in
// either form libpq reads.
TEST(ServerArchive, TheConnectionStringsOwnSettingsWin) {
  test::PgServer& pg = test::SharedPgServer();
  const std::string keywords = pg.NewDatabase();
  const std::string address = pg.Address(keywords.substr(keywords.rfind("dbname=") + 7));
  struct Case {
    std::string conninfo;
    const char* name;
  } cases[] = {
      {keywords, "orti415"},
      {keywords + " application_name=lab", "lab"},
      {address, "orti415"},
      {address + "&application_name=lab", "lab"},
  };
  for (const Case& c : cases) {
    PgDb db(c.conninfo);
    SqlStatement query = db.Prepare("SELECT current_setting('application_name')");
    ASSERT_TRUE(query.Step()) << c.conninfo;
    EXPECT_EQ(query.Text(0), c.name) << c.conninfo;
  }
  EXPECT_THROW(PgDb(keywords + " port=1"), ArchiveError);
}

}  // namespace
}  // namespace orti
