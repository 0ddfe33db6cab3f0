#pragma once
// The by-folders and by-date views with their tool bars and popup menus.

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "app/icon_column_delegate.h"
#include "app/string_grid_model.h"
#include "model/string_grid.h"
#include "views/view_layout.h"

namespace orti {

class ViewPage final : public QWidget {
  Q_OBJECT
 public:
  // By folders: TabSheet2 with StringGrid1, ToolBar1 and PMByFolders;
  // by date: TabSheet3 with StringGrid2, ToolBar2 and PMByDateTime.
  ViewPage(ViewKind kind, StringGrid& grid, QWidget* parent = nullptr);

  void SetPopupItemsEnabled(bool enabled);
  // Toggle "S", toggle "P" and "Выполнить": nothing to act on while offline.
  void SetDataButtonsEnabled(bool enabled);

  const ViewKind Kind;
  QToolBar* ToolBar;
  // BtnSaveGrid1 / BtnSaveGrid2, BtnPrintGrid1 / BtnPrintGrid2 (pictures only),
  // BtnExecByFolders / BtnExecByDateTime.
  QToolButton* SaveGrid;
  QToolButton* PrintGrid;
  QPushButton* Exec;
  // RemPanel1 / RemPanel2: the reminder to write deletions into the instrument.
  QWidget* RemPanel;
  QTableView* Grid;
  StringGridModel* GridModel;
  QMenu* Popup;
  // PMBFSelAll / PMBDTSelAll and so on; the object names are the menus' own.
  QAction* SelAll;
  QAction* UnselAll;
  QAction* SaveToFile;
  QAction* Print;
  QAction* Remove;
  QAction* UnRemove;

 private:
  void BuildGrid(StringGrid& grid);
  void BuildPopup();
  void BuildToolBar();

  RowIconSet icons_;
};

}  // namespace orti
