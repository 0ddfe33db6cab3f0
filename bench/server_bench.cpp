// The lab's server as a workstation meets it: a full reading pushed (a
// 2 500-record reading, one server transaction) and a month's filter over a
// year of a million measurements, on a private PostgreSQL 15 reached over its
// local socket, with fsync on as a lab server runs.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "archive/archive_pages.h"
#include "archive/archive_push.h"
#include "archive/pg_db.h"
#include "archive/reading_measurements.h"
#include "archive/server_archive.h"
#include "archive/sqlite_archive.h"
#include "archive_bench.h"
#include "platform/date_time.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

namespace orti::bench {
namespace {

constexpr double kMonth = 30;
constexpr const char* kOperator = "Иванов Иван Иванович";

// A workstation's archive and the server it pushes to.
struct PushRig {
  test::PgServer server{true};
  test::TempDir dir;
  SqliteArchive local{dir.File("local.sqlite")};
  const std::string conninfo = server.NewDatabase();
  std::unique_ptr<ArchiveStore> lab = OpenServerArchive(conninfo);
  const double firstDay = FirstDay();
  int generation = 0;

  void Read() {
    const std::unique_ptr<NotepadModel> model = FullReading(generation++, firstDay);
    Reading reading = ReadingMeasurements(*model, kOperator);
    reading.workstation = "bench";
    local.AddReading(reading, model->readTime);
  }
};

// A new reading of 2 500 measurements pushed to a server already holding
// state.range(0) of them.
void BM_ServerPushReading(benchmark::State& state) {
  PushRig rig;
  const int held = static_cast<int>(state.range(0));
  for (int r = 0; r < held / kReadingRecords; ++r) {
    rig.Read();
    PushArchive(rig.local, *rig.lab);
  }
  int64_t pushed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    rig.Read();
    state.ResumeTiming();
    pushed = PushArchive(rig.local, *rig.lab).measurements;
  }
  state.counters["held"] = held;
  state.counters["pushed"] = static_cast<double>(pushed);
}
BENCHMARK(BM_ServerPushReading)->Arg(0)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(20);

// The last 30 days of a year of a million measurements on the server, every
// row of them scanned as the history page's plot loads them; and the page's
// first 200 rows of the table. The statistics are fresh, as the server's own
// autovacuum keeps them once the pushes pause.
void BM_ServerMonthFilter(benchmark::State& state) {
  PushRig rig;
  // Built by pushing a year of readings; the last ones' pushes are timed too.
  constexpr int kReadings = kMeasurementsPerYear / kReadingRecords;
  constexpr int kTimedPushes = 20;
  const auto start = std::chrono::steady_clock::now();
  std::chrono::duration<double, std::milli> lastPushes{0};
  for (int r = 0; r < kReadings; ++r) {
    rig.Read();
    const auto push = std::chrono::steady_clock::now();
    PushArchive(rig.local, *rig.lab);
    if (r >= kReadings - kTimedPushes) lastPushes += std::chrono::steady_clock::now() - push;
  }
  const std::chrono::duration<double> built = std::chrono::steady_clock::now() - start;
  PgDb(rig.conninfo).Exec("ANALYZE");
  ArchiveFilter month;
  month.to = std::floor(LocalNow());
  month.from = *month.to - kMonth + 1;
  size_t rows = 0;
  for (auto _ : state) {
    rows = 0;
    rig.lab->Scan(month, std::nullopt, [&rows](const Measurement&) { return ++rows > 0; });
    benchmark::DoNotOptimize(rows);
  }
  constexpr int kPages = 20;
  const auto pages = std::chrono::steady_clock::now();
  for (int p = 0; p < kPages; ++p) {
    benchmark::DoNotOptimize(rig.lab->Page(month, std::nullopt, kArchivePageRows).size());
  }
  const std::chrono::duration<double, std::milli> paged = std::chrono::steady_clock::now() - pages;
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["first_page_ms"] = paged.count() / kPages;
  state.counters["held"] = static_cast<double>(rig.lab->Stats().measurements);
  state.counters["build_s"] = built.count();
  state.counters["push_at_1M_ms"] = lastPushes.count() / kTimedPushes;
}
BENCHMARK(BM_ServerMonthFilter)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace orti::bench
