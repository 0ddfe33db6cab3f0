#pragma once
// What the synchronisation needs of the windows: the writing progress window
// and the two views.

#include <string>

namespace orti {

// The writing progress window: created by Open, destroyed by Close. While it
// is open the cursor is the hourglass; Close restores the previous one.
class SyncProgress {
 public:
  virtual ~SyncProgress() = default;
  virtual void Open(const std::string& title) = 0;
  virtual void SetFolderBar(int position, int maximum) = 0;
  // Shows the new position at once: the exchanges in between pump messages
  // only once per attempt.
  virtual void SetStepBar(int position, int maximum) = 0;
  virtual void Close() = 0;
};

// The by-folders and by-date views.
class ViewsHooks {
 public:
  virtual ~ViewsHooks() = default;
  virtual void SortByDateIndex() = 0;
  virtual void FillGrids() = 0;
};

}  // namespace orti
