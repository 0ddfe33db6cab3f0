// The main window's row marks and "Выполнить" on the two views: the handlers
// take the rows from the widgets and leave the rest to views/marks.h,
// views/export.h, the printed report and the synchronisation.

#include <QItemSelectionModel>
#include <algorithm>

#include "app/folders_page.h"
#include "app/main_window.h"
#include "app/report_printer.h"
#include "app/view_pages.h"
#include "folders/journal.h"
#include "platform/date_time.h"
#include "views/export.h"

namespace orti {

void TForm1::ConnectMarkCommands() {
  connect(BtnSaveGrid1, &QToolButton::clicked, this, &TForm1::BtnSaveGrid1Click);
  connect(BtnPrintGrid1, &QToolButton::clicked, this, &TForm1::BtnPrintGrid1Click);
  connect(BtnExecByFolders, &QPushButton::clicked, this, &TForm1::BtnExecByFoldersClick);
  connect(TabSheet2->SelAll, &QAction::triggered, this, &TForm1::PMBFSelAllClick);
  connect(TabSheet2->UnselAll, &QAction::triggered, this, &TForm1::PMBFUnselAllClick);
  connect(TabSheet2->SaveToFile, &QAction::triggered, this, &TForm1::PMBFToFileClick);
  connect(TabSheet2->Print, &QAction::triggered, this, &TForm1::PMBFDeleteClick);
  connect(TabSheet2->Remove, &QAction::triggered, this, &TForm1::PMBFRemoveClick);
  connect(TabSheet2->UnRemove, &QAction::triggered, this, &TForm1::PMBFUnRemoveClick);

  connect(BtnSaveGrid2, &QToolButton::clicked, this, &TForm1::BtnSaveGrid2Click);
  connect(BtnPrintGrid2, &QToolButton::clicked, this, &TForm1::BtnPrintGrid2Click);
  connect(BtnExecByDateTime, &QPushButton::clicked, this, &TForm1::BtnExecByDateTimeClick);
  connect(TabSheet3->SelAll, &QAction::triggered, this, &TForm1::PMBDTSelAllClick);
  connect(TabSheet3->UnselAll, &QAction::triggered, this, &TForm1::PMBDTUnselAllClick);
  connect(TabSheet3->SaveToFile, &QAction::triggered, this, &TForm1::PMBDTSave2FileClick);
  connect(TabSheet3->Print, &QAction::triggered, this, &TForm1::PMBDTPrintClick);
  connect(TabSheet3->Remove, &QAction::triggered, this, &TForm1::PMBDTRemoveClick);
  connect(TabSheet3->UnRemove, &QAction::triggered, this, &TForm1::PMBDTUnRemoveClick);
}

// --- handlers ---------------------------------------------------------------

void TForm1::BtnSaveGrid1Click() {
  ToggleViewMark(ViewKind::kByFolders, ViewMark::kSave);
}
void TForm1::BtnPrintGrid1Click() {
  ToggleViewMark(ViewKind::kByFolders, ViewMark::kPrint);
}
void TForm1::BtnExecByFoldersClick() {
  Execute(ViewKind::kByFolders);
}
void TForm1::PMBFSelAllClick() {
  SelectAllRows(ViewKind::kByFolders);
}
void TForm1::PMBFUnselAllClick() {
  ResetViewMarks(ViewKind::kByFolders);
}
void TForm1::PMBFToFileClick() {
  BtnSaveGrid1Click();
  BtnExecByFoldersClick();
}
void TForm1::PMBFDeleteClick() {
  BtnPrintGrid1Click();
  BtnExecByFoldersClick();
}
void TForm1::PMBFRemoveClick() {
  MarkCurrentRow(ViewKind::kByFolders, true);
}
void TForm1::PMBFUnRemoveClick() {
  MarkCurrentRow(ViewKind::kByFolders, false);
}

void TForm1::BtnSaveGrid2Click() {
  ToggleViewMark(ViewKind::kByDate, ViewMark::kSave);
}
void TForm1::BtnPrintGrid2Click() {
  ToggleViewMark(ViewKind::kByDate, ViewMark::kPrint);
}
void TForm1::BtnExecByDateTimeClick() {
  Execute(ViewKind::kByDate);
}
void TForm1::PMBDTSelAllClick() {
  SelectAllRows(ViewKind::kByDate);
}
void TForm1::PMBDTUnselAllClick() {
  ResetViewMarks(ViewKind::kByDate);
}
void TForm1::PMBDTSave2FileClick() {
  BtnSaveGrid2Click();
  BtnExecByDateTimeClick();
}
void TForm1::PMBDTPrintClick() {
  BtnPrintGrid2Click();
  BtnExecByDateTimeClick();
}
void TForm1::PMBDTRemoveClick() {
  MarkCurrentRow(ViewKind::kByDate, true);
}
void TForm1::PMBDTUnRemoveClick() {
  MarkCurrentRow(ViewKind::kByDate, false);
}

// --- one view's commands ----------------------------------------------------

ViewPage* TForm1::PageOf(ViewKind view) const {
  return view == ViewKind::kByFolders ? TabSheet2 : TabSheet3;
}

StringGrid& TForm1::GridOf(ViewKind view) {
  return view == ViewKind::kByFolders ? byFoldersGrid_ : byDateGrid_;
}

RowSelection TForm1::SelectionOf(ViewKind view) const {
  const ViewPage* page = PageOf(view);
  const QItemSelectionModel* selection = page->Grid->selectionModel();
  RowSelection rows;
  const QModelIndex current = selection->currentIndex();
  // Without a cursor the grid's own stands on its first row.
  rows.current = page->GridModel->GridRow(current.isValid() ? current.row() : 0);
  rows.top = rows.bottom = rows.current;
  bool any = false;
  for (const QItemSelectionRange& range : selection->selection()) {
    const int top = page->GridModel->GridRow(range.top());
    const int bottom = page->GridModel->GridRow(range.bottom());
    rows.top = any ? std::min(rows.top, top) : top;
    rows.bottom = any ? std::max(rows.bottom, bottom) : bottom;
    any = true;
  }
  return rows;
}

void TForm1::ToggleViewMark(ViewKind view, ViewMark mark) {
  if (state_.link.busy) return;
  ToggleMark(*model_, view, GridOf(view), SelectionOf(view), mark);
}

void TForm1::SelectAllRows(ViewKind view) {
  if (state_.link.busy) return;
  PageOf(view)->Grid->selectAll();
}

void TForm1::ResetViewMarks(ViewKind view) {
  if (state_.link.busy) return;
  ResetMarks(*model_, view, GridOf(view));
  MoveCursor(view, kViewFixedRows);  // the selection collapses to row 1
}

void TForm1::Execute(ViewKind view) {
  if (state_.link.busy) return;
  StringGrid& grid = GridOf(view);
  const ExecuteChoice choice = ChooseExecute(*model_, view, SelectionOf(view));
  if (choice == ExecuteChoice::kPrint) {
    const std::vector<int> rows = MarkedRows(*model_, view, ViewMark::kPrint);
    if (reportPrinter_) {
      reportPrinter_(view, grid, rows);
    } else {
      PrintReport(this, grid, rows, state_.session.operatorShortName, PageOf(view)->Grid->font());
    }
  } else if (choice == ExecuteChoice::kExport) {
    ExportContext context{Services(), grid, Files()};
    // Refused or failed: the operator keeps the marks to try again.
    if (ExportRows(context, MarkedRows(*model_, view, ViewMark::kSave)) ==
        ExportOutcome::kStopped) {
      return;
    }
  }
  ResetViewMarks(view);
  if (choice == ExecuteChoice::kSynchronise) SynchroniseFolders(SyncFor());
}

void TForm1::MarkCurrentRow(ViewKind view, bool forDeletion) {
  if (state_.link.busy) return;
  const int row = SelectionOf(view).current;
  MarkViews views{byFoldersGrid_, byDateGrid_};
  if (forDeletion) {
    MarkForDeletion(view, row, views, *model_, *this);
  } else {
    TakeBackDeletion(view, row, views, *model_, *this);
  }
}

// --- DeletionMarkHooks ------------------------------------------------------

void TForm1::MoveCursor(ViewKind view, int row) {
  ViewPage* page = PageOf(view);
  const QModelIndex index = page->GridModel->index(row - kViewFixedRows, kFirstChoiceColumn);
  if (!index.isValid()) return;
  page->Grid->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  page->Grid->scrollTo(index);
}

void TForm1::AddJournalRow(const std::string& operation, const std::string& folderName) {
  TabSheet1->ShowJournal();
  orti::AddJournalRow(TabSheet1->Journal(), LocalNow(), operation, folderName, "");
}

void TForm1::ShowWarningPanels(bool shown) {
  RemPanel2->setVisible(shown);
  RemPanel1->setVisible(shown);
}

}  // namespace orti
