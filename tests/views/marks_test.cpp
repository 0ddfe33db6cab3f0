#include "views/marks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "views/fill_grids.h"
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

// Both views of the model, filled: by folders rows 1-4 show A/0, A/1, A/3,
// B/0; by date B/0, A/3, A/0, A/1.
struct Views {
  std::unique_ptr<NotepadModel> m = MakeModel();
  StringGrid byFolders{kViewColumns, 2, 1};
  StringGrid byDate{kViewColumns, 2, 1};
  MarkViews views{byFolders, byDate};
  Views() { Fill(); }
  void Fill() { FillGrids(*m, byFolders, byDate, ","); }
  NotepadRecord& Record(int folder, int slot) { return m->folders[folder].records[slot]; }
  // The mark column of rows 1.., "." for an empty cell.
  std::string Marks(ViewKind kind) {
    std::string marks;
    for (int row = 1; row < views.Of(kind).RowCount(); ++row) {
      const std::string& mark = views.Of(kind).Cell(kMarkColumn, row);
      marks += mark.empty() ? "." : mark;
    }
    return marks;
  }
};

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
  EXPECT_EQ(RowToRecord(*m, ViewKind::kByFolders, 3)->record, 3);
  EXPECT_EQ(RowToRecord(*m, ViewKind::kByFolders, 4)->folder, 2);
  EXPECT_FALSE(RowToRecord(*m, ViewKind::kByFolders, 5));
  EXPECT_FALSE(RowToRecord(*m, ViewKind::kByFolders, 0));  // the title row
  EXPECT_EQ(RecordToRow(*m, ViewKind::kByFolders, 0, 3), 3);
  EXPECT_FALSE(RecordToRow(*m, ViewKind::kByFolders, 0, 2));  // empty slot
  EXPECT_EQ(RowToRecord(*m, ViewKind::kByDate, 1)->folder, 2);
  EXPECT_EQ(RecordToRow(*m, ViewKind::kByDate, 0, 1), 4);

  // A slot emptied since the reading stays in the index but is skipped.
  m->folders[0].records[3].mode = kModeDeleted;
  EXPECT_EQ(RowToRecord(*m, ViewKind::kByDate, 2)->record, 0);
  EXPECT_EQ(RecordToRow(*m, ViewKind::kByDate, 0, 1), 3);
  EXPECT_FALSE(RecordToRow(*m, ViewKind::kByDate, 0, 3));
  // Folders being cleared or removed show nothing.
  m->folders[2].state = FolderState::kClearPending;
  EXPECT_EQ(RowToRecord(*m, ViewKind::kByDate, 1)->folder, 0);
}

