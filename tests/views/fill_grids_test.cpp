#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/date_time.h"
#include "views/by_date_sort.h"
#include "views/fill_grids.h"
#include "views/icon_column.h"
#include "views/marks.h"
#include "views/print_layout.h"
#include "views/shown_records.h"
#include "views/view_layout.h"

namespace orti {
namespace {

// Hand-built notepads: folders named in cp1251, records set field by field.
class Notepad {
 public:
  Notepad() : model_(std::make_unique<NotepadModel>()) {}

  NotepadModel& Model() { return *model_; }

  void AddFolder(const char* cp1251Name, FolderState state = FolderState::kAsRead) {
    NotepadFolder& f = model_->folders[model_->folderCount++];
    std::strncpy(f.name, cp1251Name, kFolderNameChars);
    f.state = state;
    for (auto& r : f.records) r.mode = kModeEmpty;
  }

  NotepadRecord& Record(int folder, int slot, uint8_t mode, double dateTime) {
    NotepadRecord& r = model_->folders[folder].records[slot];
    r.mode = mode;
    r.dateTime = dateTime;
    r.temperature = 25;
    r.emf = -120;
    r.ph = 7;
    r.ph25 = 7;
    return r;
  }

  // The index as a reading builds it: folders in order, slots 0..24, then sorted.
  void IndexAndSort() {
    ByDateIndex& index = model_->byDate;
    index.Clear();
    int n = 0;
    for (int f = 0; f < model_->folderCount; ++f) {
      if (model_->folders[f].state == FolderState::kFree) continue;
      for (int s = 0; s < kShownSlots; ++s) {
        if (!model_->folders[f].records[s].HoldsRecord()) continue;
        index.folder[n] = f;
        index.record[n] = s;
        index.dateTime[n] = model_->folders[f].records[s].dateTime;
        ++n;
      }
    }
    SortByDateIndex(index);
  }

  void Fill(const std::string& separator = ",") {
    FillGrids(*model_, byFolders, byDate, separator);
  }

  StringGrid byFolders{kViewColumns, 2, 1};
  StringGrid byDate{kViewColumns, 2, 1};

