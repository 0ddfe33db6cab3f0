#include "views/marks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "views/view_layout.h"

namespace orti {
namespace {

// Folder 0 "A": slots 0, 1, 3 hold records; folder 1 free; folder 2 "B": slot 0.
// Dates put B/0 first, then A/3, A/0, A/1.
std::unique_ptr<NotepadModel> MakeModel() {
  auto m = std::make_unique<NotepadModel>();
  m->folderCount = 3;
  std::strcpy(m->folders[0].name, "A");
  std::strcpy(m->folders[2].name, "B");
  m->folders[0].state = m->folders[2].state = FolderState::kAsRead;
  for (auto& f : m->folders)
    for (auto& r : f.records) r.mode = kModeEmpty;
  for (int s : {0, 1, 3}) m->folders[0].records[s].mode = kModePh;
  m->folders[0].records[3].mode = kModeMv;
  m->folders[2].records[0].mode = kModePh25;
  const int order[][2] = {{2, 0}, {0, 3}, {0, 0}, {0, 1}};
  for (int i = 0; i < 4; ++i) {
    m->byDate.folder[i] = order[i][0];
    m->byDate.record[i] = order[i][1];
  }
  return m;
}

// Rows 1..records each show a record (folder 0, slot row - 1).
StringGrid MakeView(int records) {
  StringGrid view(kViewColumns, records + 1, 1);
  for (int row = 1; row <= records; ++row) {
    view.SetCell(kFolderNumberColumn, row, "0");
    view.SetCell(kRecordNumberColumn, row, std::to_string(row - 1));
  }
  return view;
}

struct Hooks final : DeletionMarkHooks {
  std::vector<std::pair<ViewKind, int>> moves;
  std::vector<std::string> journal;
  int panels = -1;
  void MoveCursor(ViewKind v, int row) override { moves.push_back({v, row}); }
  void AddJournalRow(const std::string& op, const std::string& folder) override {
    journal.push_back(op + "|" + folder);
  }
  void ShowWarningPanels(bool shown) override { panels = shown; }
};

TEST(Marks, RowsAndRecordsCorrespondInBothViews) {
  auto m = MakeModel();
  EXPECT_EQ(FolderRowToRecord(*m, 3)->record, 3);
  EXPECT_EQ(FolderRowToRecord(*m, 4)->folder, 2);
  EXPECT_FALSE(FolderRowToRecord(*m, 5));
  EXPECT_EQ(RecordToFolderRow(*m, 0, 3), 3);
  EXPECT_FALSE(RecordToFolderRow(*m, 0, 2));  // empty slot
  EXPECT_EQ(DateRowToRecord(*m, 1)->folder, 2);
  EXPECT_EQ(RecordToDateRow(*m, 0, 1), 4);

  // A slot emptied since the reading stays in the index but is skipped.
  m->folders[0].records[3].mode = kModeDeleted;
  EXPECT_EQ(DateRowToRecord(*m, 2)->record, 0);
  EXPECT_EQ(RecordToDateRow(*m, 0, 1), 3);
  EXPECT_FALSE(RecordToDateRow(*m, 0, 3));
  // Folders being cleared or removed show nothing.
  m->folders[2].state = FolderState::kClearPending;
  EXPECT_EQ(DateRowToRecord(*m, 1)->folder, 0);
}

TEST(Marks, ToggleAndResetNeverTouchDeletionMarks) {
  StringGrid view = MakeView(4);
  view.SetCell(kMarkColumn, 2, "D");
  view.SetCell(kMarkColumn, 3, "P");
  ToggleMark(view, {1, 4, 1}, 'S');
  EXPECT_EQ(view.Cell(kMarkColumn, 1), "S");
  EXPECT_EQ(view.Cell(kMarkColumn, 2), "D");
  EXPECT_EQ(view.Cell(kMarkColumn, 3), "S");  // "P" is replaced
  ToggleMark(view, {1, 2, 1}, 'S');
  EXPECT_EQ(view.Cell(kMarkColumn, 1), "");
  ToggleMark(view, {1, 4, 1}, 'P');
  EXPECT_EQ(view.Cell(kMarkColumn, 2), "D");
  EXPECT_EQ(view.Cell(kMarkColumn, 4), "P");
  ResetMarks(view);
  EXPECT_EQ(view.Cell(kMarkColumn, 2), "D");
  for (int row : {1, 3, 4}) EXPECT_EQ(view.Cell(kMarkColumn, row), "");

  // Select all, then "S": exactly the record rows, nothing beyond the last.
  StringGrid all = MakeView(3);
  ToggleMark(all, {1, all.RowCount() - 1, 1}, 'S');
  EXPECT_EQ(all.RowCount(), 4);
  for (int row = 1; row <= 3; ++row) EXPECT_EQ(all.Cell(kMarkColumn, row), "S");
  EXPECT_EQ(all.Cell(kMarkColumn, 0), "");
}

TEST(Marks, DeletionMarkReachesModelOtherViewJournalAndPanels) {
  auto m = MakeModel();
  StringGrid byFolders = MakeView(4), byDate = MakeView(4);
  MarkViews views{byFolders, byDate};
  Hooks hooks;

  byFolders.SetCell(kMarkColumn, 1, "S");
  MarkForDeletion(ViewKind::kByFolders, 1, views, *m, hooks);  // a marked row is left alone
  EXPECT_EQ(byFolders.Cell(kMarkColumn, 1), "S");
  EXPECT_TRUE(hooks.journal.empty());

  MarkForDeletion(ViewKind::kByFolders, 3, views, *m, hooks);  // A/3, by-date row 2
  EXPECT_EQ(byFolders.Cell(kMarkColumn, 3), "D");
  EXPECT_EQ(byDate.Cell(kMarkColumn, 2), "D");
  EXPECT_EQ(m->folders[0].records[3].deletionMark, 1);
  EXPECT_EQ(m->folders[0].pending, 1);
  EXPECT_EQ(m->folders[0].state, FolderState::kRewritePending);
  EXPECT_EQ(hooks.moves.back(), std::make_pair(ViewKind::kByDate, 2));
  EXPECT_EQ(hooks.journal.back(), "Удаление записи|A");
  EXPECT_EQ(hooks.panels, 1);

  MarkForDeletion(ViewKind::kByDate, 1, views, *m, hooks);  // B/0, by-folders row 4
  EXPECT_EQ(byFolders.Cell(kMarkColumn, 4), "D");
  EXPECT_EQ(m->folders[2].pending, 1);

  // Taking back one of two keeps the panels; the last one hides them; states stay 3.
  TakeBackDeletion(ViewKind::kByDate, 2, views, *m, hooks);
  EXPECT_EQ(byFolders.Cell(kMarkColumn, 3), "");
  EXPECT_EQ(m->folders[0].records[3].deletionMark, 0);
  EXPECT_EQ(m->folders[0].pending, 0);
  EXPECT_EQ(m->folders[0].state, FolderState::kRewritePending);
  EXPECT_EQ(hooks.journal.back(), "Отмена удаления записи|A");
  EXPECT_EQ(hooks.panels, 1);
  TakeBackDeletion(ViewKind::kByFolders, 4, views, *m, hooks);
  EXPECT_EQ(byDate.Cell(kMarkColumn, 1), "");
  EXPECT_EQ(hooks.panels, 0);
  EXPECT_FALSE(AnyRecordMarked(*m));
}

TEST(Marks, ARowWithoutRecordIsNotMarked) {
  auto m = MakeModel();
  StringGrid byFolders = MakeView(5), byDate = MakeView(4);
  MarkViews views{byFolders, byDate};
  Hooks hooks;
  MarkForDeletion(ViewKind::kByFolders, 5, views, *m, hooks);
  EXPECT_EQ(byFolders.Cell(kMarkColumn, 5), "");
  EXPECT_EQ(hooks.panels, -1);
}

TEST(Marks, ExecuteFollowsTheFirstMarkOfTheSelection) {
  StringGrid view = MakeView(5);
  view.SetCell(kMarkColumn, 2, "S");
  view.SetCell(kMarkColumn, 3, "P");
  view.SetCell(kMarkColumn, 5, "D");
  EXPECT_EQ(ChooseExecute(view, {1, 3, 1}), ExecuteChoice::kExport);
  EXPECT_EQ(ChooseExecute(view, {3, 5, 3}), ExecuteChoice::kPrint);
  EXPECT_EQ(ChooseExecute(view, {4, 5, 4}), ExecuteChoice::kSynchronise);
  EXPECT_EQ(ChooseExecute(view, {1, 1, 1}), ExecuteChoice::kSynchronise);
  view.SetCell(kMarkColumn, 1, "D");
  EXPECT_EQ(ChooseExecute(view, {1, 5, 1}), ExecuteChoice::kSynchronise);
  view.SetCell(kMarkColumn, 1, "p");
  EXPECT_EQ(ChooseExecute(view, {1, 5, 1}), ExecuteChoice::kPrint);
}

}  // namespace
}  // namespace orti
