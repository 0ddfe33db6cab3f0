// A rewrite against the simulated instrument with one fault at every write
// position: refused, unanswered, acknowledged but not carried out, carried
// out but not answered, or the instrument gone. Afterwards every record not
// marked for deletion is in the instrument or still pending in the console,
// and the backup puts the block back byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "device/identify.h"
#include "device/identity_display.h"
#include "device/memory_map.h"
#include "folders/backup_store.h"
#include "folders/folder_compaction.h"
#include "folders/folder_fixture.h"
#include "folders/restore.h"
#include "platform/date_time.h"
#include "support/sim_rig.h"
#include "workflow/reading.h"

namespace orti::test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kSmallNotepad = kNotepadEnd - 8 * kFolderBlockSize;
constexpr uint32_t kSeed = 11;
const double kToday = EncodeDate(2026, 12, 8);

// One run of the console: identify, read, and what the synchronisation needs.
struct Console {
  explicit Console(SimRig& rig) : rig(rig) {
    QuietReadingHooks hooks;
    ReadingContext context{sync, hooks, kToday};
    EXPECT_TRUE(Identify(rig.link, rig.state, model->identity, rig.log));
    ShowIdentity(model->identity, totalData, rig.state);
    EXPECT_EQ(RunReading(context), 0);
  }
  SimRig& rig;
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  ScriptedDialogs dialogs;
  RecordingProgress progress;
  RecordingViews views;
  StringGrid totalData{2, 1, 1};
  SyncContext sync{{*model, rig.state, totalData, rig.link, rig.log, dialogs}, progress, views};
};

Bytes BlockOf(const SimRig& rig, int f) {
  const uint8_t* b = rig.instrument.Memory().data() + FolderBase(kSmallNotepad, f);
  return Bytes(b, b + kFolderBlockSize);
}

bool InBlock(const Bytes& block, const Bytes& record) {
  for (int s = 0; s < kShownSlots; ++s) {
    const auto slot = block.begin() + kFolderHeaderSize + kRecordSize * s;
    if (std::equal(record.begin(), record.end(), slot)) return true;
  }
  return false;
}

bool InModel(const NotepadFolder& folder, const Bytes& record) {
  for (int s = 0; s < kShownSlots; ++s) {
    if (folder.records[s].HoldsRecord() &&
        std::equal(record.begin(), record.end(), StoredSlotBytes(folder, s))) {
      return true;
    }
  }
  return false;
}

sim::FaultRule Rule(const std::string& text) {
  sim::FaultRule rule;
  std::string error;
  EXPECT_TRUE(sim::ParseFaultRule(text, rule, error)) << error;
  return rule;
}

int ShownRecords(const NotepadFolder& folder) {
  int n = 0;
  for (int s = 0; s < kShownSlots; ++s) n += folder.records[s].HoldsRecord();
  return n;
}

