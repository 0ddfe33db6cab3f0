// Folder operations written into a simulated instrument, checked in its memory
// and by reading the notepad again: the frames may look right and still leave
// the wrong bytes behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/identify.h"
#include "device/identity_display.h"
#include "device/memory_map.h"
#include "device/write_frames.h"
#include "folders/folder_fixture.h"
#include "folders/folder_operations.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "support/sim_rig.h"
#include "workflow/reading.h"

namespace orti::test {
namespace {

using Bytes = std::vector<uint8_t>;

// Eight folder blocks: small enough to read often, large enough for the
// generator's deleted record (folder 0), full folder (2) and free last folder.
constexpr uint16_t kSmallNotepad = kNotepadEnd - 8 * kFolderBlockSize;
constexpr uint32_t kSeed = 11;
constexpr int kFull = 2;  // every slot used: deleted records and slot 25 among them

// The generated notepad read into the console, with its folders page.
struct FolderSession {
  FolderSession() : rig(kSeed, kSmallNotepad) {
    Load(*model);
    page.items.resize(static_cast<size_t>(model->folderCount));
    for (int f = 0; f < model->folderCount; ++f) page.items[f] = FolderNameUtf8(model->folders[f]);
  }

  // Identifies the instrument and reads its whole notepad into `into`.
  void Load(NotepadModel& into) {
    StringGrid totalData{2, 1, 1};
    ScriptedDialogs quiet;
    QuietReadingHooks hooks;
    ReadingContext context{
        {into, rig.state, totalData, rig.link, rig.log, quiet}, hooks, EncodeDate(2026, 12, 8)};
    ASSERT_TRUE(Identify(rig.link, rig.state, into.identity, rig.log));
    ShowIdentity(into.identity, totalData, rig.state);
    ASSERT_EQ(RunReading(context), 0);
  }
  std::unique_ptr<NotepadModel> ReadAgain() {
    auto fresh = std::make_unique<NotepadModel>();
    Load(*fresh);
    return fresh;
  }

  const uint8_t* Block(int f) const {
    return rig.instrument.Memory().data() + FolderBase(kSmallNotepad, f);
  }
  Bytes BlockBytes(int f, int from, int size) const {
    return Bytes(Block(f) + from, Block(f) + from + size);
  }
  Bytes SlotInMemory(int f, int s) const {
    return BlockBytes(f, kFolderHeaderSize + kRecordSize * s, kRecordSize);
  }
  static Bytes SlotInModel(const NotepadModel& m, int f, int s) {
    const uint8_t* b = StoredSlotBytes(m.folders[f], s);
    return Bytes(b, b + kRecordSize);
  }
  bool Erased(int f, int from, int to) const {
    return std::all_of(Block(f) + from, Block(f) + to, [](uint8_t b) { return b == 0xFF; });
  }
  // The header the instrument must hold for `utf8Name`, its sum worked out here.
  static Bytes ExpectedHeader(const std::string& utf8Name) {
    Bytes h(kFolderHeaderSize, 0xFF);
    const std::string cp = Utf8ToCp1251(utf8Name);
    std::copy(cp.begin(), cp.end(), h.begin());
    unsigned sum = 17;
    for (int i = 0; i < kFolderNameChars; ++i) sum += h[i];
    h[16] = static_cast<uint8_t>(sum & 0xFF);
    h[17] = static_cast<uint8_t>((sum >> 8) & 0xFF);
    return h;
  }
  Bytes Header(int f) const { return BlockBytes(f, 0, kFolderHeaderSize); }

