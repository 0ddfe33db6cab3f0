#pragma once
// Moving between the pages of the main window: which command asks whether to
// save changed settings, which asks whether to write pending folder changes,
// and in which order.

#include "model/console_state.h"
#include "model/notepad_model.h"

namespace orti {

// Pages of the main window's page control.
constexpr int kPageEmpty = 0;
constexpr int kPageFolders = 1;
constexpr int kPageByFolders = 2;
constexpr int kPageByDate = 3;
constexpr int kPageSettings = 4;
constexpr int kPageArchive = 5;
constexpr int kCloseWindow = -1;

enum class PageCommand {
  kByFolders,          // SBByFolders, MByFolders
  kByDate,             // SBByDate, MByDateTime
  kFoldersManagement,  // SBFoldersManagement, MFoldersManag
  kTools,              // SBTools, MOptions
  kArchive,            // SBArchive, MArchive
  kQuitButton,         // SBQuit
  kQuitMenu,           // MQuit
};

struct PageSwitchRule {
  bool asksSettings;
  bool asksPending;
  int target;  // a page, or kCloseWindow
};

PageSwitchRule RuleFor(PageCommand command);

class PageSwitchHooks {
 public:
  virtual ~PageSwitchHooks() = default;
  // Asked only when the settings-changed flag is set.
  virtual void ConfirmSaveSettings() = 0;
  // Asked only when a folder has a pending change; Yes writes them.
  virtual void ConfirmPendingSync() = 0;
  // Shows the page with its focus and selection.
  virtual void OpenPage(int page) = 0;
  virtual void CloseMainWindow() = 0;
};

// Runs one page-switching command; does nothing while a reading or a
// synchronisation is running.
void SwitchPage(PageCommand command, const NotepadModel& model, ConsoleState& state,
                PageSwitchHooks& hooks);

}  // namespace orti