TEST(WriteFaults, NoRecordIsLostAndTheBackupRestoresTheBlockAtEveryWritePosition) {
  // Rules as orti415-sim takes them; "%" is the write count.
  const struct {
    const char* rule;
    bool retried;  // every attempt of that exchange fails
  } kinds[] = {
      {"error,on=write,nth=%", false}, {"no-reply,on=write,nth=%", true},
      {"unapplied,nth=%", false},      {"unanswered,nth=%", false},
      {"gone,nth=%", false},
  };
  // A folder of five records loses its second: erase, header, four records.
  SimRig probe(kSeed, kSmallNotepad);
  Console first(probe);
  int folder = -1;
  for (int f = 1; f < first.model->folderCount && folder < 0; ++f) {
    if (ShownRecords(first.model->folders[f]) >= 3) folder = f;
  }
  ASSERT_GT(folder, 0);
  const int writes = 2 + ShownRecords(first.model->folders[folder]) - 1;

  int verifiedFailures = 0;
  for (const auto& kind : kinds) {
    for (int at = 1; at <= writes; ++at) {
      std::string text = kind.rule;
      text.replace(text.find('%'), 1, std::to_string(at));
      SCOPED_TRACE(text);
      SimRig rig(kSeed, kSmallNotepad);
      // An acknowledged write that was not carried out: the console's own
      // read-back must find it, not an instrument that refuses the next write.
      const bool acknowledgedOnly = text.rfind("unapplied", 0) == 0;
      rig.instrument.SetStrictErase(!acknowledgedOnly);
      Console console(rig);
      NotepadFolder& f = console.model->folders[folder];
      const Bytes original = BlockOf(rig, folder);
      int marked = -1;
      for (int s = 0; s < kShownSlots && marked < 0; ++s) {
        if (f.records[s].HoldsRecord() && s > 0) marked = s;
      }
      std::vector<Bytes> kept;
      for (int s = 0; s < kShownSlots; ++s) {
        if (f.records[s].HoldsRecord() && s != marked) {
          kept.emplace_back(StoredSlotBytes(f, s), StoredSlotBytes(f, s) + kRecordSize);
        }
      }
      f.records[marked].deletionMark = 1;
      f.state = FolderState::kRewritePending;
      f.pending = 1;
      for (int attempt = 0; attempt < (kind.retried ? kAttemptsPerExchange : 1); ++attempt) {
        // The write count goes on with each attempt of the same exchange.
        std::string each = kind.rule;
        each.replace(each.find('%'), 1, std::to_string(at + attempt));
        rig.faults.Add(Rule(each));
      }
      console.dialogs.Expect(DialogAnswer::kYes);
      const SyncOutcome outcome = SynchroniseFolders(console.sync);

      // Every kept record is in the instrument, or the folder is still
      // pending with it.
      const Bytes now = BlockOf(rig, folder);
      for (const Bytes& record : kept) {
        const bool inInstrument = InBlock(now, record);
        const bool pending = f.writeFailed && f.pending == 1 && InModel(f, record);
        EXPECT_TRUE(inInstrument || pending);
      }
      EXPECT_EQ(f.writeFailed, outcome.failedRequests > 0);
      if (outcome.failedRequests > 0) {
        // The backup is named in the warning and holds the block as it was.
        EXPECT_NE(console.dialogs.Calls().back().text.find(outcome.backupFile), std::string::npos);
        Backup backup;
        std::string error;
        ASSERT_TRUE(LoadBackup(outcome.backupFile, backup, error)) << error;
        EXPECT_FALSE(backup.completed);
        ASSERT_EQ(backup.folders.size(), 1u);
        EXPECT_EQ(backup.folders[0].block, original);
        // A later run, the faults gone, puts it back byte for byte.
        SimRig later(rig.instrument.Memory(), kSmallNotepad);
        Console again(later);
        RestorePlan plan;
        ASSERT_TRUE(PrepareRestore(again.sync, outcome.backupFile, {}, plan, error)) << error;
        EXPECT_EQ(RunRestore(again.sync, plan, kToday).failedRequests, 0);
        EXPECT_EQ(BlockOf(later, folder), original);
        EXPECT_FALSE(again.model->folders[folder].writeFailed);
        ASSERT_TRUE(LoadBackup(outcome.backupFile, backup, error)) << error;
        EXPECT_TRUE(backup.completed) << "its folder was restored";
      } else {
        EXPECT_FALSE(f.pending);
      }
      if (acknowledgedOnly) {
        // Only reading back finds it.
        EXPECT_TRUE(f.writeFailed);
        const auto lines = rig.log.Lines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
          return l.find("Проверка записи папки " + FolderNameUtf8(f)) == 0 &&
                 l.find("прочитано не то, что записано") != std::string::npos;
        }));
        ++verifiedFailures;
      }
    }
  }
  EXPECT_EQ(verifiedFailures, writes);
}

// A write cut off after its last request, or before its erase: the next run
// has nothing to restore and completes the backup; in the second case the
// change waits to be written again.
TEST(WriteFaults, ACutWithNothingHalfWrittenOffersNoRestore) {
  constexpr int kFull = 2;
  auto deleteFirst = [](Console& console) {
    NotepadFolder& f = console.model->folders[kFull];
    f.records[0].deletionMark = 1;
    f.state = FolderState::kRewritePending;
    f.pending = 1;
    console.dialogs.Expect(DialogAnswer::kYes);
    return SynchroniseFolders(console.sync);
  };
  SimRig clean(kSeed, kSmallNotepad);
  const Bytes before = BlockOf(clean, kFull);
  Console first(clean);
  ASSERT_EQ(deleteFirst(first).failedRequests, 0);
  const Bytes goal = BlockOf(clean, kFull);
  const std::string sent = clean.port.Sent();
  int writes = 0;
  for (size_t at = sent.find(":0112"); at != std::string::npos; at = sent.find(":0112", at + 1)) {
    ++writes;
  }

  for (const bool written : {true, false}) {
    SCOPED_TRACE(written);
    SimRig rig(kSeed, kSmallNotepad);
    Console console(rig);
    if (written) {
      rig.faults.Add(Rule("gone,nth=" + std::to_string(writes)));
    } else {
      rig.SilenceExchange(sim::RequestKind::kWrite, 1);
    }
    const SyncOutcome cut = deleteFirst(console);
    ASSERT_GT(cut.failedRequests, 0);
    EXPECT_EQ(BlockOf(rig, kFull), written ? goal : before);

    SimRig later(rig.instrument.Memory(), kSmallNotepad);
    later.state.programFolder = rig.home.Path();  // where the backup is
    Console next(later);
    OfferRestoreAfterCut(next.sync, kToday);
    const NotepadFolder& now = next.model->folders[kFull];
    EXPECT_EQ(now.pending, written ? 0 : 1);
    const FolderBlock meant = WrittenBlock(now);
    EXPECT_EQ(Bytes(meant.begin(), meant.end()), goal);
    // No question: at most the notice that the change waits to be written.
    ASSERT_EQ(next.dialogs.Calls().size(), written ? 0u : 1u);
    if (!written) EXPECT_EQ(next.dialogs.Calls()[0].buttons, DialogButtons::kOk);
    Backup backup;
    std::string error;
    ASSERT_TRUE(LoadBackup(cut.backupFile, backup, error)) << error;
    EXPECT_TRUE(backup.completed);
  }
}

}  // namespace
}  // namespace orti::test