  static int ShownRecords(const NotepadModel& m, int f) {
    int n = 0;
    for (int s = 0; s < kShownSlots; ++s) n += m.folders[f].records[s].HoldsRecord();
    return n;
  }
  // The first folder after `after` in use with at least `records` shown records.
  int FolderWithRecords(int records, int after = 0) const {
    for (int f = after + 1; f < model->folderCount; ++f) {
      if (model->folders[f].state == FolderState::kAsRead && ShownRecords(*model, f) >= records)
        return f;
    }
    ADD_FAILURE() << "the generated notepad has no folder with " << records << " records";
    return 1;
  }
  // Slots 0..24 of folder f as a rewrite must leave them: the records the
  // views show, but the `dropped` ones (marked for deletion), first in their
  // order; nothing else is written, so every other slot stays erased.
  std::vector<Bytes> ClosedUp(int f, const std::vector<int>& dropped) const {
    std::vector<Bytes> kept;
    for (int s = 0; s < kShownSlots; ++s) {
      const bool drop = std::find(dropped.begin(), dropped.end(), s) != dropped.end();
      if (!drop && model->folders[f].records[s].HoldsRecord())
        kept.push_back(SlotInModel(*model, f, s));
    }
    return kept;
  }
  void ExpectSlots(int f, const std::vector<Bytes>& slots) const {
    for (int s = 0; s < kShownSlots; ++s) {
      const Bytes expected = s < static_cast<int>(slots.size()) && slots[s][0] != 0xFF
                                 ? slots[s]
                                 : Bytes(kRecordSize, 0xFF);
      EXPECT_EQ(SlotInMemory(f, s), expected) << "folder " << f << " slot " << s;
    }
  }
  void MarkForDeletion(int f, std::initializer_list<int> slots) {
    for (int s : slots) {
      ASSERT_TRUE(model->folders[f].records[s].HoldsRecord()) << "slot " << s;
      model->folders[f].records[s].deletionMark = 1;
    }
    model->folders[f].state = FolderState::kRewritePending;
    model->folders[f].pending = 1;
  }
  void Select(int f, const std::string& name = "") {
    page.selected = f;
    page.name = name;
  }
  // The invariant every operation keeps, for every folder.
  void ExpectKeptInStep() const {
    for (int g = 0; g < model->folderCount; ++g) {
      EXPECT_TRUE(WritesWhatItShows(model->folders[g])) << "folder " << g;
    }
  }
  size_t Warnings() const {
    return static_cast<size_t>(
        std::count_if(dialogs.Calls().begin(), dialogs.Calls().end(),
                      [](const DialogCall& c) { return c.buttons == DialogButtons::kOk; }));
  }

