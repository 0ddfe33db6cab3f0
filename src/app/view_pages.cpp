#include "app/view_pages.h"

#include <QVBoxLayout>

namespace orti {

ViewPage::ViewPage(const QString& sheetName, const QString& gridName, QWidget* parent)
    : QWidget(parent) {
  setObjectName(sheetName);
  Grid = new QTableView(this);
  Grid->setObjectName(gridName);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Grid);
}

}  // namespace orti
