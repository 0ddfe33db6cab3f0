#pragma once
// The windows' side of a reading: the reading progress window while it runs,
// then the views and the folder list.

#include <QWidget>
#include <functional>

#include "app/reading_progress_window.h"
#include "workflow/reading.h"

namespace orti {

// What a reading shows: TForm5 with its two bars, then the views and the list.
class ReadingWindowHooks final : public ReadingHooks {
 public:
  struct Actions {
    std::function<void()> rebuildViews;
    std::function<void()> clearViews;
    std::function<void()> fillFolderList;
  };
  ReadingWindowHooks(QWidget* owner, Actions actions)
      : owner_(owner), actions_(std::move(actions)) {}
  ~ReadingWindowHooks() override;

  void OpenProgress() override;
  void CloseProgress() override;
  void Start(int folderCount) override;
  void FolderHeaderRead() override;
  void FolderFree() override;
  void SlotDecoded() override;
  void RebuildViews() override { actions_.rebuildViews(); }
  void ClearViews() override { actions_.clearViews(); }
  void FillFolderList() override { actions_.fillFolderList(); }
  void WaitTicks() override;

 private:
  QWidget* owner_;
  Actions actions_;
  TForm5* form5_ = nullptr;
};

}  // namespace orti