TEST(Marks, ToggleAndResetNeverTouchDeletionMarks) {
  Views v;
  v.Record(0, 1).deletionMark = 1;                                 // by folders row 2
  v.Record(0, 3).MarkIn(ViewKind::kByFolders) = ViewMark::kPrint;  // row 3
  v.Fill();
  EXPECT_EQ(v.Marks(ViewKind::kByFolders), ".DP.");
  const struct {
    RowSelection rows;
    ViewMark mark;
    const char* shown;
  } toggles[] = {
      {{1, 4, 1}, ViewMark::kSave, "SDSS"},  // "P" is replaced
      {{1, 2, 1}, ViewMark::kSave, ".DSS"},
      {{1, 4, 1}, ViewMark::kPrint, "PDPP"},
  };
  for (const auto& t : toggles) {
    ToggleMark(*v.m, ViewKind::kByFolders, v.byFolders, t.rows, t.mark);
    EXPECT_EQ(v.Marks(ViewKind::kByFolders), t.shown);
  }
  EXPECT_EQ(MarkedRows(*v.m, ViewKind::kByFolders, ViewMark::kPrint), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(v.Marks(ViewKind::kByDate), "...D");  // the other view keeps its own marks
  ResetMarks(*v.m, ViewKind::kByFolders, v.byFolders);
  EXPECT_EQ(v.Marks(ViewKind::kByFolders), ".D..");
  EXPECT_TRUE(MarkedRows(*v.m, ViewKind::kByFolders, ViewMark::kPrint).empty());
  EXPECT_EQ(v.Record(0, 1).deletionMark, 1);

  // Select all, then "S": exactly the record rows, nothing beyond the last.
  ToggleMark(*v.m, ViewKind::kByDate, v.byDate, {1, v.byDate.RowCount() - 1, 1}, ViewMark::kSave);
  EXPECT_EQ(v.byDate.RowCount(), 5);
  EXPECT_EQ(v.Marks(ViewKind::kByDate), "SSSD");
  EXPECT_EQ(v.byDate.Cell(kMarkColumn, 0), "");
  EXPECT_EQ(MarkedRows(*v.m, ViewKind::kByDate, ViewMark::kSave), (std::vector<int>{1, 2, 3}));
}

TEST(Marks, DeletionMarkReachesModelOtherViewJournalAndPanels) {
  Views v;
  Hooks hooks;

  ToggleMark(*v.m, ViewKind::kByFolders, v.byFolders, {1, 1, 1}, ViewMark::kSave);
  MarkForDeletion(ViewKind::kByFolders, 1, v.views, *v.m, hooks);  // a marked row is left alone
  EXPECT_EQ(v.byFolders.Cell(kMarkColumn, 1), "S");
  EXPECT_EQ(v.Record(0, 0).deletionMark, 0);
  EXPECT_TRUE(hooks.journal.empty());

  MarkForDeletion(ViewKind::kByFolders, 3, v.views, *v.m, hooks);  // A/3, by-date row 2
  EXPECT_EQ(v.byFolders.Cell(kMarkColumn, 3), "D");
  EXPECT_EQ(v.byDate.Cell(kMarkColumn, 2), "D");
  EXPECT_EQ(v.Record(0, 3).deletionMark, 1);
  EXPECT_EQ(v.m->folders[0].pending, 1);
  EXPECT_EQ(v.m->folders[0].state, FolderState::kRewritePending);
  EXPECT_EQ(hooks.moves.back(), std::make_pair(ViewKind::kByDate, 2));
  EXPECT_EQ(hooks.journal.back(), "Удаление записи|A");
  EXPECT_EQ(hooks.panels, 1);

  // B/0 carries "P" by folders (row 4); marked by date (row 1), "D" takes its place.
  ToggleMark(*v.m, ViewKind::kByFolders, v.byFolders, {4, 4, 4}, ViewMark::kPrint);
  MarkForDeletion(ViewKind::kByDate, 1, v.views, *v.m, hooks);
  EXPECT_EQ(v.byFolders.Cell(kMarkColumn, 4), "D");
  EXPECT_EQ(v.Record(2, 0).MarkIn(ViewKind::kByFolders), ViewMark::kNone);
  EXPECT_EQ(v.m->folders[2].pending, 1);

  // Taking back one of two keeps the panels; the last one hides them; states stay 3.
  TakeBackDeletion(ViewKind::kByDate, 2, v.views, *v.m, hooks);
  EXPECT_EQ(v.byFolders.Cell(kMarkColumn, 3), "");
  EXPECT_EQ(v.byDate.Cell(kMarkColumn, 2), "");
  EXPECT_EQ(v.Record(0, 3).deletionMark, 0);
  EXPECT_EQ(v.m->folders[0].pending, 0);
  EXPECT_EQ(v.m->folders[0].state, FolderState::kRewritePending);
  EXPECT_EQ(hooks.journal.back(), "Отмена удаления записи|A");
  EXPECT_EQ(hooks.panels, 1);
  TakeBackDeletion(ViewKind::kByFolders, 4, v.views, *v.m, hooks);
  EXPECT_EQ(v.Marks(ViewKind::kByDate), "....");
  EXPECT_EQ(v.Marks(ViewKind::kByFolders), "S...");  // the "P" that "D" replaced is gone
  EXPECT_EQ(hooks.panels, 0);
  EXPECT_FALSE(AnyRecordMarked(*v.m));
}

TEST(Marks, ARowWithoutRecordIsNotMarked) {
  Views v;
  Hooks hooks;
  MarkForDeletion(ViewKind::kByFolders, 5, v.views, *v.m, hooks);
  TakeBackDeletion(ViewKind::kByFolders, 5, v.views, *v.m, hooks);
  EXPECT_EQ(hooks.panels, -1);
  EXPECT_TRUE(hooks.journal.empty());
  EXPECT_FALSE(AnyRecordMarked(*v.m));
}

TEST(Marks, ExecuteFollowsTheFirstMarkOfTheSelection) {
  Views v;
  v.Record(0, 1).MarkIn(ViewKind::kByFolders) = ViewMark::kSave;   // row 2
  v.Record(0, 3).MarkIn(ViewKind::kByFolders) = ViewMark::kPrint;  // row 3
  v.Record(2, 0).deletionMark = 1;                                 // row 4
  const struct {
    RowSelection rows;
    ExecuteChoice choice;
  } cases[] = {
      {{1, 3, 1}, ExecuteChoice::kExport},
      {{3, 4, 3}, ExecuteChoice::kPrint},
      {{4, 4, 4}, ExecuteChoice::kSynchronise},
      {{1, 1, 1}, ExecuteChoice::kSynchronise},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseExecute(*v.m, ViewKind::kByFolders, c.rows), c.choice) << c.rows.top;
  }
  // The other view's marks do not count.
  EXPECT_EQ(ChooseExecute(*v.m, ViewKind::kByDate, {1, 4, 1}), ExecuteChoice::kSynchronise);
  v.Record(0, 0).deletionMark = 1;
  EXPECT_EQ(ChooseExecute(*v.m, ViewKind::kByFolders, {1, 4, 1}), ExecuteChoice::kSynchronise);
  v.Record(0, 0).deletionMark = 0;
  v.Record(0, 0).MarkIn(ViewKind::kByFolders) = ViewMark::kPrint;
  EXPECT_EQ(ChooseExecute(*v.m, ViewKind::kByFolders, {1, 4, 1}), ExecuteChoice::kPrint);
}

}  // namespace
}  // namespace orti