 private:
  std::unique_ptr<NotepadModel> model_;
};

struct NoMarkHooks final : DeletionMarkHooks {
  void MoveCursor(ViewKind, int) override {}
  void AddJournalRow(const std::string&, const std::string&) override {}
  void ShowWarningPanels(bool) override {}
};

const double kDay = EncodeDate(2026, 2, 14);
double At(int hour, int minute, int second) {
  return kDay + EncodeTime(hour, minute, second);
}

// "Проба" and "Вода" in cp1251.
const char kProba[] = "\xCF\xF0\xEE\xE1\xE0";
const char kVoda[] = "\xC2\xEE\xE4\xE0";

std::string RowText(const StringGrid& g, int row) {
  std::string text;
  for (int c = 1; c < g.ColCount(); ++c) text += g.Cell(c, row) + "|";
  return text;
}

TEST(FillGrids, ByFoldersInSlotOrderAndByDateInDateOrder) {
  Notepad n;
  n.AddFolder(kProba);
  n.AddFolder(kVoda);
  n.Record(0, 0, kModePh, At(12, 34, 56)).ph = 7.25f;
  n.Record(0, 3, kModeMv, At(8, 0, 0)).emf = -45.25f;
  n.Record(1, 1, kModePh25, At(10, 0, 0)).temperature = 40;
  n.IndexAndSort();
  n.Fill();

  ASSERT_EQ(n.byFolders.RowCount(), 4);
  EXPECT_EQ(RowText(n.byFolders, 1), "||Проба|pH|14.02.2026 12:34:56|25,0|-120,0|7,250|7,000|");
  EXPECT_EQ(RowText(n.byFolders, 2), "||Проба|mV|14.02.2026 08:00:00|25,0|-45,3|7,000|7,000|");
  EXPECT_EQ(RowText(n.byFolders, 3), "||Вода|pH25|14.02.2026 10:00:00|40,0|-120,0|7,000|7,000|");

  ASSERT_EQ(n.byDate.RowCount(), 4);
  EXPECT_EQ(RowText(n.byDate, 1), "||14.02.2026 08:00:00|Проба|mV|25,0|-45,3|7,000|7,000|");
  EXPECT_EQ(RowText(n.byDate, 2), "||14.02.2026 10:00:00|Вода|pH25|40,0|-120,0|7,000|7,000|");
  EXPECT_EQ(RowText(n.byDate, 3), "||14.02.2026 12:34:56|Проба|pH|25,0|-120,0|7,250|7,000|");

  const auto record = RowToRecord(n.Model(), ViewKind::kByDate, 2);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->folder, 1);
  EXPECT_EQ(record->record, 1);
  EXPECT_FALSE(RowToRecord(n.Model(), ViewKind::kByDate, 0));
}

TEST(FillGrids, DecimalSeparatorComesFromTheCaller) {
  Notepad n;
  n.AddFolder(kProba);
  n.Record(0, 0, kModePh, At(1, 2, 3)).temperature = 21.45f;
  n.IndexAndSort();
  n.Fill(".");
  EXPECT_EQ(n.byFolders.Cell(6, 1), "21.5");
  EXPECT_EQ(n.byFolders.Cell(8, 1), "7.000");
  EXPECT_EQ(n.byDate.Cell(9, 1), "7.000");
}

TEST(FillGrids, EmptyNotepadLeavesOneEmptyRowAndDisablesThePopups) {
  Notepad n;
  n.byFolders.SetRowCount(5);
  n.byFolders.SetCell(3, 1, "old");
  n.byFolders.SetCell(kMarkColumn, 1, "S");
  n.Fill();
  EXPECT_EQ(n.byFolders.RowCount(), 2);
  EXPECT_EQ(n.byDate.RowCount(), 2);
  EXPECT_EQ(RowText(n.byFolders, 1), "|||||||||");
  EXPECT_EQ(RowText(n.byDate, 1), "|||||||||");
  EXPECT_EQ(CountShownRecords(n.Model()), 0);
  EXPECT_FALSE(PopupItemsEnabled(n.Model()));
  EXPECT_EQ(IconForCell(1, n.byFolders.Cell(kMarkColumn, 1)), RowIcon::kRecord);
}

TEST(FillGrids, OnlyRecordsOfReadOrChangedFoldersInSlotsUpTo24AreShown) {
  Notepad n;
  n.AddFolder("A");                                // 0: as read
  n.AddFolder("B", FolderState::kFree);            // 1
  n.AddFolder("C", FolderState::kClearPending);    // 2
  n.AddFolder("D", FolderState::kRewritePending);  // 3
  n.AddFolder("E", FolderState::kCreatePending);   // 4
  n.AddFolder("F", FolderState::kRemovePending);   // 5
  for (int f = 0; f < 6; ++f) {
    for (int s = 0; s < kSlotsPerFolder; ++s) n.Record(f, s, kModePh, At(0, f, s));
  }
  n.Record(0, 4, kModeDeleted, At(0, 0, 4));
  n.Record(0, 5, kModeEmpty, At(0, 0, 5));
  n.Record(3, 7, 4, At(0, 3, 7));  // not a mode the instrument writes
  n.IndexAndSort();
  n.Fill();

  // Folder A: 25 slots less the deleted and the empty one; folder D: 24.
  EXPECT_EQ(CountShownRecords(n.Model()), 23 + 24);
  EXPECT_EQ(n.byFolders.RowCount(), 1 + 23 + 24);
  EXPECT_EQ(n.byDate.RowCount(), 1 + 23 + 24);
  for (ViewKind view : {ViewKind::kByFolders, ViewKind::kByDate}) {
    for (const RecordRef& r : ViewRecords(n.Model(), view)) {
      EXPECT_TRUE(r.folder == 0 || r.folder == 3) << r.folder;
      EXPECT_LT(r.record, 25);
      EXPECT_TRUE(IsShownRecord(n.Model(), r.folder, r.record));
    }
  }
  EXPECT_EQ(n.byFolders.Cell(3, n.byFolders.RowCount() - 1), "D");
  EXPECT_EQ(RowToRecord(n.Model(), ViewKind::kByFolders, n.byFolders.RowCount() - 1)->record, 24);
  EXPECT_FALSE(IsShownRecord(n.Model(), 0, 25));
  EXPECT_FALSE(IsShownRecord(n.Model(), 6, 0));  // beyond the folder count
  EXPECT_FALSE(IsShownRecord(n.Model(), -1, 0));
}

TEST(FillGrids, IndexEntriesWhoseSlotNoLongerHoldsARecordAreSkipped) {
  Notepad n;
  n.AddFolder("A");
  n.AddFolder("B");
  n.Record(0, 0, kModePh, At(9, 0, 0));
  n.Record(0, 1, kModePh, At(8, 0, 0));
  n.Record(1, 0, kModeMv, At(7, 0, 0));
  n.IndexAndSort();
  // After a synchronisation: slot 1 emptied, folder B cleared; the index stays.
  n.Model().folders[0].records[1].mode = kModeEmpty;
  n.Model().folders[1].records[0].mode = kModeDeleted;
  // A stray entry naming slot 25 and one beyond the folders are never shown.
  ByDateIndex& index = n.Model().byDate;
  index.folder[3] = 0;
  index.record[3] = 25;
  index.folder[4] = 70;
  index.record[4] = 0;
  n.Model().folders[0].records[25].mode = kModePh;
  n.Fill();
  ASSERT_EQ(n.byDate.RowCount(), 2);
  EXPECT_EQ(n.byDate.Cell(3, 1), "14.02.2026 09:00:00");
  EXPECT_EQ(RowToRecord(n.Model(), ViewKind::kByDate, 1)->record, 0);
  EXPECT_EQ(n.byFolders.RowCount(), 2);
}

// Each view keeps its own marks on the records, wherever a rebuild puts them.
TEST(FillGrids, MarksStayWithTheirRecordsAcrossARebuild) {
  Notepad n;
  n.AddFolder("A");
  n.AddFolder("B");
  n.Record(0, 0, kModePh, At(12, 0, 0));
  n.Record(1, 0, kModePh, At(11, 0, 0));
  n.Record(1, 2, kModePh, At(10, 0, 0));
  n.IndexAndSort();
  n.Fill();
  NoMarkHooks hooks;
  MarkViews views{n.byFolders, n.byDate};
  NotepadModel& m = n.Model();
  ToggleMark(m, ViewKind::kByFolders, n.byFolders, {2, 2, 2}, ViewMark::kSave);  // B slot 0
  MarkForDeletion(ViewKind::kByFolders, 3, views, m, hooks);                     // B slot 2
  ToggleMark(m, ViewKind::kByDate, n.byDate, {2, 2, 2}, ViewMark::kPrint);       // B slot 0
  ToggleMark(m, ViewKind::kByDate, n.byDate, {3, 3, 3}, ViewMark::kSave);        // A slot 0
  n.byFolders.SetCell(kSpareColumn, 2, "x");

  // Folder A is cleared: every row of B moves up one place.
  m.folders[0].state = FolderState::kClearPending;
  n.Fill();
  ASSERT_EQ(n.byFolders.RowCount(), 3);
  EXPECT_EQ(n.byFolders.Cell(kMarkColumn, 1), "S");
  EXPECT_EQ(n.byFolders.Cell(kMarkColumn, 2), "D");
  EXPECT_EQ(n.byFolders.Cell(kSpareColumn, 1), "");
  ASSERT_EQ(n.byDate.RowCount(), 3);
  EXPECT_EQ(n.byDate.Cell(kMarkColumn, 1), "D");
  EXPECT_EQ(n.byDate.Cell(kMarkColumn, 2), "P");
  EXPECT_EQ(m.folders[1].records[0].MarkIn(ViewKind::kByFolders), ViewMark::kSave);
  EXPECT_EQ(m.folders[1].records[0].MarkIn(ViewKind::kByDate), ViewMark::kPrint);
  // A's "S" went with its record, and does not come back with it.
  m.folders[0].state = FolderState::kAsRead;
  n.Fill();
  EXPECT_EQ(n.byDate.Cell(kMarkColumn, 3), "");
  EXPECT_EQ(m.folders[0].records[0].MarkIn(ViewKind::kByDate), ViewMark::kNone);

  // Emptied marks stay empty.
  ToggleMark(m, ViewKind::kByFolders, n.byFolders, {2, 2, 2}, ViewMark::kSave);
  n.Fill();
  EXPECT_EQ(n.byFolders.Cell(kMarkColumn, 2), "");
  EXPECT_EQ(n.byFolders.Cell(kMarkColumn, 3), "D");
}

TEST(FillGrids, RebuildAnnouncesItselfOncePerGrid) {
  Notepad n;
  n.AddFolder("A");
  for (int s = 0; s < kShownSlots; ++s) n.Record(0, s, kModePh, At(1, 0, s));
  n.IndexAndSort();
  int folderChanges = 0, dateChanges = 0;
  n.byFolders.SetChangedCallback([&] { ++folderChanges; });
  n.byDate.SetChangedCallback([&] { ++dateChanges; });
  n.Fill();
  EXPECT_EQ(folderChanges, 1);
  EXPECT_EQ(dateChanges, 1);
  EXPECT_EQ(n.byFolders.RowCount(), 26);
}

TEST(SortByDateIndex, AscendingAndStableForEqualDates) {
  ByDateIndex index;
  const double dates[] = {5, 3, 5, 1, 3, 5};
  for (int i = 0; i < 6; ++i) {
    index.folder[i] = i / 3;
    index.record[i] = i % 3;
    index.dateTime[i] = dates[i];
  }
  SortByDateIndex(index);
  const int expectFolder[] = {1, 0, 1, 0, 0, 1};
  const int expectRecord[] = {0, 1, 1, 0, 2, 2};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(index.folder[i], expectFolder[i]) << i;
    EXPECT_EQ(index.record[i], expectRecord[i]) << i;
  }
  EXPECT_EQ(index.dateTime[0], 1);
  EXPECT_EQ(index.dateTime[5], 5);
  EXPECT_EQ(index.folder[6], -1);
}

