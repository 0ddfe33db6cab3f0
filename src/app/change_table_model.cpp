#include "app/change_table_model.h"

#include "archive/change_rows.h"

namespace orti {

void ChangeTableModel::Start(const ArchiveStore* store, const ChangeFilter& filter) {
  std::vector<std::vector<std::string>> rows;
  if (store) {
    store->ScanChanges(filter, [&](const InstrumentChange& c) {
      rows.push_back(ChangeRowTexts(c));
      return true;
    });
  }
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int ChangeTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ChangeTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kChangeColumns;
}

QVariant ChangeTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  return QString::fromStdString(Row(index.row()).at(static_cast<size_t>(index.column())));
}

QVariant ChangeTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= kChangeColumns) {
    return {};
  }
  return QString::fromUtf8(kChangeColumnTitles[section]);
}

}  // namespace orti
