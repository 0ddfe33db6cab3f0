#include "workflow/page_switch.h"

namespace orti {

PageSwitchRule RuleFor(PageCommand command) {
  switch (command) {
    case PageCommand::kByFolders:
      return {true, true, kPageByFolders};
    case PageCommand::kByDate:
      return {true, true, kPageByDate};
    case PageCommand::kFoldersManagement:
      return {true, false, kPageFolders};
    case PageCommand::kArchive:  // asks what switching to a view asks
      return {true, true, kPageArchive};
    case PageCommand::kTools:
      return {false, true, kPageSettings};
    case PageCommand::kQuitButton:
      return {false, true, kCloseWindow};
    case PageCommand::kQuitMenu:
      return {false, false, kCloseWindow};
  }
  return {false, false, kPageEmpty};
}

void SwitchPage(PageCommand command, const NotepadModel& model, ConsoleState& state,
                PageSwitchHooks& hooks) {
  if (state.link.busy) return;
  const PageSwitchRule rule = RuleFor(command);
  if (rule.asksSettings && state.settings.settingsChanged) {
    // Whatever the answer, the flag goes; only a save that failed sets it again.
    state.settings.settingsChanged = false;
    hooks.ConfirmSaveSettings();
  }
  if (rule.asksPending && AnyFolderPending(model)) hooks.ConfirmPendingSync();
  if (rule.target == kCloseWindow) {
    hooks.CloseMainWindow();
  } else {
    hooks.OpenPage(rule.target);
  }
}

}  // namespace orti
