#pragma once
// The history page's «Журнал изменений»: the changes made to instruments
// that a filter selects, oldest first, as rows of texts.

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "archive/archive_store.h"

namespace orti {

class ChangeTableModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // A new search; a null store finds nothing. Throws ArchiveError.
  void Start(const ArchiveStore* store, const ChangeFilter& filter);
  const std::vector<std::string>& Row(int row) const { return rows_.at(static_cast<size_t>(row)); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace orti
