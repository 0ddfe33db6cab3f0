// Deleting records from the by-date view of the main window on a simulated
// instrument: the marks, "Выполнить", the synchronisation, and what the
// instrument's memory holds afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/grid_selection.h"
#include "app/main_window.h"
#include "sim/fault_plan.h"
#include "sim/in_process_port.h"
#include "sim/instrument.h"
#include "sim/instrument_line.h"
#include "sim/notepad_generator.h"
#include "sim/notepad_layout.h"
#include "support/fake_clock.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_app.h"
#include "views/marks.h"
#include "views/view_layout.h"

namespace orti {
namespace {

constexpr uint16_t kNotepadAddress = 64000 - 3 * 512;  // a notepad of three folders

using Slot = std::array<uint8_t, sim::kRecordSize>;

sim::InstrumentIdentity Identity() {
  sim::InstrumentIdentity identity;
  identity.notepadAddress = kNotepadAddress;
  return identity;
}

bool IsRecord(const Slot& slot) {
  return slot[0] == kModePh || slot[0] == kModePh25 || slot[0] == kModeMv;
}

// The 25 slots a view can show of a folder block, as the instrument holds them.
std::vector<Slot> FolderSlots(const sim::MemoryImage& memory, int folder) {
  std::vector<Slot> result;
  for (int s = 0; s < kShownSlots; ++s) {
    const uint32_t at =
        sim::SlotAddress(kNotepadAddress, static_cast<uint32_t>(folder), static_cast<uint32_t>(s));
    Slot slot;
    std::copy(memory.begin() + at, memory.begin() + at + sim::kRecordSize, slot.begin());
    result.push_back(slot);
  }
  return result;
}

std::vector<uint8_t> Block(const sim::MemoryImage& memory, int folder) {
  const uint32_t at = sim::FolderBase(kNotepadAddress, static_cast<uint32_t>(folder));
  return {memory.begin() + at, memory.begin() + at + sim::kFolderBlockSize};
}

// Folder name and date of every by-date row: what the operator sees of a record.
std::multiset<std::pair<std::string, std::string>> DateViewRecords(const StringGrid& view) {
  std::multiset<std::pair<std::string, std::string>> records;
  for (int row = 1; row < view.RowCount(); ++row)
    records.emplace(view.Cell(4, row), view.Cell(3, row));
  return records;
}

// Rows of a view that show records of `folder`; the grid shows every record the view holds.
int RowsOfFolder(TForm1& form, ViewKind view, int folder) {
  const std::vector<RecordRef> records = ViewRecords(form.Model(), view);
  const StringGrid& grid = view == ViewKind::kByFolders ? form.ByFoldersGrid() : form.ByDateGrid();
  EXPECT_EQ(grid.RowCount() - 1, static_cast<int>(records.size()));
  return static_cast<int>(std::count_if(
      records.begin(), records.end(), [folder](const RecordRef& r) { return r.folder == folder; }));
}

TEST(DeletionEndToEnd, MarkedRecordsLeaveTheInstrumentAndTheRefreshedViews) {
  test::App();
  test::TempDir home;
  setenv("ORTI415_HOME", home.Path().c_str(), 1);
  test::FakeClock clock;
  sim::FaultPlan faults;
  sim::Instrument instrument(sim::GenerateNotepad({11, kNotepadAddress, 200}), Identity());
  sim::InstrumentLine line(instrument, faults);
  test::ScriptedDialogs dialogs;
  TForm1 form;
  form.SetDialogs(&dialogs);
  form.UseSerialLine(std::make_unique<sim::InProcessPort>(line, clock), clock);

  ASSERT_EQ(form.FormShow({}), StartupResult::kRun);
  ASSERT_FALSE(form.State().link.offline);
  EXPECT_TRUE(dialogs.Calls().empty());
  const sim::MemoryImage before = instrument.Memory();

  // The two earliest records of folder 1 (neither the first nor the last
  // folder), picked in the by-date view.
  constexpr int kFolder = 1;
  std::vector<int> rows;
  for (int row = 1; row < form.ByDateGrid().RowCount(); ++row) {
    const auto record = RowToRecord(form.Model(), ViewKind::kByDate, row);
    if (record && record->folder == kFolder) rows.push_back(row);
  }
  ASSERT_GE(rows.size(), 3u) << "the generated folder holds too few records";
  const auto first = RowToRecord(form.Model(), ViewKind::kByDate, rows[0]);
  const auto second = RowToRecord(form.Model(), ViewKind::kByDate, rows[1]);
  const auto seen = DateViewRecords(form.ByDateGrid());
  std::multiset<std::pair<std::string, std::string>> expectedView = seen;
  for (int row : {rows[0], rows[1]}) {
    expectedView.erase(
        expectedView.find({form.ByDateGrid().Cell(4, row), form.ByDateGrid().Cell(3, row)}));
  }

  form.SBByDate->click();
  for (int row : {rows[0], rows[1]}) {
    test::SelectRow(form.StringGrid2, row);
    form.PMBDTRemoveClick();
  }
  EXPECT_EQ(form.ByDateGrid().Cell(kMarkColumn, rows[1]), "D");
  EXPECT_EQ(form.Model().folders[kFolder].records[second->record].deletionMark, 1);
  EXPECT_FALSE(form.RemPanel2->isHidden());

  dialogs.Expect(DialogAnswer::kYes);
  test::SelectRow(form.StringGrid2, rows[0]);
  form.BtnExecByDateTime->click();
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].caption, "Обновление данных");
  EXPECT_EQ(dialogs.Unanswered(), 0u);
  EXPECT_TRUE(form.RemPanel2->isHidden()) << "nothing is left to write";

