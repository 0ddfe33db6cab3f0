#include "app/string_grid_model.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QStyleOptionViewItem>

namespace orti {

StringGridModel::StringGridModel(StringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
  grid_.SetChangedCallback([this] {
    beginResetModel();
    endResetModel();
  });
  // A reset would drop the view's selection and cursor; a mark set on the
  // selected rows must leave them where they are.
  grid_.SetCellChangedCallback([this](int col, int row) { CellChanged(col, row); });
}

void StringGridModel::CellChanged(int col, int row) {
  if (row < grid_.FixedRows()) {
    emit headerDataChanged(Qt::Horizontal, col, col);
    return;
  }
  // The whole row: the icon of column 0 is drawn from the mark of column 1.
  const int viewRow = row - grid_.FixedRows();
  emit dataChanged(index(viewRow, 0), index(viewRow, columnCount() - 1), {Qt::DisplayRole});
}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  int rows = grid_.RowCount() - grid_.FixedRows();
  return rows > 0 ? rows : 0;
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColCount();
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  return QString::fromStdString(grid_.Cell(index.column(), GridRow(index.row())));
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal && grid_.FixedRows() > 0) {
    return QString::fromStdString(grid_.Cell(section, 0));
  }
  return {};
}

QTableView* MakeTableView(QAbstractItemModel* model, const QString& objectName, QWidget* parent) {
  auto* view = new QTableView(parent);
  view->setObjectName(objectName);
  view->setModel(model);
  view->verticalHeader()->hide();
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->horizontalHeader()->setHighlightSections(false);
  return view;
}

QTableView* MakeGridView(StringGridModel* model, const QString& objectName, QWidget* parent) {
  QTableView* view = MakeTableView(model, objectName, parent);
  view->horizontalHeader()->setVisible(model->Grid().FixedRows() > 0);
  ApplyColumnWidths(view, model->Grid());
  QObject::connect(model, &QAbstractItemModel::modelReset, view,
                   [view, model] { ApplyColumnWidths(view, model->Grid()); });
  return view;
}

int FittingColumnWidth(const QTableView* view, const QString& text) {
  QStyleOptionViewItem option;
  option.initFrom(view);
  option.features |= QStyleOptionViewItem::HasDisplay;
  option.text = text;
  constexpr int kGridLine = 1;
  return view->itemDelegate()->sizeHint(option, QModelIndex()).width() + kGridLine;
}

void ApplyColumnWidths(QTableView* view, const StringGrid& grid) {
  for (int c = 0; c < grid.ColCount(); ++c) {
    int w = grid.ColWidth(c);
    view->setColumnHidden(c, w <= 0);
    if (w > 0) view->setColumnWidth(c, w);
  }
}

}  // namespace orti
