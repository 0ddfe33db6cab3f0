// Extending an export kept for months: 2 500 rows, half of them already in a
// file of 100 000 lines. The file is read once, every row is one hash lookup,
// and the whole file is written anew and renamed into place.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_dialogs.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "quiet_services.h"
#include "views/export.h"
#include "views/view_layout.h"

namespace orti::bench {
namespace {

constexpr int kFileLines = 100000;
constexpr int kNewRows = 2500;

// Record n: a distinct date and time, values that vary.
std::vector<std::string> RecordFields(int n) {
  char date[32], t[16], ph[16];
  std::snprintf(date, sizeof date, "%02d.%02d.%04d %02d:%02d:%02d", 1 + n % 28, 1 + n / 28 % 12,
                2000 + n / 336 % 100, n / 3600 % 24, n / 60 % 60, n % 60);
  std::snprintf(t, sizeof t, "%d,%d", 20 + n % 10, n % 10);
  std::snprintf(ph, sizeof ph, "%d,%03d", 4 + n % 6, n % 1000);
  return {"Вода", "pH", date, t, "-120,0", ph, ph};
}

void BM_ExtendExportOfAHundredThousandLines(benchmark::State& state) {
  char folder[] = "/tmp/orti415-bench-XXXXXX";
  if (!mkdtemp(folder)) return state.SkipWithError("no temporary folder");
  const std::string path = std::string(folder) + "/months.csv";

  StringGrid view(kViewColumns, 1 + kNewRows, kViewFixedRows);
  PrepareViewGrid(ViewKind::kByFolders, view);
  std::vector<int> rows;
  std::string file = ExportHeader(view) + "\r\n";
  for (int n = 0; n < kFileLines; ++n) {
    std::string line;
    for (const std::string& field : RecordFields(n)) line += field + ";";
    file += line + "Петрова Анна Ивановна\r\n";
  }
  const std::string bytes = Utf8ToCp1251(file);
  for (int r = 1; r <= kNewRows; ++r) {
    const std::vector<std::string> fields = RecordFields(kFileLines - kNewRows / 2 + r);
    for (int k = 0; k < kChoiceColumns; ++k) view.SetCell(kFirstChoiceColumn + k, r, fields[k]);
    rows.push_back(r);
  }

  auto notepad = std::make_unique<NotepadModel>();
  ConsoleState console;
  StringGrid totalData;
  NoLink link;
  NoLog log;
  cli::CliDialogs dialogs(std::cerr, cli::ExistingFile::kExtend);
  cli::FixedFileChooser files(path);
  for (auto _ : state) {
    state.PauseTiming();
    ReplaceFile(path, bytes);
    state.ResumeTiming();
    ExportContext c{{*notepad, console, totalData, link, log, dialogs}, view, files};
    if (ExportRows(c, rows) != ExportOutcome::kWritten) state.SkipWithError("export failed");
  }
  std::string after;
  ReadWholeFile(path, after);
  state.counters["lines"] = static_cast<double>(kFileLines);
  state.counters["added"] = static_cast<double>(std::count(after.begin(), after.end(), '\n') -
                                                std::count(bytes.begin(), bytes.end(), '\n'));
  unlink(path.c_str());
  rmdir(folder);
}
BENCHMARK(BM_ExtendExportOfAHundredThousandLines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orti::bench
