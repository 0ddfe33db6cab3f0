#include "app/view_pages.h"

#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

namespace orti {
namespace {

struct PageNames {
  const char* sheet;
  const char* grid;
  const char* toolBar;
  const char* popup;
  const char* selAll;
  const char* unselAll;
  const char* saveToFile;
  const char* print;
  const char* separator;
  const char* remove;
  const char* unRemove;
};

constexpr PageNames kByFoldersNames = {"TabSheet2",  "StringGrid1",  "ToolBar1",    "PMByFolders",
                                       "PMBFSelAll", "PMBFUnselAll", "PMBFToFile",  "PMBFDelete",
                                       "N6",         "PMBFRemove",   "PMBFUnRemove"};
constexpr PageNames kByDateNames = {
    "TabSheet3",      "StringGrid2", "ToolBar2", "PMByDateTime", "PMBDTSelAll",  "PMBDTUnselAll",
    "PMBDTSave2File", "PMBDTPrint",  "N3",       "PMBDTRemove",  "PMBDTUnRemove"};

const PageNames& NamesOf(ViewKind kind) {
  return kind == ViewKind::kByFolders ? kByFoldersNames : kByDateNames;
}

}  // namespace

ViewPage::ViewPage(ViewKind kind, StringGrid& grid, QWidget* parent) : QWidget(parent), Kind(kind) {
  const PageNames& names = NamesOf(kind);
  setObjectName(names.sheet);
  // The mark commands and "Выполнить" take their places here.
  ToolBar = new QToolBar(this);
  ToolBar->setObjectName(names.toolBar);
  ToolBar->setMovable(false);
  BuildGrid(grid);
  BuildPopup();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ToolBar);
  layout->addWidget(Grid, 1);
}

void ViewPage::BuildGrid(StringGrid& grid) {
  GridModel = new StringGridModel(grid, this);
  Grid = MakeGridView(GridModel, NamesOf(Kind).grid, this);
  Grid->setHorizontalHeader(new IconColumnHeader(icons_, Grid));
  Grid->horizontalHeader()->setVisible(true);
  ApplyColumnWidths(Grid, grid);
  Grid->setItemDelegateForColumn(kIconColumn, new IconColumnDelegate(icons_, Grid));
  Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  Grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  Grid->setWordWrap(false);
  QHeaderView* rows = Grid->verticalHeader();
  rows->setDefaultSectionSize(std::max(rows->defaultSectionSize(), kRowIconSize + 2));
  QPalette pal = Grid->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
  pal.setColor(QPalette::Text, pal.color(QPalette::ToolTipText));
  Grid->setPalette(pal);
  Grid->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Grid, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { Popup->popup(Grid->viewport()->mapToGlobal(pos)); });
}

void ViewPage::BuildPopup() {
  const PageNames& names = NamesOf(Kind);
  Popup = new QMenu(this);
  Popup->setObjectName(names.popup);
  auto item = [this](const char* name, const char* caption) {
    QAction* action = Popup->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
    return action;
  };
  SelAll = item(names.selAll, "Выбрать все");
  UnselAll = item(names.unselAll, "Сбросить отметку");
  SaveToFile = item(names.saveToFile, "Сохранить в файл");
  Print = item(names.print, "Напечатать");
  Popup->addSeparator()->setObjectName(names.separator);
  Remove = item(names.remove, "Отметить для удаления");
  UnRemove = item(names.unRemove, "Сбросить отметку для удаления");
}

void ViewPage::SetPopupItemsEnabled(bool enabled) {
  for (QAction* action : Popup->actions()) action->setEnabled(enabled);
}

}  // namespace orti
