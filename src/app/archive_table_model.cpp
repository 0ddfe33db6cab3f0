#include "app/archive_table_model.h"

namespace orti {

ArchiveTableModel::ArchiveTableModel(const std::string& decimalSeparator, QObject* parent)
    : QAbstractTableModel(parent), pages_(grid_, decimalSeparator) {}

void ArchiveTableModel::Start(const ArchiveStore* store, const ArchiveFilter& filter) {
  beginResetModel();
  pages_.Start(store, filter);
  pages_.Append(pages_.Next());
  endResetModel();
}

int ArchiveTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : pages_.Rows();
}

int ArchiveTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColCount();
}

QVariant ArchiveTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  return QString::fromStdString(grid_.Cell(index.column(), grid_.FixedRows() + index.row()));
}

QVariant ArchiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return QString::fromStdString(grid_.Cell(section, 0));
}

bool ArchiveTableModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && !pages_.AtEnd();
}

void ArchiveTableModel::fetchMore(const QModelIndex& parent) {
  if (parent.isValid()) return;
  const std::vector<Measurement> page = pages_.Next();
  if (page.empty()) return;
  const int first = pages_.Rows();
  beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
  pages_.Append(page);
  endInsertRows();
}

}  // namespace orti
