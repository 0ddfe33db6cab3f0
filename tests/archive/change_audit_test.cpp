// Every change the console makes to an instrument, made through the real
// write-back against the simulated instrument, leaves one audit row that
// holds the records the instrument held before, and the archived
// measurements it removed say who removed them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_keeper.h"
#include "device/identify.h"
#include "device/identity_display.h"
#include "folders/folder_fixture.h"
#include "folders/folder_names.h"
#include "folders/folder_operations.h"
#include "folders/journal.h"
#include "folders/restore.h"
#include "model/folder_bytes.h"
#include "platform/atomic_file.h"
#include "platform/date_time.h"
#include "support/sim_rig.h"
#include "workflow/reading.h"

namespace orti::test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kSmallNotepad = kNotepadEnd - 8 * kFolderBlockSize;  // the last one free
constexpr int kFull = 2;  // every slot, 25 included, holds a record
constexpr const char* kOperator = "Петров И.И.";
constexpr const char* kWorkstation = "ПК-ЛАБ-3";

// The workstation name for the tests of this file only.
class WorkstationVariable {
 public:
  WorkstationVariable() { setenv("ORTI415_WORKSTATION", kWorkstation, 1); }
  ~WorkstationVariable() { unsetenv("ORTI415_WORKSTATION"); }
};

// A console with its archive: the notepad read and archived, the folders
// page's operations and the synchronisation recording into the archive.
struct AuditedConsole {
  explicit AuditedConsole(const std::string& fault = "") {
    rig.state.session.operatorFullName = kOperator;
    EXPECT_TRUE(Identify(rig.link, rig.state, model->identity, rig.log));
    ShowIdentity(model->identity, totalData, rig.state);
    QuietReadingHooks hooks;
    ReadingContext reading{sync, hooks, LocalNow()};
    reading.archive = &keeper;
    EXPECT_EQ(RunReading(reading), 0);
    sync.changes = &keeper;
    InitJournal(journal);
    page.items.assign(static_cast<size_t>(model->folderCount), "");
    if (!fault.empty()) {
      sim::FaultRule rule;
      std::string error;
      EXPECT_TRUE(sim::ParseFaultRule(fault, rule, error)) << error;
      rig.faults.Add(rule);
    }
  }

  std::vector<InstrumentChange> Changes() {
    std::vector<InstrumentChange> changes;
    keeper.Store()->ScanChanges({}, [&](const InstrumentChange& c) {
      changes.push_back(c);
      return true;
    });
    return changes;
  }
  std::vector<Measurement> Removed() {
    ArchiveFilter removed;
    removed.removedOnly = true;
    return keeper.Store()->Query(removed);
  }

  WorkstationVariable workstation;
  SimRig rig{11, kSmallNotepad};
  ScriptedDialogs dialogs;
  ArchiveKeeper keeper{rig.home.File("archive.sqlite"), rig.log,
                       [this]() -> Dialogs& { return dialogs; }};
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  RecordingProgress progress;
  RecordingViews views;
  StringGrid totalData{2, 1, 1};
  SyncContext sync{{*model, rig.state, totalData, rig.link, rig.log, dialogs}, progress, views};
  FakeFolderPage page;
  StringGrid journal;
  FolderOperations operations{sync, page, journal, LocalNow};
};

// Marks slot 0 of the full folder for deletion, as the views do, and writes.
void DeleteFirstRecord(AuditedConsole& c) {
  NotepadFolder& f = c.model->folders[kFull];
  f.records[0].deletionMark = 1;
  f.state = FolderState::kRewritePending;
  f.pending = 1;
  c.dialogs.Expect(DialogAnswer::kYes);
  SynchroniseFolders(c.sync);
}

// The folders a change writes, and the slots of one of them it empties.
using FoldersOf = std::function<std::vector<int>(const NotepadModel&)>;
using SlotsOf = std::function<std::vector<int>(const NotepadFolder&)>;

std::vector<int> InUse(const NotepadModel& model) {
  std::vector<int> folders;
  for (int f = 0; f < model.folderCount; ++f) {
    if (model.folders[f].state != FolderState::kFree) folders.push_back(f);
  }
  return folders;
}

std::vector<int> Filled(const NotepadFolder& folder) {
  std::vector<int> slots;
  for (int s = 0; s < kSlotsPerFolder; ++s) {
    if (folder.records[s].HoldsRecord()) slots.push_back(s);
  }
  return slots;
}

