// The archive's costs that the operator waits for: adding a full reading
// (2 500 records) at 0, 100 000 and 1 000 000 archived measurements, the
// bytes each measurement takes on disk, a filtered search, and the history
// page opened and plotted over a million measurements.

#include "archive_bench.h"

#include "full_notepad.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QChartView>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/history_page.h"
#include "archive/archive_keeper.h"
#include "archive/reading_measurements.h"
#include "archive/sqlite_archive.h"
#include "archive/sqlite_db.h"
#include "device/console_services.h"
#include "device/record_decoder.h"
#include "folders/folder_compaction.h"
#include "model/console_state.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "quiet_services.h"
#include "sim/record_encoding.h"

namespace orti::bench {
namespace {

constexpr int kSearchedMeasurements = 100000;
constexpr double kYear = 365;
constexpr int kSamples = 10;

// A scratch archive file, removed with its WAL companions.
class ScratchArchive {
 public:
  explicit ScratchArchive(const std::string& name)
      : path_((std::filesystem::temp_directory_path() /
               ("orti415-bench-" + name + "-" + std::to_string(getpid()) + ".sqlite"))
                  .string()) {
    Remove();
  }
  ~ScratchArchive() { Remove(); }
  const std::string& Path() const { return path_; }

 private:
  void Remove() const {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path_ + suffix).c_str());
  }
  std::string path_;
};

double CpuSeconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace

double FirstDay() {
  return std::floor(LocalNow()) - kYear;
}

std::unique_ptr<NotepadModel> FullReading(int generation, double firstDay) {
  auto model = std::make_unique<NotepadModel>();
  model->folderCount = kMaxFolders;
  const double step = kYear / kMeasurementsPerYear;
  const double today = firstDay + (generation + 1) * kReadingRecords * step;
  model->readTime = today;
  const std::string instrument = Utf8ToCp1251("ОРТИ-415");
  std::memcpy(model->identity.name, instrument.data(), instrument.size());
  model->identity.version[0] = '1';
  NoDialogs dialogs;
  for (int f = 0; f < kMaxFolders; ++f) {
    NotepadFolder& folder = model->folders[f];
    // Ten samples, each kept in ten folders.
    const int sample = f % kSamples;
    const std::string name = Utf8ToCp1251("ПРОБА " + std::to_string(sample + 1));
    std::memcpy(folder.name, name.data(), std::min(name.size(), sizeof folder.name - 1));
    folder.state = FolderState::kAsRead;
    folder.readInFull = true;
    for (int s = 0; s < kSlotsPerFolder; ++s) {
      folder.records[s].mode = kModeEmpty;
      StoredSlotBytes(folder, s)[0] = kModeEmpty;
      if (s >= kShownSlots) continue;
      const int n = generation * kReadingRecords + f * kShownSlots + s;
      const double taken = firstDay + n * step;
      const CivilDateTime t = DecodeDateTime(taken);
      sim::Measurement m;
      m.mode = static_cast<uint8_t>(kModePh + n % 3);
      m.dayOfYear = static_cast<uint16_t>(std::floor(taken) - EncodeDate(t.year, 1, 1) + 1);
      m.timeUnits = static_cast<uint16_t>((t.hour * 3600 + t.minute * 60 + t.second) / 2);
      // A sample's pH drifts weekly about its own level, the room warms by day.
      const double week = 2 * M_PI * (taken - firstDay) / 7;
      m.temperature = static_cast<float>(21 + 3 * std::sin(2 * M_PI * taken) + (n % 7) * 0.1);
      m.ph =
          static_cast<float>(4.5 + 0.6 * sample + 0.2 * std::sin(week + sample) + (n % 11) * 0.004);
      m.emf = (7.0f - m.ph) * 59.16f;
      const sim::RecordBytes bytes = sim::EncodeRecord(m);
      std::memcpy(StoredSlotBytes(folder, s), bytes.data(), bytes.size());
      DecodeRecord(*model, f, s, SlotChars(bytes), today, dialogs);
    }
  }
  return model;
}

int BuildArchive(const std::string& path, int measurements) {
  SqliteArchive store(path);
  const double firstDay = FirstDay();
  const int readings = measurements / kReadingRecords;
  const double cpu = CpuSeconds();
  for (int g = 0; g < readings; ++g) {
    const std::unique_ptr<NotepadModel> model = FullReading(g, firstDay);
    store.AddReading(ReadingMeasurements(*model, "Иванов Иван Иванович"), model->readTime);
  }
  std::printf("archive %s: %d measurements in %d readings, %.1f s of CPU\n", path.c_str(),
              readings * kReadingRecords, readings, CpuSeconds() - cpu);
  return readings;
}

