#include "folders/folder_operations.h"

#include "folders/folder_names.h"
#include "folders/journal.h"
#include "model/folder_bytes.h"
#include "platform/utf8.h"

namespace orti {

std::string RefusedCharMessage(const std::string& character) {
  return "Недопустимый символ '" + character + "'";
}

FolderButtons FolderButtonsFor(const NotepadModel& model, int selected) {
  if (selected == 0) return {false, false, true};
  if (selected < 0 || selected >= model.folderCount || selected >= kMaxFolders) return {};
  const bool inUse = !IsFreeSlot(model.folders[selected]);
  return {inUse, inUse, inUse};
}

FolderOperations::FolderOperations(const SyncContext& sync, FolderPageView& page,
                                   StringGrid& journal, std::function<double()> now)
    : sync_(sync),
      model_(sync.model),
      dialogs_(sync.dialogs),
      page_(page),
      journal_(journal),
      now_(std::move(now)) {}

bool FolderOperations::IsFolder(int index) const {
  return index >= 0 && index < model_.folderCount && index < kMaxFolders;
}

bool FolderOperations::RefuseUnread(int folder) {
  if (model_.folders[folder].readInFull) return false;
  dialogs_.ShowMessage(kMsgNotReadInFull);
  return true;
}

bool FolderOperations::Confirm(const std::string& text, const char* caption) {
  return dialogs_.Ask(text, caption, DialogIcon::kQuestion, DialogButtons::kYesNo) ==
         DialogAnswer::kYes;
}

void FolderOperations::Journal(const char* operation, const std::string& source,
                               const std::string& result) {
  page_.ShowJournal();
  AddJournalRow(journal_, now_(), operation, source, result);
}

void FolderOperations::RebuildViews() {
  sync_.views.SortByDateIndex();
  sync_.views.FillGrids();
}

void FolderOperations::BtnNewFolderClick() {
  if (Busy()) return;
  const std::string text = page_.FolderNameText();
  if (text.empty()) return dialogs_.ShowMessage(kMsgEnterName);
  if (CharacterCount(text) > kFolderNameChars) return dialogs_.ShowMessage(kMsgNameTooLong);
  const int slot = FirstFreeSlot(model_);
  if (slot < 0) return dialogs_.ShowMessage(kMsgCannotCreate);
  const std::string refused = FirstRefusedNameChar(text);
  if (!refused.empty()) {
    dialogs_.ShowMessage(RefusedCharMessage(refused));
    page_.FocusFolderName();
    return;
  }
  if (FolderNameExists(model_, text)) return dialogs_.ShowMessage(kMsgNameExists);

  const std::string name = UpperCaseName(text);
  page_.SetFolderNameText(name);
  page_.SetFolderItem(slot, name);
  NotepadFolder& folder = model_.folders[slot];
  SetFolderName(folder, name);
  EmptyAllSlots(folder);  // nothing of the free slot's old bytes is written
  folder.pending = 1;
  folder.state = FolderState::kCreatePending;
  Journal(kJournalCreate, "", name);
  BtnSyncroFoldersClick();
}

void FolderOperations::BtnRenameFolderClick() {
  if (Busy()) return;
  const int selected = page_.SelectedFolder();
  if (selected <= 0 || page_.FolderItemCount() == 0 || !IsFolder(selected)) {
    return dialogs_.ShowMessage(kMsgCannotRename);
  }
  if (RefuseUnread(selected)) return;
  NotepadFolder& folder = model_.folders[selected];
  if (IsFreeSlot(folder)) return dialogs_.ShowMessage(kMsgCannotRename);
  if (page_.FolderNameText().empty()) return dialogs_.ShowMessage(kMsgEnterName);
  if (CharacterCount(page_.FolderNameText()) > kFolderNameChars) {
    return dialogs_.ShowMessage(kMsgNameTooLong);
  }
  if (folder.pending == 1) return dialogs_.ShowMessage(kMsgAlreadyChanged);

  // The upper-cased text stays in the edit even when the name is refused below.
  const std::string name = UpperCaseName(page_.FolderNameText());
  page_.SetFolderNameText(name);
  const std::string refused = FirstRefusedNameChar(name);
  if (!refused.empty()) {
    dialogs_.ShowMessage(RefusedCharMessage(refused));
    page_.FocusFolderName();
    return;
  }
  if (FolderNameExists(model_, name)) return dialogs_.ShowMessage(kMsgNameExists);

  const std::string oldName = FolderNameUtf8(folder);
  if (!Confirm("Переименовать папку \n" + oldName + "  в\n" + name + " ?", "Переименование папки"))
    return;
  Journal(kJournalRename, oldName, name);
  page_.SetFolderItem(selected, name);
  SetFolderName(folder, name);
  folder.pending = 1;
  folder.state = FolderState::kRewritePending;
  BtnSyncroFoldersClick();
  RebuildViews();
}

void FolderOperations::BtnRemoveFolderClick() {
  if (Busy()) return;
  page_.FocusFolderList();
  if (page_.FolderItemCount() == 0) return dialogs_.ShowMessage(kMsgCannotRemove);
  if (page_.SelectedFolder() < 0) page_.SelectFolder(0);
  const int selected = page_.SelectedFolder();
  if (selected == 0 || !IsFolder(selected)) return dialogs_.ShowMessage(kMsgCannotRemove);
  if (RefuseUnread(selected)) return;
  // A free slot has nothing to remove; its button is disabled.
  if (IsFreeSlot(model_.folders[selected])) return dialogs_.ShowMessage(kMsgCannotRemove);

  NotepadFolder& folder = model_.folders[selected];
  const std::string name = FolderNameUtf8(folder);
  if (!Confirm("Удалить папку " + name + " ?", "Удаление папки")) return;
  Journal(kJournalRemove, name, "");
  page_.SetFolderItem(selected, kFreeFolderName);
  SetFolderName(folder, kFreeFolderName);
  EmptyAllSlots(folder);
  folder.pending = 1;
  folder.state = FolderState::kRemovePending;
  BtnSyncroFoldersClick();
  RebuildViews();
}

void FolderOperations::BtnClearFolderClick() {
  if (Busy()) return;
  page_.FocusFolderList();
  if (page_.FolderItemCount() == 0) return dialogs_.ShowMessage(kMsgCannotClear);
  if (page_.SelectedFolder() < 0) page_.SelectFolder(0);
  const int selected = page_.SelectedFolder();
  if (!IsFolder(selected)) return dialogs_.ShowMessage(kMsgCannotClear);
  if (RefuseUnread(selected)) return;
  // A free slot has no name to write back: its header would carry the
  // free-slot name into the instrument.
  if (IsFreeSlot(model_.folders[selected])) return dialogs_.ShowMessage(kMsgCannotClear);

  NotepadFolder& folder = model_.folders[selected];
  const std::string name = FolderNameUtf8(folder);
  if (!Confirm("Очистить папку " + name + " ?", "Очистка папки")) return;
  Journal(kJournalClear, name, "");
  EmptyAllSlots(folder);
  folder.pending = 1;
  folder.state = FolderState::kClearPending;
  BtnSyncroFoldersClick();
  RebuildViews();
}

void FolderOperations::BtnClearFoldersClick() {
  if (Busy()) return;
  page_.FocusFolderList();
  if (page_.FolderItemCount() == 0) return dialogs_.ShowMessage(kMsgCannotClearAll);
  if (page_.SelectedFolder() < 0) page_.SelectFolder(0);
  // All or nothing: the folders not read in full are named.
  std::vector<int> unread;
  for (int f = 0; IsFolder(f); ++f) {
    if (!IsFreeSlot(model_.folders[f]) && !model_.folders[f].readInFull) unread.push_back(f);
  }
  if (!unread.empty()) {
    return dialogs_.ShowMessage(std::string(kMsgNotReadInFull) + "\n" + FolderList(model_, unread));
  }
  if (!Confirm("Очистить ВСЕ папки ?", "Очистка папок")) return;
  Journal(kJournalClearAll, "", "");
  for (int f = 0; IsFolder(f); ++f) {
    NotepadFolder& folder = model_.folders[f];
    if (IsFreeSlot(folder)) continue;
    EmptyAllSlots(folder);
    folder.pending = 1;
    folder.state = FolderState::kClearPending;
  }
  sync_.views.FillGrids();
  SynchroniseFolders(sync_, true, ChangeKind::kClearAll);
  RebuildViews();
}

void FolderOperations::BtnAddFolderNameClick() {
  if (Busy()) return;
  const int selected = page_.SelectedFolder();
  if (selected <= 0 || !IsFolder(selected) || IsFreeSlot(model_.folders[selected])) return;
  page_.SetFolderNameText(FolderNameUtf8(model_.folders[selected]));
}

void FolderOperations::LBFoldersClick() {
  const FolderButtons buttons = FolderButtonsFor(model_, page_.SelectedFolder());
  page_.SetFolderButtons(buttons.rename, buttons.remove, buttons.clear);
}

}  // namespace orti
