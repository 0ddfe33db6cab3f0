#include "app/column_choice.h"

#include <QVBoxLayout>

namespace orti {
namespace {

QListWidget* MakeList(const char* name, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(name);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  return list;
}

void FillList(QListWidget* list, const std::vector<std::string>& titles) {
  // Filling is not a click of the operator.
  const bool blocked = list->blockSignals(true);
  list->clear();
  for (const auto& title : titles) {
    auto* item = new QListWidgetItem(QString::fromStdString(title), list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
  }
  list->blockSignals(blocked);
}

}  // namespace

ColumnChoice::ColumnChoice(QWidget* parent) : QWidget(parent) {
  setObjectName("ColumnChoice");
  PageControl3 = new QTabWidget(this);
  PageControl3->setObjectName("PageControl3");
  CLBoxFolders = MakeList("CLBoxFolders", PageControl3);
  CLBoxDate = MakeList("CLBoxDate", PageControl3);
  PageControl3->addTab(CLBoxFolders, "По папкам");
  PageControl3->addTab(CLBoxDate, "По датам");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(PageControl3);

  connect(CLBoxFolders, &QListWidget::itemClicked, this, &ColumnChoice::FoldersClicked);
  connect(CLBoxFolders, &QListWidget::itemChanged, this, &ColumnChoice::FoldersClicked);
  connect(CLBoxDate, &QListWidget::itemClicked, this, &ColumnChoice::DateClicked);
  connect(CLBoxDate, &QListWidget::itemChanged, this, &ColumnChoice::DateClicked);
}

void ColumnChoice::Fill(const std::vector<std::string>& folderTitles,
                        const std::vector<std::string>& dateTitles) {
  FillList(CLBoxFolders, folderTitles);
  FillList(CLBoxDate, dateTitles);
}

std::vector<bool> ColumnChoice::Ticks(const QListWidget* list) {
  std::vector<bool> ticks;
  for (int i = 0; i < list->count(); ++i)
    ticks.push_back(list->item(i)->checkState() == Qt::Checked);
  return ticks;
}

}  // namespace orti
