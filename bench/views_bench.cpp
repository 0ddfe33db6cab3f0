// The rebuild of both views after a reading or a synchronisation: the by-date
// index sorted, then every row of both grids written.

#include <benchmark/benchmark.h>

#include "full_notepad.h"
#include "views/by_date_sort.h"
#include "views/fill_grids.h"
#include "views/view_layout.h"

namespace orti::bench {
namespace {

struct Views {
  std::unique_ptr<NotepadModel> model = MakeFullNotepad();
  ByDateIndex unsorted = model->byDate;  // in reading order
  StringGrid byFolders{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  StringGrid byDate{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  Views() {
    PrepareViewGrid(ViewKind::kByFolders, byFolders);
    PrepareViewGrid(ViewKind::kByDate, byDate);
  }
};

void BM_SortByDateIndex(benchmark::State& state) {
  Views v;
  for (auto _ : state) {
    v.model->byDate = v.unsorted;
    SortByDateIndex(v.model->byDate);
    benchmark::DoNotOptimize(v.model->byDate.folder[0]);
  }
  state.counters["records"] = v.unsorted.Count();
}
BENCHMARK(BM_SortByDateIndex)->Unit(benchmark::kMicrosecond);

void BM_FillGrids(benchmark::State& state) {
  Views v;
  SortByDateIndex(v.model->byDate);
  for (auto _ : state) {
    FillGrids(*v.model, v.byFolders, v.byDate, ",");
    benchmark::DoNotOptimize(v.byDate.RowCount());
  }
  state.counters["rows"] = v.byDate.RowCount() - 1;
}
BENCHMARK(BM_FillGrids)->Unit(benchmark::kMicrosecond);

void BM_SortAndFillGrids(benchmark::State& state) {
  Views v;
  for (auto _ : state) {
    v.model->byDate = v.unsorted;
    SortByDateIndex(v.model->byDate);
    FillGrids(*v.model, v.byFolders, v.byDate, ",");
    benchmark::DoNotOptimize(v.byFolders.RowCount());
  }
  state.counters["rows"] = v.byFolders.RowCount() - 1;
}
BENCHMARK(BM_SortAndFillGrids)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orti::bench
