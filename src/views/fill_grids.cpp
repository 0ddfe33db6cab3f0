#include "views/fill_grids.h"

#include <cstdlib>
#include <map>
#include <utility>

#include "views/record_text.h"
#include "views/shown_records.h"
#include "views/view_layout.h"

namespace orti {
namespace {

using RecordKey = std::pair<int, int>;  // folder, slot

bool ReadNumber(const std::string& text, int& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || n < 0 || n > 1000000) return false;
  value = static_cast<int>(n);
  return true;
}

std::map<RecordKey, std::string> TakeMarks(const StringGrid& grid) {
  std::map<RecordKey, std::string> marks;
  for (int row = kViewFixedRows; row < grid.RowCount(); ++row) {
    int folder = 0, record = 0;
    const std::string& mark = grid.Cell(kMarkColumn, row);
    if (!mark.empty() && RowRecord(grid, row, folder, record)) marks[{folder, record}] = mark;
  }
  return marks;
}

// Leaves the title row and one empty row 1.
void ClearRows(StringGrid& grid) {
  if (grid.ColCount() < kViewColumns) grid.SetColCount(kViewColumns);
  grid.SetRowCount(kViewFixedRows + 1);
  for (int col = 0; col < grid.ColCount(); ++col) grid.SetCell(col, kViewFixedRows, "");
}

void AppendRow(ViewKind kind, StringGrid& grid, int folder, int record, const RecordTexts& t,
               const std::map<RecordKey, std::string>& marks) {
  const int row = grid.RowCount() - 1;  // the empty row at the end
  grid.SetCell(kFolderNumberColumn, row, std::to_string(folder));
  grid.SetCell(kRecordNumberColumn, row, std::to_string(record));
  WriteRecordCells(kind, grid, row, t);
  auto mark = marks.find({folder, record});
  if (mark != marks.end()) grid.SetCell(kMarkColumn, row, mark->second);
  grid.SetRowCount(grid.RowCount() + 1);
}

// Removes the empty row after the last record, unless it is row 1.
void DropTrailingRow(StringGrid& grid) {
  if (grid.RowCount() > kViewFixedRows + 1) grid.SetRowCount(grid.RowCount() - 1);
}

void AppendShown(ViewKind kind, const NotepadModel& model, StringGrid& grid, int folder, int record,
                 const std::string& separator, const std::map<RecordKey, std::string>& marks) {
  if (!IsShownRecord(model, folder, record)) return;
  const NotepadFolder& f = model.folders[folder];
  AppendRow(kind, grid, folder, record, MakeRecordTexts(f, f.records[record], separator), marks);
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

bool RowRecord(const StringGrid& grid, int row, int& folder, int& record) {
  if (row < grid.FixedRows()) return false;
  return ReadNumber(grid.Cell(kFolderNumberColumn, row), folder) &&
         ReadNumber(grid.Cell(kRecordNumberColumn, row), record);
}

void FillGrids(const NotepadModel& model, StringGrid& byFolders, StringGrid& byDate,
               const std::string& decimalSeparator) {
  GridUpdate foldersUpdate(byFolders);
  GridUpdate dateUpdate(byDate);
  const auto folderMarks = TakeMarks(byFolders);
  const auto dateMarks = TakeMarks(byDate);
  ClearRows(byFolders);
  ClearRows(byDate);

  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    for (int r = 0; r < kShownSlots; ++r) {
      AppendShown(ViewKind::kByFolders, model, byFolders, f, r, decimalSeparator, folderMarks);
    }
  }
  DropTrailingRow(byFolders);

  const ByDateIndex& index = model.byDate;
  for (int i = 0; i < kByDateCapacity && index.folder[i] >= 0; ++i) {
    AppendShown(ViewKind::kByDate, model, byDate, index.folder[i], index.record[i],
                decimalSeparator, dateMarks);
  }
  DropTrailingRow(byDate);
}

}  // namespace orti
