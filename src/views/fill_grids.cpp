#include "views/fill_grids.h"

#include <algorithm>
#include <vector>

#include "views/marks.h"
#include "views/record_text.h"
#include "views/shown_records.h"
#include "views/view_layout.h"

namespace orti {
namespace {

// Leaves the title row and one empty row 1.
void ClearRows(StringGrid& grid) {
  if (grid.ColCount() < kViewColumns) grid.SetColCount(kViewColumns);
  grid.SetRowCount(kViewFixedRows + 1);
  for (int col = 0; col < grid.ColCount(); ++col) grid.SetCell(col, kViewFixedRows, "");
}

void FillView(ViewKind kind, NotepadModel& model, StringGrid& grid, const std::string& separator) {
  const std::vector<RecordRef> records = ViewRecords(model, kind);
  KeepMarksOfShownRecords(model, kind, records);
  ClearRows(grid);
  grid.SetRowCount(kViewFixedRows + std::max(1, static_cast<int>(records.size())));
  int row = kViewFixedRows;
  for (const RecordRef& ref : records) {
    const NotepadFolder& folder = model.folders[ref.folder];
    const NotepadRecord& record = folder.records[ref.record];
    WriteRecordCells(kind, grid, row, MakeRecordTexts(folder, record, separator));
    ShowMark(grid, row, record, kind);
    ++row;
  }
}

}  // namespace

void WriteRecordCells(ViewKind kind, StringGrid& grid, int row, const RecordTexts& t) {
  if (kind == ViewKind::kByFolders) {
    grid.SetCell(3, row, t.folderName);
    grid.SetCell(4, row, t.mode);
    grid.SetCell(5, row, t.dateTime);
  } else {
    grid.SetCell(3, row, t.dateTime);
    grid.SetCell(4, row, t.folderName);
    grid.SetCell(5, row, t.mode);
  }
  grid.SetCell(6, row, t.temperature);
  grid.SetCell(7, row, t.emf);
  grid.SetCell(8, row, t.ph);
  grid.SetCell(9, row, t.ph25);
}

void FillGrids(NotepadModel& model, StringGrid& byFolders, StringGrid& byDate,
               const std::string& decimalSeparator) {
  GridUpdate foldersUpdate(byFolders);
  GridUpdate dateUpdate(byDate);
  FillView(ViewKind::kByFolders, model, byFolders, decimalSeparator);
  FillView(ViewKind::kByDate, model, byDate, decimalSeparator);
}

}  // namespace orti
