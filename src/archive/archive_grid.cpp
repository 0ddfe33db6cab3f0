#include "archive/archive_grid.h"

#include <algorithm>
#include <string>

#include "platform/date_time.h"
#include "views/fill_grids.h"

namespace orti {

void PrepareArchiveGrid(StringGrid& grid) {
  grid.SetColCount(kArchiveColumns);
  PrepareViewGrid(ViewKind::kByDate, grid);
  grid.SetCell(kFirstReadColumn, 0, "Прочитано");
  grid.SetCell(kReadByColumn, 0, "Оператор");
  grid.SetCell(kInstrumentColumn, 0, "Прибор");
  grid.SetCell(kRemovedByColumn, 0, "Удалил из прибора");
  grid.SetCell(kRemovedAtColumn, 0, "Удалено");
  grid.SetRowCount(kViewFixedRows);
}

void WriteArchiveRow(StringGrid& grid, int row, const Measurement& m,
                     const std::string& decimalSeparator) {
  if (grid.RowCount() <= row) grid.SetRowCount(row + 1);
  const RecordValues values{m.mode, m.taken, m.temperature, m.emf, m.ph, m.ph25};
  WriteRecordCells(ViewKind::kByDate, grid, row,
                   MakeRecordTexts(m.folderName, values, decimalSeparator));
  grid.SetCell(kFirstReadColumn, row, FormatDateTime(m.firstRead));
  grid.SetCell(kReadByColumn, row, m.operatorName);
  grid.SetCell(kInstrumentColumn, row, m.instrument);
  grid.SetCell(kRemovedByColumn, row, m.removedBy);
  grid.SetCell(kRemovedAtColumn, row, m.removedAt ? FormatDateTime(*m.removedAt) : "");
}

void FillArchiveGrid(const std::vector<Measurement>& measurements, StringGrid& grid,
                     const std::string& decimalSeparator) {
  GridUpdate update(grid);
  PrepareArchiveGrid(grid);  // new rows come empty
  grid.SetRowCount(kViewFixedRows + std::max<int>(1, static_cast<int>(measurements.size())));
  int row = kViewFixedRows;
  for (const Measurement& m : measurements) WriteArchiveRow(grid, row++, m, decimalSeparator);
}

}  // namespace orti
