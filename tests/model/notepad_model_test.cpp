#include "model/notepad_model.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/console_state.h"

namespace orti {
namespace {

TEST(NotepadModel, StartsEmptyWithNoFoldersAndAnEmptyIndex) {
  auto model = std::make_unique<NotepadModel>();
  EXPECT_EQ(model->folderCount, 0);
  EXPECT_EQ(model->baseDate, 0.0);
  EXPECT_EQ(model->byDate.Count(), 0);
  EXPECT_EQ(model->byDate.folder[kByDateCapacity - 1], -1);
  for (const NotepadFolder& f : model->folders) {
    EXPECT_EQ(f.state, FolderState::kFree);
    EXPECT_EQ(f.pending, 0);
    EXPECT_EQ(f.name[0], '\0');
    for (const NotepadRecord& r : f.records) {
      EXPECT_EQ(r.dateTime, 0.0);
      EXPECT_EQ(r.deletionMark, 0);
      EXPECT_FALSE(r.HoldsRecord());  // mode 0 reads as a deleted slot
    }
  }
  EXPECT_EQ(model->identity.notepadAddress, 0);
}

TEST(NotepadModel, PendingCountsOnlyFoldersOfTheNotepad) {
  auto model = std::make_unique<NotepadModel>();
  model->folders[5].pending = 1;
  EXPECT_FALSE(AnyFolderPending(*model));  // before the first reading nothing is asked
  model->folderCount = 5;
  EXPECT_FALSE(AnyFolderPending(*model));
  model->folderCount = 6;
  EXPECT_TRUE(AnyFolderPending(*model));
}

TEST(NotepadModel, RecordHoldsAMeasurementOnlyInModesOneToThree) {
  NotepadRecord r;
  for (int mode : {1, 2, 3, 7}) {
    r.mode = static_cast<uint8_t>(mode);
    EXPECT_TRUE(r.HoldsRecord()) << mode;
  }
  r.mode = kModeEmpty;
  EXPECT_FALSE(r.HoldsRecord());
  r.mode = kModeDeleted;
  EXPECT_FALSE(r.HoldsRecord());
}

TEST(ByDateIndex, CountStopsAtTheFirstFreeEntry) {
  ByDateIndex index;
  index.folder[0] = 0;
  index.folder[1] = 3;
  index.folder[3] = 4;  // beyond the end marker: not counted
  EXPECT_EQ(index.Count(), 2);
  index.Clear();
  EXPECT_EQ(index.Count(), 0);
  for (int i = 0; i < kByDateCapacity; ++i) index.folder[i] = 1;
  EXPECT_EQ(index.Count(), kByDateCapacity);
}

TEST(ConsoleState, DefaultsBeforeSettingsAreRead) {
  ConsoleState s;
  EXPECT_EQ(s.settings.startPage, StartPage::kByDate);
  EXPECT_EQ(s.settings.connectionMode, 1);
  EXPECT_FALSE(s.settings.settingsChanged);
  EXPECT_FALSE(s.link.offline);
  EXPECT_FALSE(s.link.busy);
  EXPECT_TRUE(s.session.operators.empty());
}

}  // namespace
}  // namespace orti