  // The instrument: folder 1 closed up without the two records, its header
  // and slot 25 as they were, the other folders untouched.
  const sim::MemoryImage& after = instrument.Memory();
  std::vector<Slot> kept;
  const std::vector<Slot> old = FolderSlots(before, kFolder);
  for (int s = 0; s < kShownSlots; ++s) {
    if (IsRecord(old[static_cast<size_t>(s)]) && s != first->record && s != second->record) {
      kept.push_back(old[static_cast<size_t>(s)]);
    }
  }
  const std::vector<Slot> now = FolderSlots(after, kFolder);
  for (size_t s = 0; s < now.size(); ++s) {
    if (s < kept.size()) {
      EXPECT_EQ(now[s], kept[s]) << "slot " << s;
    } else {
      EXPECT_FALSE(IsRecord(now[s])) << "slot " << s;
    }
  }
  const auto oldBlock = Block(before, kFolder);
  const auto newBlock = Block(after, kFolder);
  EXPECT_TRUE(
      std::equal(oldBlock.begin(), oldBlock.begin() + sim::kFolderHeaderSize, newBlock.begin()));
  EXPECT_TRUE(std::equal(oldBlock.end() - sim::kRecordSize, oldBlock.end(),
                         newBlock.end() - sim::kRecordSize));
  for (int other : {0, 2}) EXPECT_EQ(Block(after, other), Block(before, other)) << other;

  // The by-folders view lost them at once. The by-date view keeps the order
  // it was read in until the notepad is read again; after that it agrees.
  EXPECT_EQ(RowsOfFolder(form, ViewKind::kByFolders, kFolder), static_cast<int>(kept.size()));
  dialogs.Expect(DialogAnswer::kYes);
  form.RefreshClick();
  ASSERT_EQ(dialogs.Calls().size(), 2u);
  EXPECT_EQ(dialogs.Unanswered(), 0u);
  EXPECT_EQ(DateViewRecords(form.ByDateGrid()), expectedView);
  EXPECT_EQ(RowsOfFolder(form, ViewKind::kByFolders, kFolder), static_cast<int>(kept.size()));
  EXPECT_EQ(RowsOfFolder(form, ViewKind::kByDate, kFolder), static_cast<int>(kept.size()));
  for (int row = 1; row < form.ByDateGrid().RowCount(); ++row) {
    EXPECT_EQ(form.ByDateGrid().Cell(kMarkColumn, row), "") << row;
  }
}

}  // namespace
}  // namespace orti