  SimRig rig;
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  ScriptedDialogs dialogs;
  RecordingProgress progress;
  RecordingViews views;
  FakeFolderPage page;
  StringGrid journal{4, 2, 1};
  StringGrid totalData{2, 1, 1};
  SyncContext sync{{*model, rig.state, totalData, rig.link, rig.log, dialogs}, progress, views};
  FolderOperations operations{sync, page, journal, [] { return EncodeDate(2026, 12, 8); }};
};

class InstrumentFolders : public ::testing::Test, public FolderSession {};

TEST_F(InstrumentFolders, GeneratedNotepadHasWhatTheseTestsNeed) {
  EXPECT_EQ(model->folderCount, 8);
  EXPECT_EQ(model->folders[7].state, FolderState::kFree);
  // Folder 2 uses every slot; some of them hold records the instrument deleted.
  for (int s = 0; s < kSlotsPerFolder; ++s) EXPECT_NE(SlotInModel(*model, 2, s)[0], 0xFF) << s;
  EXPECT_LT(ShownRecords(*model, 2), kShownSlots);
  EXPECT_EQ(model->folders[0].records[1].mode, kModeDeleted);
}

TEST_F(InstrumentFolders, CreateWritesANamedHeaderIntoAnErasedBlock) {
  const int f = FirstFreeSlot(*model);
  ASSERT_GT(f, 0);
  Select(-1, "новая проба 1");
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnNewFolderClick();

  // Upper-casing turns "я" (0xFF, which would end the name) into "Я".
  EXPECT_EQ(Header(f), ExpectedHeader("НОВАЯ ПРОБА 1"));
  EXPECT_TRUE(Erased(f, kFolderHeaderSize, kFolderBlockSize));
  EXPECT_EQ(model->folders[f].pending, 0);

  const auto fresh = ReadAgain();
  EXPECT_EQ(FolderNameUtf8(fresh->folders[f]), "НОВАЯ ПРОБА 1");
  EXPECT_EQ(fresh->folders[f].state, FolderState::kAsRead);
  EXPECT_EQ(ShownRecords(*fresh, f), 0);
}

TEST_F(InstrumentFolders, RenameRewritesTheHeaderAndKeepsTheRecordsClosedUp) {
  const int f = FolderWithRecords(3);
  const std::vector<Bytes> expected = ClosedUp(f, {});
  const int shown = ShownRecords(*model, f);
  Select(f, "переименована");
  dialogs.Expect(DialogAnswer::kYes);  // rename?
  dialogs.Expect(DialogAnswer::kYes);  // write it now?
  operations.BtnRenameFolderClick();

  EXPECT_EQ(Header(f), ExpectedHeader("ПЕРЕИМЕНОВАНА"));
  ExpectSlots(f, expected);
  EXPECT_EQ(Warnings(), 0u);

  const auto fresh = ReadAgain();
  EXPECT_EQ(FolderNameUtf8(fresh->folders[f]), "ПЕРЕИМЕНОВАНА");
  EXPECT_EQ(ShownRecords(*fresh, f), shown);
}

TEST_F(InstrumentFolders, RemoveErasesTheWholeBlock) {
  const int f = FolderWithRecords(1);
  const Bytes untouched = BlockBytes(f + 1, 0, kFolderBlockSize);
  Select(f);
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnRemoveFolderClick();

  EXPECT_TRUE(Erased(f, 0, kFolderBlockSize));
  EXPECT_EQ(BlockBytes(f + 1, 0, kFolderBlockSize), untouched);

  const auto fresh = ReadAgain();
  EXPECT_EQ(fresh->folders[f].state, FolderState::kFree);
  EXPECT_EQ(FolderNameUtf8(fresh->folders[f]), kFreeFolderName);
  EXPECT_EQ(ShownRecords(*fresh, f), 0);
}

TEST_F(InstrumentFolders, ClearKeepsTheNameAndEmptiesTheSlotsOfTheFirstFolder) {
  const Bytes header = Header(0);
  const std::string name = FolderNameUtf8(model->folders[0]);
  ASSERT_GT(ShownRecords(*model, 0), 0);
  Select(0);
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnClearFolderClick();

  EXPECT_EQ(Header(0), header);
  EXPECT_EQ(Header(0), ExpectedHeader(name));
  EXPECT_TRUE(Erased(0, kFolderHeaderSize, kFolderBlockSize));

  const auto fresh = ReadAgain();
  EXPECT_EQ(FolderNameUtf8(fresh->folders[0]), name);
  EXPECT_EQ(fresh->folders[0].state, FolderState::kAsRead);
  EXPECT_EQ(ShownRecords(*fresh, 0), 0);
}

TEST_F(InstrumentFolders, ClearAllEmptiesEveryFolderInUseAndLeavesFreeBlocksErased) {
  std::vector<Bytes> headers;
  for (int f = 0; f < model->folderCount; ++f) headers.push_back(Header(f));
  Select(-1);
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnClearFoldersClick();

  const auto fresh = ReadAgain();
  for (int f = 0; f < model->folderCount; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(Header(f), headers[f]);
    EXPECT_TRUE(Erased(f, kFolderHeaderSize, kFolderBlockSize));
    EXPECT_EQ(FolderNameUtf8(fresh->folders[f]), page.items[f]);
    EXPECT_EQ(ShownRecords(*fresh, f), 0);
  }
  EXPECT_EQ(fresh->byDate.Count(), 0);
}

TEST_F(InstrumentFolders, DeletedRecordsAreGoneAndTheRestCloseUpInTheirOrder) {
  const int f = FolderWithRecords(5);
  const Bytes header = Header(f);
  // Marks on the second and fourth records the folder shows.
  std::vector<int> holding;
  for (int s = 0; s < kShownSlots; ++s)
    if (model->folders[f].records[s].HoldsRecord()) holding.push_back(s);
  const std::vector<Bytes> expected = ClosedUp(f, {holding[1], holding[3]});
  const int shown = ShownRecords(*model, f);
  MarkForDeletion(f, {holding[1], holding[3]});
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnSyncroFoldersClick();

  EXPECT_EQ(Header(f), header);
  ExpectSlots(f, expected);
  EXPECT_EQ(ShownRecords(*model, f), shown - 2);
  // The by-date index names every record the folder now holds, in its new slot.
  int indexed = 0;
  for (int i = 0; i < model->byDate.Count(); ++i) {
    if (model->byDate.folder[i] != f) continue;
    ++indexed;
    EXPECT_TRUE(model->folders[f].records[model->byDate.record[i]].HoldsRecord());
  }
  EXPECT_EQ(indexed, shown - 2);

  const auto fresh = ReadAgain();
  EXPECT_EQ(ShownRecords(*fresh, f), shown - 2);
  for (int s = 0; s < kShownSlots; ++s) EXPECT_EQ(SlotInModel(*fresh, f, s), SlotInMemory(f, s));

  // A second deletion without reading in between writes what the instrument
  // now holds, closed up once more.
  const std::vector<Bytes> again = ClosedUp(f, {0});
  MarkForDeletion(f, {0});
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnSyncroFoldersClick();
  ExpectSlots(f, again);
  EXPECT_EQ(ShownRecords(*ReadAgain(), f), shown - 3);
}

TEST_F(InstrumentFolders, ARecordInTheLastSlotSurvivesARewrite) {
  const Bytes last = SlotInMemory(kFull, kLastSlot);
  ASSERT_NE(last[0], 0xFF);
  const std::vector<Bytes> expected = ClosedUp(kFull, {0});
  const int shown = ShownRecords(*model, kFull);
  MarkForDeletion(kFull, {0});
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnSyncroFoldersClick();

  EXPECT_EQ(SlotInMemory(kFull, kLastSlot), last);
  ExpectSlots(kFull, expected);
  const auto fresh = ReadAgain();
  EXPECT_EQ(SlotInModel(*fresh, kFull, kLastSlot), last);
  EXPECT_EQ(ShownRecords(*fresh, kFull), shown - 1);
}

TEST_F(InstrumentFolders, ARefusedHeaderWriteStaysPendingUntilTheNextSynchronisation) {
  const int f = FolderWithRecords(2);
  const std::vector<Bytes> expected = ClosedUp(f, {});
  rig.ErrorReply(sim::RequestKind::kWrite, 2);  // the header after the erase
  Select(f, "ВТОРАЯ ПОПЫТКА");
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnRenameFolderClick();

  EXPECT_EQ(Warnings(), 1u);
  // Nothing more went in after the refused header.
  EXPECT_TRUE(Erased(f, 0, kFolderBlockSize));
  EXPECT_EQ(model->folders[f].pending, 1);
  EXPECT_EQ(model->folders[f].state, FolderState::kRewritePending);
  // A fresh reading sees a free block: the rename is not in the instrument yet.
  EXPECT_EQ(ReadAgain()->folders[f].state, FolderState::kFree);

  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnSyncroFoldersClick();
  EXPECT_EQ(Warnings(), 1u);
  EXPECT_EQ(model->folders[f].pending, 0);
  EXPECT_EQ(Header(f), ExpectedHeader("ВТОРАЯ ПОПЫТКА"));
  ExpectSlots(f, expected);
  const auto fresh = ReadAgain();
  EXPECT_EQ(FolderNameUtf8(fresh->folders[f]), "ВТОРАЯ ПОПЫТКА");
  EXPECT_EQ(ShownRecords(*fresh, f), ShownRecords(*model, f));
}

TEST_F(InstrumentFolders, AnUnansweredEraseLeavesTheBlockAndTheRemovalPending) {
  const int f = FolderWithRecords(1);
  const Bytes before = BlockBytes(f, 0, kFolderBlockSize);
  rig.SilenceExchange(sim::RequestKind::kWrite, 1);
  Select(f);
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnRemoveFolderClick();

  EXPECT_EQ(BlockBytes(f, 0, kFolderBlockSize), before);
  EXPECT_EQ(model->folders[f].pending, 1);
  EXPECT_EQ(model->folders[f].state, FolderState::kRemovePending);
  EXPECT_EQ(Warnings(), 1u);

  dialogs.Expect(DialogAnswer::kYes);
  operations.BtnSyncroFoldersClick();
  EXPECT_TRUE(Erased(f, 0, kFolderBlockSize));
  EXPECT_EQ(model->folders[f].pending, 0);
  EXPECT_EQ(ReadAgain()->folders[f].state, FolderState::kFree);
}

// What the console shows: each folder's name and its shown records' bytes.
std::vector<std::pair<std::string, std::vector<Bytes>>> Shown(const NotepadModel& m) {
  std::vector<std::pair<std::string, std::vector<Bytes>>> shown;
  for (int f = 0; f < m.folderCount; ++f) {
    shown.emplace_back(FolderNameUtf8(m.folders[f]), std::vector<Bytes>());
    const FolderState state = m.folders[f].state;
    if (state != FolderState::kAsRead && state != FolderState::kRewritePending) continue;
    for (int s = 0; s < kShownSlots; ++s) {
      if (m.folders[f].records[s].HoldsRecord())
        shown.back().second.push_back(FolderSession::SlotInModel(m, f, s));
    }
  }
  return shown;
}

// One working session each, as a new user would try it, then a rename: the
// block is the header, the records the console showed closed up, and slot 25
// as kept (erased by a clear, removal or creation); every other folder stays
// as the session left it, and a fresh reading shows what the console showed.
TEST(InstrumentSessions, EachLeavesTheBlockTheConsoleShows) {
  struct Step {
    void (FolderOperations::*click)();  // none: F5
    int folder;
    const char* answers;  // 'Y' or 'N', in order
  };
  using Ops = FolderOperations;
  const Step clear{&Ops::BtnClearFolderClick, kFull, "YY"}, refresh{nullptr, 0, ""},
      clearAll{&Ops::BtnClearFoldersClick, -1, "YY"},
      remove{&Ops::BtnRemoveFolderClick, kFull, "YY"}, create{&Ops::BtnNewFolderClick, -1, "Y"},
      deleteNo{&Ops::BtnSyncroFoldersClick, kFull, "N"};
  const std::vector<Step> sessions[] = {
      {clear}, {clearAll}, {remove, refresh, create}, {create}, {deleteNo}};
  for (const auto& steps : sessions) {
    SCOPED_TRACE("session " + std::to_string(&steps - sessions));
    FolderSession t;
    const Bytes lastSlot = t.SlotInMemory(kFull, kLastSlot);
    int f = kFull;
    for (const Step& step : steps) {
      if (!step.click) {
        t.Load(*t.model);
        continue;
      }
      if (step.click == create.click) f = FirstFreeSlot(*t.model);
      if (step.click == deleteNo.click) t.MarkForDeletion(kFull, {3});
      for (const char* a = step.answers; *a; ++a) {
        t.dialogs.Expect(*a == 'Y' ? DialogAnswer::kYes : DialogAnswer::kNo);
      }
      t.Select(step.folder, "новая");
      (t.operations.*step.click)();
      t.ExpectKeptInStep();
    }
    std::vector<Bytes> left;
    for (int g = 0; g < t.model->folderCount; ++g) left.push_back(t.BlockBytes(g, 0, 512));
    t.Select(f, "переименована");
    t.dialogs.Expect(DialogAnswer::kYes);
    t.dialogs.Expect(DialogAnswer::kYes);
    t.operations.BtnRenameFolderClick();
    t.ExpectKeptInStep();
    EXPECT_EQ(t.Warnings(), 0u);

    const auto shown = Shown(*t.model);
    Bytes expected = FolderSession::ExpectedHeader("ПЕРЕИМЕНОВАНА");
    for (const Bytes& record : shown[f].second)
      expected.insert(expected.end(), record.begin(), record.end());
    expected.resize(kLastSlotOffset, 0xFF);
    const Bytes slot25 = steps[0].click == deleteNo.click ? lastSlot : Bytes(kRecordSize, 0xFF);
    expected.insert(expected.end(), slot25.begin(), slot25.end());
    left[f] = expected;
    for (int g = 0; g < t.model->folderCount; ++g) EXPECT_EQ(t.BlockBytes(g, 0, 512), left[g]) << g;
    EXPECT_EQ(Shown(*t.ReadAgain()), shown);
  }
}

}  // namespace
}  // namespace orti::test