// Issue 13: a folder name from the instrument holding CR LF or other control
// characters keeps every view row one line; the stored bytes stay.
TEST(FillGrids, ControlCharactersInFolderNamesShowAsBlanks) {
  Notepad n;
  n.AddFolder("A\r\nB\tC\x7F");
  n.Record(0, 0, kModePh, At(9, 0, 0));
  n.IndexAndSort();
  n.Fill();
  EXPECT_EQ(n.byFolders.Cell(3, 1), "A  B C ");
  EXPECT_EQ(n.byDate.Cell(4, 1), "A  B C ");
  EXPECT_EQ(std::string(n.Model().folders[0].name), "A\r\nB\tC\x7F");
}

// The by-date index holds every record a notepad can hold, so each record of
// a full notepad is in the by-date view and can be marked from either view.
TEST(FillGrids, AFullNotepadIsWholeInTheByDateViewAndEveryRecordCanBeMarked) {
  Notepad n;
  for (int f = 0; f < kMaxFolders; ++f) {
    n.AddFolder("F");
    for (int s = 0; s < kShownSlots; ++s) n.Record(f, s, kModePh, At(0, 0, 0) + f * 30 + s);
  }
  n.IndexAndSort();
  n.Fill();
  ASSERT_EQ(n.byFolders.RowCount() - 1, 2500);
  ASSERT_EQ(n.byDate.RowCount() - 1, 2500);
  NoMarkHooks hooks;
  MarkViews views{n.byFolders, n.byDate};
  MarkForDeletion(ViewKind::kByFolders, 2500, views, n.Model(), hooks);
  EXPECT_EQ(n.byFolders.Cell(kMarkColumn, 2500), "D");
  EXPECT_EQ(n.byDate.Cell(kMarkColumn, 2500), "D");
  EXPECT_EQ(n.Model().folders[99].records[24].deletionMark, 1);
}

