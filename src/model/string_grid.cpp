#include "model/string_grid.h"

namespace orti {

namespace {
constexpr int kDefaultColWidth = 64;
const std::string kEmpty;
}  // namespace

StringGrid::StringGrid(int columns, int rows, int fixedRows)
    : columns_(columns > 0 ? columns : 1),
      fixedRows_(fixedRows),
      cells_(static_cast<size_t>(rows > 0 ? rows : 0),
             std::vector<std::string>(static_cast<size_t>(columns_))),
      widths_(static_cast<size_t>(columns_), kDefaultColWidth) {}

void StringGrid::SetColCount(int columns) {
  if (columns < 1) columns = 1;
  columns_ = columns;
  for (auto& row : cells_) row.resize(static_cast<size_t>(columns));
  widths_.resize(static_cast<size_t>(columns), kDefaultColWidth);
  Changed();
}

void StringGrid::SetRowCount(int rows) {
  if (rows < 0) rows = 0;
  cells_.resize(static_cast<size_t>(rows), std::vector<std::string>(static_cast<size_t>(columns_)));
  Changed();
}

const std::string& StringGrid::Cell(int col, int row) const {
  if (row < 0 || row >= RowCount() || col < 0 || col >= columns_) return kEmpty;
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void StringGrid::SetCell(int col, int row, std::string text) {
  if (row < 0 || row >= RowCount() || col < 0 || col >= columns_) return;
  cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = std::move(text);
  if (updating_ == 0 && cellChanged_) {
    cellChanged_(col, row);
  } else {
    Changed();
  }
}

int StringGrid::ColWidth(int col) const {
  return col >= 0 && col < columns_ ? widths_[static_cast<size_t>(col)] : 0;
}

void StringGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= columns_) return;
  widths_[static_cast<size_t>(col)] = width;
  Changed();
}

void StringGrid::EndUpdate() {
  if (updating_ == 0) return;
  if (--updating_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    Changed();
  }
}

}  // namespace orti