namespace {

// The file's size once the write-ahead log is folded in, per measurement.
double BytesPerMeasurement(const std::string& path, int measurements) {
  {
    SqliteDb db(path, false);
    db.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
  }
  return static_cast<double>(std::filesystem::file_size(path)) / measurements;
}

// Twenty new readings added to an archive of state.range(0) measurements.
void BM_ArchiveAddNewReading(benchmark::State& state) {
  ScratchArchive scratch("add");
  const int archived = static_cast<int>(state.range(0));
  int generation = BuildArchive(scratch.Path(), archived);
  const double firstDay = FirstDay();
  SqliteArchive store(scratch.Path());
  for (auto _ : state) {
    state.PauseTiming();
    const std::unique_ptr<NotepadModel> model = FullReading(generation++, firstDay);
    const Reading reading = ReadingMeasurements(*model, "Иванов Иван Иванович");
    state.ResumeTiming();
    benchmark::DoNotOptimize(store.AddReading(reading, model->readTime));
  }
  state.counters["archived"] = archived;
  state.counters["records"] = kReadingRecords;
  if (archived > 0) {
    state.counters["bytes_per_measurement"] =
        BytesPerMeasurement(scratch.Path(), generation * kReadingRecords);
  }
}
BENCHMARK(BM_ArchiveAddNewReading)
    ->Arg(0)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// The same reading again: nothing new, the last reading noted on each row.
void BM_ArchiveAddReadingAgain(benchmark::State& state) {
  ScratchArchive scratch("again");
  SqliteArchive store(scratch.Path());
  const std::unique_ptr<NotepadModel> model = FullReading(0, FirstDay());
  const Reading reading = ReadingMeasurements(*model, "Иванов Иван Иванович");
  store.AddReading(reading, 1);
  for (auto _ : state) benchmark::DoNotOptimize(store.AddReading(reading, 2));
  state.counters["records"] = kReadingRecords;
}
BENCHMARK(BM_ArchiveAddReadingAgain)->Unit(benchmark::kMillisecond);

void BM_ArchiveFilteredQuery(benchmark::State& state) {
  ScratchArchive scratch("query");
  BuildArchive(scratch.Path(), kSearchedMeasurements);
  SqliteArchive store(scratch.Path());
  ArchiveFilter filter;  // ten days, one folder name pattern, one mode
  filter.from = FirstDay() + 20;
  filter.to = FirstDay() + 29;
  filter.folderContains = "ПРОБА 1";  // ПРОБА 1 and ПРОБА 10
  filter.mode = kModePh;
  size_t rows = 0;
  for (auto _ : state) {
    rows = store.Query(filter).size();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["archived"] = static_cast<double>(store.Stats().measurements);
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ArchiveFilteredQuery)->Unit(benchmark::kMillisecond);

class NoFiles final : public FileChooser {
 public:
  std::optional<std::string> ChooseSaveFile(const SaveFileRequest&) override { return {}; }
};

QApplication& Application() {
  static int argc = 1;
  static char name[] = "orti415-bench";
  static char* argv[] = {name, nullptr};
  if (!qEnvironmentVariableIsSet("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

// The history page over a year of a million measurements, as the console has it.
struct HistoryRig {
  explicit HistoryRig(const std::string& path)
      : keeper(path, log, [this]() -> Dialogs& { return dialogs; }) {
    Application();
  }
  std::unique_ptr<HistoryPage> Open() {
    auto page = std::make_unique<HistoryPage>(HistoryPage::Context{
        keeper,
        [this]() -> ConsoleServices { return {*notepad, console, totalData, link, log, dialogs}; },
        [this]() -> FileChooser& { return files; }});
    page->resize(1600, 1000);
    page->show();
    return page;
  }
  NoLog log;
  NoDialogs dialogs;
  NoFiles files;
  NoLink link;
  std::unique_ptr<NotepadModel> notepad = std::make_unique<NotepadModel>();
  ConsoleState console;
  StringGrid totalData;
  ArchiveKeeper keeper;
};

// Opening «Архив»: the last 30 days searched, the table's first page, the plot
// drawn; and how much resident memory the page keeps.
void BM_HistoryOpen(benchmark::State& state) {
  ScratchArchive scratch("history");
  BuildArchive(scratch.Path(), kMeasurementsPerYear);
  HistoryRig rig(scratch.Path());
  rig.keeper.Store();
  const long before = ResidentBytes();
  std::unique_ptr<HistoryPage> kept;
  for (auto _ : state) {
    kept.reset();
    auto page = rig.Open();
    page->Refresh();
    QCoreApplication::processEvents();  // laid out and painted, as the window would
    const QPixmap drawn = page->grab();
    benchmark::DoNotOptimize(drawn.width());
    kept = std::move(page);
  }
  state.counters["rows_fetched"] = kept->RowCount();
  size_t points = 0;
  for (const PlotSeries& s : kept->Plotted()) points += s.points.size();
  state.counters["plotted"] = static_cast<double>(points);
  state.counters["resident_growth_MB"] = (ResidentBytes() - before) / 1e6;
}
BENCHMARK(BM_HistoryOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every one of the million measurements plotted: loaded once, then drawn
// (reduced to the pixels, laid out and painted) in each iteration.
void BM_HistoryPlotMillion(benchmark::State& state) {
  ScratchArchive scratch("plot");
  BuildArchive(scratch.Path(), kMeasurementsPerYear);
  HistoryRig rig(scratch.Path());
  auto page = rig.Open();
  page->FromCheck->setChecked(false);
  const auto start = std::chrono::steady_clock::now();
  page->Refresh();
  const std::chrono::duration<double> opened = std::chrono::steady_clock::now() - start;
  for (auto _ : state) {
    page->DrawPlot();
    QCoreApplication::processEvents();
    const QPixmap drawn = page->ChartView->grab();
    benchmark::DoNotOptimize(drawn.width());
  }
  size_t points = 0;
  for (const PlotSeries& s : page->Plotted()) points += s.points.size();
  state.counters["points"] = static_cast<double>(points);
  state.counters["series"] = page->Chart()->series().size();
  state.counters["search_and_load_s"] = opened.count();
}
BENCHMARK(BM_HistoryPlotMillion)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace orti::bench
