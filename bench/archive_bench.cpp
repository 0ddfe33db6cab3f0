// The archive's costs that the operator waits for: adding a full reading
// (2 500 records) after every reading, a filtered search over 100 000
// archived measurements, and the history page's plot of 10 000 points.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QChartView>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/history_page.h"
#include "archive/archive_keeper.h"
#include "archive/archive_store.h"
#include "archive/reading_measurements.h"
#include "device/console_services.h"
#include "folders/folder_compaction.h"
#include "model/console_state.h"
#include "platform/date_time.h"
#include "quiet_services.h"

namespace orti::bench {
namespace {

constexpr int kReadingRecords = kMaxFolders * kShownSlots;  // 2 500
constexpr int kArchivedMeasurements = 100000;
constexpr int kPlottedPoints = 10000;

// A scratch archive file, removed with its WAL companions.
class ScratchArchive {
 public:
  ScratchArchive()
      : path_((std::filesystem::temp_directory_path() /
               ("orti415-bench-" + std::to_string(getpid()) + ".sqlite"))
                  .string()) {}
  ~ScratchArchive() {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path_ + suffix).c_str());
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Every folder full, every record different from those of other
// generations: each generation is a reading of records never seen before.
std::unique_ptr<NotepadModel> FullReading(int generation) {
  auto model = std::make_unique<NotepadModel>();
  model->folderCount = kMaxFolders;
  const double start = EncodeDate(2025, 1, 1);
  for (int f = 0; f < kMaxFolders; ++f) {
    NotepadFolder& folder = model->folders[f];
    std::snprintf(folder.name, sizeof folder.name, "Folder %02d", f);
    folder.state = FolderState::kAsRead;
    folder.readInFull = true;
    for (int s = 0; s < kSlotsPerFolder; ++s) {
      NotepadRecord& r = folder.records[s];
      const int n = generation * kReadingRecords + f * kShownSlots + s;
      r.mode = s < kShownSlots ? kModePh : kModeEmpty;
      r.dateTime = start + n * (365.0 / kArchivedMeasurements);
      r.temperature = 20 + (n % 70) / 10.0f;
      r.emf = -200 + (n % 400);
      r.ph = 4 + (n % 600) / 100.0f;
      r.ph25 = r.ph + 0.01f;
      uint8_t* bytes = StoredSlotBytes(folder, s);
      bytes[0] = r.mode;
      std::memcpy(bytes + 1, &n, sizeof n);
    }
  }
  return model;
}

void BM_ArchiveAddNewReading(benchmark::State& state) {
  ScratchArchive scratch;
  ArchiveStore store(scratch.Path());
  int generation = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::vector<Measurement> reading =
        ReadingMeasurements(*FullReading(generation++), "Operator");
    state.ResumeTiming();
    benchmark::DoNotOptimize(store.AddReading(reading, generation));
  }
  state.counters["records"] = kReadingRecords;
}
BENCHMARK(BM_ArchiveAddNewReading)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ArchiveAddReadingAgain(benchmark::State& state) {
  ScratchArchive scratch;
  ArchiveStore store(scratch.Path());
  const std::vector<Measurement> reading = ReadingMeasurements(*FullReading(0), "Operator");
  store.AddReading(reading, 1);
  for (auto _ : state) benchmark::DoNotOptimize(store.AddReading(reading, 2));
  state.counters["records"] = kReadingRecords;
}
BENCHMARK(BM_ArchiveAddReadingAgain)->Unit(benchmark::kMillisecond);

// Forty full readings: 100 000 measurements over one year.
void FillArchive(ArchiveStore& store) {
  for (int g = 0; g < kArchivedMeasurements / kReadingRecords; ++g) {
    store.AddReading(ReadingMeasurements(*FullReading(g), "Operator"), g);
  }
}

void BM_ArchiveFilteredQuery(benchmark::State& state) {
  ScratchArchive scratch;
  ArchiveStore store(scratch.Path());
  FillArchive(store);
  ArchiveFilter filter;  // one month, one folder name pattern, one mode
  filter.from = EncodeDate(2025, 3, 1);
  filter.to = EncodeDate(2025, 3, 31);
  filter.folderContains = "Folder 1";
  filter.mode = kModePh;
  size_t rows = 0;
  for (auto _ : state) {
    rows = store.Query(filter).size();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["archived"] = store.Stats().measurements;
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ArchiveFilteredQuery)->Unit(benchmark::kMillisecond);

class NoDialogs final : public Dialogs {
 public:
  DialogAnswer Ask(const std::string&, const std::string&, DialogIcon, DialogButtons) override {
    return DialogAnswer::kOk;
  }
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

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

// The plot of 10 000 points built and drawn.
void BM_HistoryPlot(benchmark::State& state) {
  Application();
  ScratchArchive scratch;
  NoLog log;
  NoDialogs dialogs;
  NoFiles files;
  NoLink link;
  auto notepad = std::make_unique<NotepadModel>();
  ConsoleState console;
  StringGrid totalData;
  ArchiveKeeper keeper(scratch.Path(), log, [&dialogs]() -> Dialogs& { return dialogs; });
  for (int g = 0; g < kPlottedPoints / kReadingRecords; ++g) {
    keeper.Store()->AddReading(ReadingMeasurements(*FullReading(g), "Operator"), g);
  }
  HistoryPage page(
      {keeper,
       [&]() -> ConsoleServices { return {*notepad, console, totalData, link, log, dialogs}; },
       [&files]() -> FileChooser& { return files; }});
  page.resize(1200, 800);
  page.Refresh();
  int value = 0;
  for (auto _ : state) {
    page.ValueBox->setCurrentIndex(++value % 2);  // the series built anew
    const QPixmap drawn = page.ChartView->grab();
    benchmark::DoNotOptimize(drawn.width());
  }
  state.counters["points"] = static_cast<double>(page.Rows().size());
  state.counters["series"] = page.Chart()->series().size();
}
BENCHMARK(BM_HistoryPlot)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace orti::bench
