#pragma once
// The windows the workflows talk to, for a run without windows: progress and
// connection windows that show nothing, and a folder page that is only a
// selection and a name.

#include <string>

#include "folders/folder_page_view.h"
#include "folders/sync_hooks.h"
#include "model/notepad_model.h"
#include "views/marks.h"
#include "workflow/connection.h"

namespace orti::cli {

class NoSyncProgress final : public SyncProgress {
 public:
  void Open(const std::string&) override {}
  void SetFolderBar(int, int) override {}
  void SetStepBar(int, int) override {}
  void Close() override {}
};

class NoConnectionWindow final : public ConnectionWindow {
 public:
  void Open() override {}
  void Close() override {}
};

class NoMarkWindows final : public DeletionMarkHooks {
 public:
  void MoveCursor(ViewKind, int) override {}
  void AddJournalRow(const std::string&, const std::string&) override {}
  void ShowWarningPanels(bool) override {}
};

// The folder list holds one item per folder of the notepad, as on the page.
class CommandLineFolderPage final : public FolderPageView {
 public:
  CommandLineFolderPage(const NotepadModel& model, int selected, std::string name)
      : model_(model), selected_(selected), name_(std::move(name)) {}

  int FolderItemCount() const override { return model_.folderCount; }
  int SelectedFolder() const override { return selected_; }
  void SelectFolder(int index) override { selected_ = index; }
  void SetFolderItem(int, const std::string&) override {}
  void FocusFolderList() override {}
  std::string FolderNameText() const override { return name_; }
  void SetFolderNameText(const std::string& text) override { name_ = text; }
  void FocusFolderName() override {}
  void SetFolderButtons(bool, bool, bool) override {}
  void ShowJournal() override {}

 private:
  const NotepadModel& model_;
  int selected_;
  std::string name_;
};

}  // namespace orti::cli