TEST(ChangeAudit, EachChangeKindLeavesOneRowWithTheRecordsItRemovedAndMarksThem) {
  const FoldersOf full = [](const NotepadModel&) { return std::vector<int>{kFull}; };
  const SlotsOf none = [](const NotepadFolder&) { return std::vector<int>{}; };
  const struct {
    const char* name;
    ChangeKind kind;
    FoldersOf folders;
    SlotsOf slots;
    std::function<void(AuditedConsole&)> make;
  } cases[] = {
      {"delete", ChangeKind::kDelete, full,
       [](const NotepadFolder&) { return std::vector<int>{0}; }, DeleteFirstRecord},
      {"rename", ChangeKind::kRename, [](const NotepadModel&) { return std::vector<int>{1}; }, none,
       [](AuditedConsole& c) {
         c.page.selected = 1;
         c.page.name = "НОВОЕ ИМЯ";
         c.dialogs.Expect(DialogAnswer::kYes);
         c.dialogs.Expect(DialogAnswer::kYes);
         c.operations.BtnRenameFolderClick();
       }},
      {"create", ChangeKind::kCreate,
       [](const NotepadModel& m) { return std::vector<int>{FirstFreeSlot(m)}; }, none,
       [](AuditedConsole& c) {
         c.page.name = "НОВАЯ";
         c.dialogs.Expect(DialogAnswer::kYes);
         c.operations.BtnNewFolderClick();
       }},
      {"remove", ChangeKind::kRemove, full, Filled,
       [](AuditedConsole& c) {
         c.page.selected = kFull;
         c.dialogs.Expect(DialogAnswer::kYes);
         c.dialogs.Expect(DialogAnswer::kYes);
         c.operations.BtnRemoveFolderClick();
       }},
      {"clear", ChangeKind::kClear, full, Filled,
       [](AuditedConsole& c) {
         c.page.selected = kFull;
         c.dialogs.Expect(DialogAnswer::kYes);
         c.dialogs.Expect(DialogAnswer::kYes);
         c.operations.BtnClearFolderClick();
       }},
      {"clear all", ChangeKind::kClearAll, InUse, Filled,
       [](AuditedConsole& c) {
         c.page.selected = 0;
         c.dialogs.Expect(DialogAnswer::kYes);
         c.dialogs.Expect(DialogAnswer::kYes);
         c.operations.BtnClearFoldersClick();
       }},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    AuditedConsole c;
    const std::vector<int> folders = test.folders(*c.model);
    ASSERT_FALSE(folders.empty());
    // What the instrument held before, as read.
    std::vector<std::vector<Bytes>> expected;
    size_t shownRemoved = 0;
    for (int f : folders) {
      expected.emplace_back();
      for (int s : test.slots(c.model->folders[f])) {
        const uint8_t* bytes = StoredSlotBytes(c.model->folders[f], s);
        expected.back().emplace_back(bytes, bytes + kRecordSize);
        shownRemoved += s < kShownSlots;
      }
    }
    const double before = LocalNow();
    test.make(c);
    EXPECT_EQ(c.dialogs.Unanswered(), 0u);

    const std::vector<InstrumentChange> changes = c.Changes();
    ASSERT_EQ(changes.size(), folders.size());
    for (size_t i = 0; i < changes.size(); ++i) {
      const InstrumentChange& change = changes[i];
      EXPECT_EQ(change.kind, test.kind);
      EXPECT_EQ(change.folderIndex, folders[i]);
      EXPECT_EQ(change.records, expected[i]);
      EXPECT_EQ(change.outcome, ChangeOutcome::kDone);
      EXPECT_TRUE(FileExists(change.backup)) << change.backup;
      EXPECT_EQ(change.operatorName, kOperator);
      EXPECT_EQ(change.workstation, kWorkstation);
      EXPECT_GE(change.at, before - 1.0 / 86400);
    }
    // The archived measurements those records are stay, removed by the change.
    const std::vector<Measurement> removed = c.Removed();
    EXPECT_EQ(removed.size(), shownRemoved);
    for (const Measurement& m : removed) {
      EXPECT_EQ(m.removedBy, kOperator);
      ASSERT_TRUE(m.removedAt.has_value());
      EXPECT_DOUBLE_EQ(*m.removedAt, changes[0].at);
    }
  }
}

TEST(ChangeAudit, AFailedWriteIsRecordedAsFailedRemovesNothingAndItsRestoreIsRecordedAsRestored) {
  // The erase is carried out, the header is refused: the block is left erased.
  AuditedConsole c("error,on=write,nth=2");
  const uint8_t* first = StoredSlotBytes(c.model->folders[kFull], 0);
  const Bytes held(first, first + kRecordSize);
  DeleteFirstRecord(c);
  c.dialogs.Forget(kSyncCaption);
  std::vector<InstrumentChange> changes = c.Changes();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].kind, ChangeKind::kDelete);
  EXPECT_EQ(changes[0].outcome, ChangeOutcome::kFailed);
  EXPECT_EQ(changes[0].records, std::vector<Bytes>{held});
  EXPECT_TRUE(c.Removed().empty()) << "nothing is marked removed by a write that failed";

  RestorePlan plan;
  std::string error;
  ASSERT_TRUE(PrepareRestore(c.sync, changes[0].backup, {}, plan, error)) << error;
  EXPECT_EQ(RunRestore(c.sync, plan, LocalNow()).failedRequests, 0);
  changes = c.Changes();
  ASSERT_EQ(changes.size(), 2u);
  const InstrumentChange& restore = changes[1];
  EXPECT_EQ(restore.kind, ChangeKind::kRestore);
  EXPECT_EQ(restore.outcome, ChangeOutcome::kRestored);
  EXPECT_EQ(restore.folderIndex, kFull);
  EXPECT_TRUE(restore.records.empty()) << "the erased block held nothing";
  EXPECT_NE(restore.backup, changes[0].backup);
  EXPECT_TRUE(FileExists(restore.backup)) << restore.backup;
  EXPECT_NE(restore.detail.find(changes[0].backup), std::string::npos) << restore.detail;
}

}  // namespace
}  // namespace orti::test