// On an empty notepad the empty row 1 is no record: never marked, so never exported or printed.
TEST(FillGrids, TheEmptyRowOfAnEmptyNotepadIsNeverMarked) {
  Notepad n;
  n.Fill();
  ToggleMark(n.Model(), ViewKind::kByFolders, n.byFolders, {1, 1, 1}, ViewMark::kSave);
  ToggleMark(n.Model(), ViewKind::kByDate, n.byDate, {1, 1, 1}, ViewMark::kPrint);
  EXPECT_EQ(n.byFolders.Cell(kMarkColumn, 1), "");
  EXPECT_EQ(n.byDate.Cell(kMarkColumn, 1), "");
  n.byDate.SetCell(kMarkColumn, 1, "P");  // a letter set by hand is no mark
  const std::vector<int> rows = MarkedRows(n.Model(), ViewKind::kByDate, ViewMark::kPrint);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(CollectReportTexts(n.byDate, rows, "И. И.").Entries(), 1) << "the header only";
}

TEST(SortByDateIndex, FullIndexAndRecordsWithTheSameStampInTheView) {
  ByDateIndex index;
  for (int i = 0; i < kByDateCapacity; ++i) {
    index.folder[i] = i;
    index.record[i] = 0;
    index.dateTime[i] = kByDateCapacity - i / 2;  // pairs of equal dates, descending
  }
  SortByDateIndex(index);
  for (int i = 0; i < kByDateCapacity; i += 2) {
    EXPECT_EQ(index.folder[i] + 1, index.folder[i + 1]) << i;
    if (i > 0) EXPECT_LE(index.dateTime[i - 1], index.dateTime[i]) << i;
  }

  Notepad n;
  n.AddFolder("A");
  n.AddFolder("B");
  n.Record(1, 4, kModePh, At(7, 7, 7));
  n.Record(0, 9, kModeMv, At(7, 7, 7));
  n.Record(0, 2, kModePh25, At(7, 7, 7));
  n.IndexAndSort();
  n.Fill();
  // Equal stamps keep the index's folder-then-slot order: A/2, A/9, B/4.
  EXPECT_EQ(n.byDate.Cell(5, 1), "pH25");
  EXPECT_EQ(n.byDate.Cell(5, 2), "mV");
  EXPECT_EQ(n.byDate.Cell(4, 3), "B");
  EXPECT_EQ(RowToRecord(n.Model(), ViewKind::kByDate, 1)->record, 2);
  EXPECT_EQ(RowToRecord(n.Model(), ViewKind::kByDate, 2)->record, 9);
  EXPECT_EQ(RowToRecord(n.Model(), ViewKind::kByDate, 3)->folder, 1);
}

TEST(ShownRecords, RecordsInModes2And3StillEnableThePopups) {
  Notepad n;
  n.AddFolder("A", FolderState::kRewritePending);
  n.Record(0, 24, kModePh25, At(1, 1, 1));
  n.Record(0, 25, kModePh, At(1, 1, 1));  // never counted
  EXPECT_EQ(CountShownRecords(n.Model()), 1);
  EXPECT_TRUE(PopupItemsEnabled(n.Model()));
  n.Record(0, 24, kModeMv, At(1, 1, 1));
  EXPECT_TRUE(PopupItemsEnabled(n.Model()));
  n.Model().folders[0].state = FolderState::kRemovePending;
  EXPECT_FALSE(PopupItemsEnabled(n.Model()));
}

}  // namespace
}  // namespace orti
