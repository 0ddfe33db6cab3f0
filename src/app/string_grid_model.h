#pragma once
// Shows a StringGrid in a QTableView: fixed rows become the header, the other
// rows the table. The grid stays the one place that holds the texts.

#include <QAbstractTableModel>
#include <QTableView>

#include "model/string_grid.h"

namespace orti {

class StringGridModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit StringGridModel(StringGrid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Row of the grid (fixed rows included) for a row of the table view.
  int GridRow(int viewRow) const { return viewRow + grid_.FixedRows(); }
  StringGrid& Grid() { return grid_; }

 private:
  void CellChanged(int col, int row);

  StringGrid& grid_;
};

// A table view over any model, styled like the console's grids.
QTableView* MakeTableView(QAbstractItemModel* model, const QString& objectName, QWidget* parent);
// A table view over `model`, styled like the console's grids; column widths
// follow the grid (width 0 hides a column).
QTableView* MakeGridView(StringGridModel* model, const QString& objectName, QWidget* parent);
void ApplyColumnWidths(QTableView* view, const StringGrid& grid);
// The width a cell of `view` needs to show `text` whole, measured in its font.
int FittingColumnWidth(const QTableView* view, const QString& text);

}  // namespace orti
