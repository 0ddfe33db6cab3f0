#pragma once
// Selecting rows of a view the way the operator does, and reading back what
// the view has selected; rows are counted as in the grid (row 1 is the first
// record, the title row is row 0).

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace orti::test {

// Rows top..bottom selected, the cursor on `current`.
inline void SelectRows(QTableView* grid, int top, int bottom, int current) {
  QAbstractItemModel* model = grid->model();
  QItemSelectionModel* selection = grid->selectionModel();
  selection->setCurrentIndex(model->index(current - 1, 3), QItemSelectionModel::NoUpdate);
  selection->select(
      QItemSelection(model->index(top - 1, 0), model->index(bottom - 1, model->columnCount() - 1)),
      QItemSelectionModel::ClearAndSelect);
}

inline void SelectRow(QTableView* grid, int row) {
  SelectRows(grid, row, row, row);
}

inline std::vector<int> SelectedRows(QTableView* grid) {
  std::vector<int> rows;
  for (const QModelIndex& index : grid->selectionModel()->selectedRows()) {
    rows.push_back(index.row() + 1);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

inline int CursorRow(QTableView* grid) {
  return grid->selectionModel()->currentIndex().row() + 1;
}

}  // namespace orti::test
