#pragma once
// The folders page: create, rename, remove and clear folders in the model,
// journal each operation and offer at once to write it into the instrument.

#include <functional>
#include <string>

#include "folders/folder_page_view.h"
#include "folders/synchronisation.h"
#include "model/string_grid.h"

namespace orti {

constexpr const char* kMsgEnterName = "Необходимо ввести новое имя папки";
constexpr const char* kMsgCannotCreate = "Невозможно создать новую папку.";
constexpr const char* kMsgNameExists = "Папка с таким именем уже есть";
constexpr const char* kMsgCannotRename = "Невозможно переименовать папку";
constexpr const char* kMsgAlreadyChanged =
    "Эта папка уже изменялась.\nСначала надо синхронизировать данные";
constexpr const char* kMsgCannotRemove = "Невозможно удалить папку";
constexpr const char* kMsgCannotClear = "Невозможно очистить папку";
constexpr const char* kMsgCannotClearAll = "Невозможно очистить папки";

// "Недопустимый символ 'x'".
std::string RefusedCharMessage(const std::string& character);

struct FolderButtons {
  bool rename = false;
  bool remove = false;
  bool clear = false;
};
// Index 0 may only be cleared; a free slot elsewhere allows nothing.
FolderButtons FolderButtonsFor(const NotepadModel& model, int selected);

class FolderOperations {
 public:
  // `now` gives the local date and time for the journal.
  FolderOperations(const SyncContext& sync, FolderPageView& page, StringGrid& journal,
                   std::function<double()> now);

  void BtnNewFolderClick();
  void BtnRenameFolderClick();
  void BtnRemoveFolderClick();
  void BtnClearFolderClick();
  void BtnClearFoldersClick();
  void BtnAddFolderNameClick();
  void LBFoldersClick();
  void BtnSyncroFoldersClick() { SynchroniseFolders(sync_); }

 private:
  bool Busy() const { return sync_.state.link.busy; }
  bool IsFolder(int index) const;
  // Refuses a folder not read in full: it is never erased.
  bool RefuseUnread(int folder);
  bool Confirm(const std::string& text, const char* caption);
  void Journal(const char* operation, const std::string& source, const std::string& result);
  void RebuildViews();

  const SyncContext& sync_;
  NotepadModel& model_;
  Dialogs& dialogs_;
  FolderPageView& page_;
  StringGrid& journal_;
  std::function<double()> now_;
};

}  // namespace orti
