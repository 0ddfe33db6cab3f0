#pragma once
// Folder management: the folder list, the name field, the folder buttons and
// the journal of operations. The buttons run the folder operations.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "folders/folder_operations.h"
#include "folders/folder_page_view.h"
#include "folders/synchronisation.h"
#include "model/string_grid.h"

namespace orti {

class FoldersPage final : public QWidget, public FolderPageView {
  Q_OBJECT
 public:
  explicit FoldersPage(QWidget* parent = nullptr);
  ~FoldersPage() override;

  // Where the commands find the model, the dialogs, the log and the link.
  void SetSyncContext(std::function<SyncContext()> context) { context_ = std::move(context); }
  // One item per folder slot; after every reading of the notepad.
  void FillFolderList(const NotepadModel& model);
  // The marks of the views add their rows here too; show it first (ShowJournal).
  StringGrid& Journal() { return journal_; }

  QListWidget* LBFolders;
  QLabel* Label2;
  QLineEdit* EFolderName;
  QToolButton* BtnAddFolderName;
  QPushButton* BtnNewFolder;
  QPushButton* BtnRenameFolder;
  QPushButton* BtnRemoveFolder;
  QPushButton* BtnClearFolder;
  QPushButton* BtnClearFolders;
  QPushButton* BtnSyncroFolders;
  QPushButton* BitBtn4;
  QLabel* LWarn;
  QTableView* SGFoldersOperations;

  // FolderPageView
  int FolderItemCount() const override { return LBFolders->count(); }
  int SelectedFolder() const override { return LBFolders->currentRow(); }
  void SelectFolder(int index) override { LBFolders->setCurrentRow(index); }
  void SetFolderItem(int index, const std::string& text) override;
  void FocusFolderList() override { LBFolders->setFocus(); }
  std::string FolderNameText() const override { return EFolderName->text().toStdString(); }
  void SetFolderNameText(const std::string& text) override {
    EFolderName->setText(QString::fromStdString(text));
  }
  void FocusFolderName() override { EFolderName->setFocus(); }
  void SetFolderButtons(bool rename, bool remove, bool clear) override;
  void ShowJournal() override { SGFoldersOperations->setVisible(true); }

 signals:
  // The selection of LBFolders changed or was set by the program.
  void FolderClicked();

 private:
  void Run(void (FolderOperations::*handler)());

  StringGrid journal_;
  std::function<SyncContext()> context_;
};

}  // namespace orti
