#pragma once
// A plain grid of texts with fixed rows and column widths: what the console's
// logic fills and reads; the windows only display it.

#include <functional>
#include <string>
#include <vector>

namespace orti {

class StringGrid {
 public:
  StringGrid(int columns = 1, int rows = 1, int fixedRows = 1);

  int ColCount() const { return columns_; }
  int RowCount() const { return static_cast<int>(cells_.size()); }
  int FixedRows() const { return fixedRows_; }

  void SetColCount(int columns);
  // New rows are empty; removed rows are gone.
  void SetRowCount(int rows);
  void SetFixedRows(int fixedRows) { fixedRows_ = fixedRows; }

  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

  int ColWidth(int col) const;
  void SetColWidth(int col, int width);

  // Called after every change, so that a window showing the grid can refresh.
  void SetChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }
  // When set, a change of one cell outside an update is announced here
  // instead, so that a window can refresh that cell and keep its selection.
  void SetCellChangedCallback(std::function<void(int col, int row)> callback) {
    cellChanged_ = std::move(callback);
  }

  // Between BeginUpdate and the matching EndUpdate changes are not announced
  // one by one; EndUpdate announces them once, so that a rebuild of a thousand
  // rows refreshes the window once.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

 private:
  void Changed() {
    if (updating_ > 0) {
      changedWhileUpdating_ = true;
    } else if (changed_) {
      changed_();
    }
  }

  int columns_;
  int fixedRows_;
  std::vector<std::vector<std::string>> cells_;  // [row][col]
  std::vector<int> widths_;
  std::function<void()> changed_;
  std::function<void(int col, int row)> cellChanged_;
  int updating_ = 0;
  bool changedWhileUpdating_ = false;
};

// BeginUpdate for the lifetime of a scope.
class GridUpdate {
 public:
  explicit GridUpdate(StringGrid& grid) : grid_(grid) { grid_.BeginUpdate(); }
  ~GridUpdate() { grid_.EndUpdate(); }
  GridUpdate(const GridUpdate&) = delete;
  GridUpdate& operator=(const GridUpdate&) = delete;

 private:
  StringGrid& grid_;
};

}  // namespace orti
