#include "app/view_pages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "app/glyphs.h"

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
  const char* saveGrid;
  const char* printGrid;
  const char* exec;
  const char* remPanel;
  const char* remImage;
  const char* remLabel;
};

constexpr PageNames kByFoldersNames = {
    "TabSheet2",     "StringGrid1",      "ToolBar1",  "PMByFolders", "PMBFSelAll",   "PMBFUnselAll",
    "PMBFToFile",    "PMBFDelete",       "N6",        "PMBFRemove",  "PMBFUnRemove", "BtnSaveGrid1",
    "BtnPrintGrid1", "BtnExecByFolders", "RemPanel1", "Image6",      "RemLabel1"};
constexpr PageNames kByDateNames = {"TabSheet3",      "StringGrid2",       "ToolBar2",
                                    "PMByDateTime",   "PMBDTSelAll",       "PMBDTUnselAll",
                                    "PMBDTSave2File", "PMBDTPrint",        "N3",
                                    "PMBDTRemove",    "PMBDTUnRemove",     "BtnSaveGrid2",
                                    "BtnPrintGrid2",  "BtnExecByDateTime", "RemPanel2",
                                    "Image1",         "RemLabel2"};

constexpr const char* kRemWarning = "После удаления данных необходимо произвести запись в прибор.";

const PageNames& NamesOf(ViewKind kind) {
  return kind == ViewKind::kByFolders ? kByFoldersNames : kByDateNames;
}

}  // namespace

ViewPage::ViewPage(ViewKind kind, StringGrid& grid, QWidget* parent) : QWidget(parent), Kind(kind) {
  const PageNames& names = NamesOf(kind);
  setObjectName(names.sheet);
  ToolBar = new QToolBar(this);
  ToolBar->setObjectName(names.toolBar);
  ToolBar->setMovable(false);
  BuildToolBar();
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

void ViewPage::BuildToolBar() {
  const PageNames& names = NamesOf(Kind);
  auto pictureButton = [this](const char* name, Glyph glyph) {
    auto* button = new QToolButton(ToolBar);
    button->setObjectName(name);
    button->setIcon(MakeGlyph(glyph, 22));
    button->setIconSize(QSize(22, 22));
    button->setAutoRaise(true);
    ToolBar->addWidget(button);
    return button;
  };
  SaveGrid = pictureButton(names.saveGrid, Glyph::kSave);
  PrintGrid = pictureButton(names.printGrid, Glyph::kPrint);
  ToolBar->addSeparator();
  Exec = new QPushButton("Выполнить", ToolBar);
  Exec->setObjectName(names.exec);
  ToolBar->addWidget(Exec);
  ToolBar->addSeparator();

  // The tool bar shows and hides its widgets through their actions; the
  // panel lives in a holder that always stays, so plain show and hide work.
  auto* holder = new QWidget(ToolBar);
  auto* holderLayout = new QHBoxLayout(holder);
  holderLayout->setContentsMargins(0, 0, 0, 0);
  RemPanel = new QWidget(holder);
  RemPanel->setObjectName(names.remPanel);
  holderLayout->addWidget(RemPanel);
  auto* image = new QLabel(RemPanel);
  image->setObjectName(names.remImage);
  image->setPixmap(MakeGlyph(Glyph::kWarning, 20).pixmap(20, 20));
  auto* label = new QLabel(kRemWarning, RemPanel);
  label->setObjectName(names.remLabel);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  // A palette set here does not survive the tool bar's styling; a style sheet does.
  label->setStyleSheet("color: red;");
  auto* row = new QHBoxLayout(RemPanel);
  row->setContentsMargins(6, 0, 6, 0);
  row->addWidget(image);
  row->addWidget(label);
  RemPanel->hide();
  ToolBar->addWidget(holder);
}

void ViewPage::SetDataButtonsEnabled(bool enabled) {
  for (QWidget* w : {static_cast<QWidget*>(SaveGrid), static_cast<QWidget*>(PrintGrid),
                     static_cast<QWidget*>(Exec)}) {
    w->setEnabled(enabled);
  }
}

void ViewPage::BuildPopup() {
  const PageNames& names = NamesOf(Kind);
  Popup = new QMenu(this);
  Popup->setObjectName(names.popup);
  // Each item also answers its key while the grid has the focus; the menu shows the key.
  auto item = [this](const char* name, const char* caption, const QKeySequence& key) {
    QAction* action = Popup->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    Grid->addAction(action);
    return action;
  };
  SelAll = item(names.selAll, "Выбрать все", QKeySequence::SelectAll);
  UnselAll = item(names.unselAll, "Сбросить отметку", Qt::Key_Escape);
  SaveToFile = item(names.saveToFile, "Сохранить в файл", Qt::CTRL | Qt::Key_S);
  Print = item(names.print, "Напечатать", Qt::CTRL | Qt::Key_P);
  Popup->addSeparator()->setObjectName(names.separator);
  Remove = item(names.remove, "Отметить для удаления", Qt::Key_Delete);
  UnRemove = item(names.unRemove, "Сбросить отметку для удаления", Qt::Key_Insert);
  // The pictures of the tool bar and of the icon column, where they mean the same.
  SelAll->setIcon(MakeGlyph(Glyph::kSelectAll, 16));
  UnselAll->setIcon(MakeGlyph(Glyph::kUnmark, 16));
  SaveToFile->setIcon(MakeGlyph(Glyph::kSave, 16));
  Print->setIcon(MakeGlyph(Glyph::kPrint, 16));
  Remove->setIcon(QIcon(icons_.Get(RowIcon::kDelete)));
  UnRemove->setIcon(MakeGlyph(Glyph::kUnmark, 16));
  SetPopupItemsEnabled(false);  // no records yet
}

void ViewPage::SetPopupItemsEnabled(bool enabled) {
  for (QAction* action : Popup->actions()) action->setEnabled(enabled);
}

}  // namespace orti
