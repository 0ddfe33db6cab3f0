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
  std::unique_ptr<ArchiveStore> lab = OpenServerArchive(server.NewDatabase());
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

// The last 30 days of a year of a million measurements on the server: the
// history page's first page of rows, and every row of the month.
void BM_ServerMonthFilter(benchmark::State& state) {
  PushRig rig;
  const auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < kMeasurementsPerYear / kReadingRecords; ++r) {
    rig.Read();
    PushArchive(rig.local, *rig.lab);
  }
  const std::chrono::duration<double> built = std::chrono::steady_clock::now() - start;
  std::printf("server: %lld measurements pushed in %.1f s\n",
              static_cast<long long>(rig.lab->Stats().measurements), built.count());
  ArchiveFilter month;
  month.to = std::floor(LocalNow());
  month.from = *month.to - kMonth + 1;
  const bool everyRow = state.range(0) != 0;
  size_t rows = 0;
  for (auto _ : state) {
    rows = everyRow ? rig.lab->Query(month).size()
                    : rig.lab->Page(month, std::nullopt, kArchivePageRows).size();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ServerMonthFilter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace orti::bench
