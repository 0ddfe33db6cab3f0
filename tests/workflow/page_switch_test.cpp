#include "workflow/page_switch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orti {
namespace {

class RecordingHooks final : public PageSwitchHooks {
 public:
  std::vector<std::string> calls;
  bool saveFails = false;  // the operator answers Yes and the save fails
  ConsoleState* state = nullptr;
  void ConfirmSaveSettings() override {
    calls.push_back("settings?");
    if (saveFails) state->settings.settingsChanged = true;
  }
  void ConfirmPendingSync() override { calls.push_back("pending?"); }
  void OpenPage(int page) override { calls.push_back("page " + std::to_string(page)); }
  void CloseMainWindow() override { calls.push_back("close"); }
};

struct Fixture {
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  ConsoleState state;
  RecordingHooks hooks;
  Fixture(bool settingsChanged, bool pending) {
    state.settings.settingsChanged = settingsChanged;
    model->folderCount = 3;
    model->folders[2].pending = pending;
  }
  std::vector<std::string> Run(PageCommand c) {
    SwitchPage(c, *model, state, hooks);
    return hooks.calls;
  }
};

using Calls = std::vector<std::string>;

TEST(PageSwitch, EachCommandAsksItsQuestionsInOrder) {
  struct Case {
    PageCommand command;
    Calls expected;
  } cases[] = {
      {PageCommand::kByFolders, {"settings?", "pending?", "page 2"}},
      {PageCommand::kByDate, {"settings?", "pending?", "page 3"}},
      {PageCommand::kArchive, {"settings?", "pending?", "page 5"}},
      {PageCommand::kFoldersManagement, {"settings?", "page 1"}},
      {PageCommand::kTools, {"pending?", "page 4"}},
      {PageCommand::kQuitButton, {"pending?", "close"}},
      {PageCommand::kQuitMenu, {"close"}},
  };
  for (const auto& c : cases) {
    Fixture f(true, true);
    EXPECT_EQ(f.Run(c.command), c.expected) << static_cast<int>(c.command);
    EXPECT_EQ(f.state.settings.settingsChanged, !RuleFor(c.command).asksSettings);
  }
}

// Issue 13: a save that failed leaves the settings unsaved, so the flag stays.
TEST(PageSwitch, AFailedSaveKeepsTheSettingsChangedFlag) {
  Fixture f(true, false);
  f.hooks.state = &f.state;
  f.hooks.saveFails = true;
  EXPECT_EQ(f.Run(PageCommand::kByDate), (Calls{"settings?", "page 3"}));
  EXPECT_TRUE(f.state.settings.settingsChanged);
}

TEST(PageSwitch, QuestionsOnlyWhenThereIsSomethingToAsk) {
  Fixture f(false, false);
  EXPECT_EQ(f.Run(PageCommand::kByDate), (Calls{"page 3"}));

  // A pending flag beyond the notepad's folders does not count.
  Fixture g(false, false);
  g.model->folders[3].pending = 1;
  EXPECT_EQ(g.Run(PageCommand::kTools), (Calls{"page 4"}));
}

TEST(PageSwitch, SettingsAskedOnceThenNotUntilTheNextChange) {
  Fixture f(true, false);
  f.Run(PageCommand::kByFolders);
  f.hooks.calls.clear();
  EXPECT_EQ(f.Run(PageCommand::kByDate), (Calls{"page 3"}));
}

TEST(PageSwitch, NothingHappensWhileTheInstrumentIsBusy) {
  Fixture f(true, true);
  f.state.link.busy = true;
  EXPECT_TRUE(f.Run(PageCommand::kByFolders).empty());
  EXPECT_TRUE(f.Run(PageCommand::kQuitMenu).empty());
  EXPECT_TRUE(f.state.settings.settingsChanged);
}

}  // namespace
}  // namespace orti
