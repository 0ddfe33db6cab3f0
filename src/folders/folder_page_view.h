#pragma once
// The folders page as its logic sees it: the folder list, the name field,
// the three buttons that depend on the selection and the journal.

#include <string>

namespace orti {

class FolderPageView {
 public:
  virtual ~FolderPageView() = default;
  virtual int FolderItemCount() const = 0;
  // -1 when nothing is selected.
  virtual int SelectedFolder() const = 0;
  virtual void SelectFolder(int index) = 0;
  virtual void SetFolderItem(int index, const std::string& text) = 0;
  virtual void FocusFolderList() = 0;

  virtual std::string FolderNameText() const = 0;
  virtual void SetFolderNameText(const std::string& text) = 0;
  virtual void FocusFolderName() = 0;

  virtual void SetFolderButtons(bool rename, bool remove, bool clear) = 0;
  virtual void ShowJournal() = 0;
};

}  // namespace orti
