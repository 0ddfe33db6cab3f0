#pragma once
// The by-folders and by-date views with their tool bars.

#include <QTableView>
#include <QWidget>

namespace orti {

class ViewPage final : public QWidget {
  Q_OBJECT
 public:
  // `sheetName` "TabSheet2" holds StringGrid1, "TabSheet3" StringGrid2.
  ViewPage(const QString& sheetName, const QString& gridName, QWidget* parent = nullptr);

  QTableView* Grid;
};

}  // namespace orti
