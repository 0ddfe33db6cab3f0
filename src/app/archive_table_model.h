#pragma once
// The history page's table: a search of the archive shown page by page, the
// next page fetched when the view scrolls to the last row fetched.

#include <QAbstractTableModel>

#include "archive/archive_pages.h"
#include "model/string_grid.h"

namespace orti {

class ArchiveTableModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  ArchiveTableModel(const std::string& decimalSeparator, QObject* parent = nullptr);

  // A new search; its first page is fetched at once.
  void Start(const ArchiveStore* store, const ArchiveFilter& filter);
  const StringGrid& Grid() const { return grid_; }
  ArchivePages& Pages() { return pages_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 private:
  StringGrid grid_;
  ArchivePages pages_;
};

}  // namespace orti
