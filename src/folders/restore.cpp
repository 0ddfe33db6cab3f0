#include "folders/restore.h"

#include <algorithm>
#include <cstring>

#include "folders/backup_store.h"
#include "folders/change_capture.h"
#include "folders/folder_writer.h"
#include "folders/sync_backup.h"
#include "folders/write_verification.h"
#include "model/folder_bytes.h"

namespace orti {
namespace {

constexpr int kBarStep = 10;

std::string Describe(const std::vector<uint8_t>& block) {
  const std::string name = BlockNameUtf8(block);
  return "«" + (name.empty() ? std::string(kFreeFolderName) : name) + "», записей " +
         std::to_string(CountBlockRecords(block.data(), block.size()));
}

// The block saved bytes leave in the instrument: a free slot's header is
// followed by erased bytes.
FolderBlock WholeBlock(const std::vector<uint8_t>& saved) {
  FolderBlock block;
  block.fill(0xFF);
  std::copy(saved.begin(), saved.end(), block.begin());
  return block;
}

// The instrument's block, as last read in full, is `saved`.
bool Holds(const NotepadFolder& folder, const std::vector<uint8_t>& saved) {
  return !saved.empty() && std::equal(saved.begin(), saved.end(), folder.knownBlock);
}

// The folder as `block` would leave it, pending until written: the next
// synchronisation writes it, and the block the instrument holds now (its
// known block) stays what a backup saves.
void PendBlock(NotepadFolder& folder, const FolderBlock& block, double today, Dialogs& dialogs) {
  FolderBlock now;
  std::copy(folder.knownBlock, folder.knownBlock + kFolderBlockSize, now.begin());
  LoadFolderFromBlock(folder, block, today, dialogs);
  std::copy(now.begin(), now.end(), folder.knownBlock);
  folder.pending = 1;
  if (folder.state == FolderState::kFree) {
    EmptyAllSlots(folder);
    folder.state = FolderState::kRemovePending;
  } else {
    folder.state = FolderState::kRewritePending;
  }
}

bool Refuse(std::string& refusal, const std::string& text) {
  refusal = text;
  return false;
}

}  // namespace

bool PrepareRestore(const SyncContext& c, const std::string& path, const std::vector<int>& folders,
                    RestorePlan& plan, std::string& refusal) {
  plan = RestorePlan{};
  plan.path = path;
  std::string error;
  if (!LoadBackup(path, plan.backup, error)) {
    return Refuse(refusal, "Файл " + path + " не прочитан как резервная копия: " + error);
  }
  const NotepadModel& model = c.model;
  if (plan.backup.identity != IdentityText(model.identity) ||
      plan.backup.notepadAddress != model.identity.notepadAddress) {
    return Refuse(refusal, "Резервная копия сделана для другого прибора (" + plan.backup.identity +
                               ", адрес блокнота " + std::to_string(plan.backup.notepadAddress) +
                               ")");
  }
  for (size_t e = 0; e < plan.backup.folders.size(); ++e) {
    const int f = plan.backup.folders[e].folder;
    if (folders.empty() || std::find(folders.begin(), folders.end(), f) != folders.end()) {
      plan.entries.push_back(e);
    }
  }
  for (int f : folders) {
    const bool held = std::any_of(plan.backup.folders.begin(), plan.backup.folders.end(),
                                  [f](const BackupFolder& b) { return b.folder == f; });
    if (!held) return Refuse(refusal, "В резервной копии нет папки № " + std::to_string(f));
  }
  if (plan.entries.empty()) return Refuse(refusal, "В резервной копии нет папок");

  for (size_t e : plan.entries) {
    const BackupFolder& saved = plan.backup.folders[e];
    if (saved.folder >= model.folderCount || saved.folder >= kMaxFolders ||
        saved.address != FolderBase(model.identity.notepadAddress, saved.folder)) {
      return Refuse(refusal, "Папки № " + std::to_string(saved.folder) + " нет в блокноте прибора");
    }
    FolderBlock now{};
    if (ReadFolderBlock(c.link, model.identity.notepadAddress, saved.folder, now) !=
        ExchangeStatus::kReply) {
      return Refuse(refusal,
                    std::string(kMsgNotReadInFull) + "\nПапка № " + std::to_string(saved.folder));
    }
    plan.current.push_back(now);
    plan.description += "№ " + std::to_string(saved.folder) + ": сейчас " +
                        Describe(SavedBytes(now.data())) + "; в копии " + Describe(saved.block) +
                        "\n";
  }
  return true;
}

SyncOutcome RunRestore(const SyncContext& c, const RestorePlan& plan, double today) {
  SyncOutcome outcome;
  if (c.state.link.busy) return outcome;
  BusyGuard busy(c.state);
  outcome.confirmed = true;
  NotepadModel& model = c.model;

  std::vector<BackupFolder> now;
  for (size_t j = 0; j < plan.entries.size(); ++j) {
    const BackupFolder& saved = plan.backup.folders[plan.entries[j]];
    now.push_back(BackupFolderOf(saved.folder, saved.address, plan.current[j].data(),
                                 WholeBlock(saved.block).data()));
  }
  WriteBackup backup;
  std::string error;
  // What the instrument holds now is saved whatever it is: the restore is the way back.
  if (!backup.BeginWith(model.identity, c.state, std::move(now), kReasonRestore + plan.path, error,
                        false)) {
    c.dialogs.ShowMessage(std::string(kMsgBackupFailed) + error);
    outcome.refused = true;
    return outcome;
  }
  outcome.backupFile = backup.Path();

  c.progress.Open(kWritingTitle);
  const int count = static_cast<int>(plan.entries.size());
  c.progress.SetFolderBar(0, kBarStep * count);
  StepBar stepBar(c.progress);
  const FolderWrite write{model, c.link, c.log, stepBar, outcome.failedRequests};
  InstrumentWatch watch(c);
  std::vector<InstrumentChange> changes;
  bool allRestored = true;
  for (int j = 0; j < count; ++j) {
    const BackupFolder& saved = plan.backup.folders[plan.entries[j]];
    const int f = saved.folder;
    stepBar.Reset();
    const FolderBlock expected = WholeBlock(saved.block);
    const bool tried = watch.MayWrite();
    const bool ok =
        tried && WriteBlockBytes(write, f, saved.block) && VerifyFolder(write, f, expected);
    changes.push_back(RestoreChange(model, c.state, f, plan.current[j].data(), expected.data(),
                                    plan.path, outcome.backupFile));
    changes.back().outcome = ok ? ChangeOutcome::kRestored : ChangeOutcome::kFailed;
    NotepadFolder& folder = model.folders[f];
    if (ok) {
      LoadFolderFromBlock(folder, expected, today, c.dialogs);
      backup.MarkWritten(f);
    } else {
      // The backup's records are in the model now; the next synchronisation
      // writes them again.
      allRestored = false;
      std::memcpy(folder.knownBlock, plan.current[j].data(), kFolderBlockSize);
      PendBlock(folder, expected, today, c.dialogs);
      folder.writeFailed = true;
      (tried ? outcome.failedFolders : outcome.leftFolders).push_back(f);
      if (tried) watch.FolderFailed();
    }
    c.progress.SetFolderBar(kBarStep * (j + 1), kBarStep * count);
  }
  // Every folder the cut left unwritten is back: that backup has done its work.
  const bool coversUnwritten = std::all_of(
      plan.backup.folders.begin(), plan.backup.folders.end(), [&](const BackupFolder& b) {
        return b.written || std::any_of(plan.entries.begin(), plan.entries.end(), [&](size_t e) {
                 return plan.backup.folders[e].folder == b.folder;
               });
      });
  if (allRestored && coversUnwritten) MarkBackupCompleted(plan.path);
  FinishWriting(c, backup, outcome);
  RecordChanges(c, changes);
  return outcome;
}

void RestoreFromBackup(const SyncContext& c, const std::string& path,
                       const std::vector<int>& folders, double today, const std::string& preface) {
  if (c.state.link.busy) return;
  RestorePlan plan;
  std::string refusal;
  if (!PrepareRestore(c, path, folders, plan, refusal)) {
    c.dialogs.ShowMessage(refusal);
    return;
  }
  const std::string question = preface + "Восстановить папки из резервной копии\n" + path +
                               "?\n\n" + plan.description + "\n" + kIdentityNotice +
                               "\n\nНет - не восстанавливать; резервная копия остаётся.";
  if (c.dialogs.Ask(question, kRestoreCaption, DialogIcon::kWarning, DialogButtons::kYesNo) !=
      DialogAnswer::kYes) {
    return;
  }
  RunRestore(c, plan, today);
}

void OfferRestoreAfterCut(const SyncContext& c, double today) {
  const std::vector<std::string> files = BackupFiles(c.state.programFolder);
  if (files.empty()) return;
  const std::string& path = files.back();
  Backup newest;
  std::string error;
  if (!LoadBackup(path, newest, error) || newest.completed ||
      newest.identity != IdentityText(c.model.identity) ||
      newest.notepadAddress != c.model.identity.notepadAddress) {
    return;
  }
  // Each folder left unwritten holds what its write meant to leave (written
  // after all), what it held before (not written: nothing to restore), or
  // neither (cut off half-way: the restore is offered).
  std::vector<int> differing;
  std::string unwritten;  // the folders named as they were
  bool marked = false, settled = true;
  for (BackupFolder& saved : newest.folders) {
    if (saved.written) continue;
    if (saved.folder >= c.model.folderCount || saved.folder >= kMaxFolders ||
        !c.model.folders[saved.folder].readInFull) {
      settled = false;  // nothing known of it now
      continue;
    }
    NotepadFolder& folder = c.model.folders[saved.folder];
    if (Holds(folder, saved.goal)) {
      saved.written = marked = true;
    } else if (!Holds(folder, saved.block)) {
      differing.push_back(saved.folder);
    } else if (saved.goal.empty()) {
      settled = false;  // an older backup: what was meant is not known
    } else {
      unwritten += (unwritten.empty() ? "" : ", ") + FolderLabel(c.model, saved.folder);
      PendBlock(folder, WholeBlock(saved.goal), today, c.dialogs);
    }
  }
  newest.completed = settled && differing.empty();
  if (marked || newest.completed) SaveBackup(path, newest);
  if (!unwritten.empty()) {
    IndexStoredRecords(c.model);
    c.views.SortByDateIndex();
    c.views.FillGrids();
    c.dialogs.ShowMessage("Запись в прибор была прервана до изменения папок " + unwritten +
                          ": в приборе их прежнее содержимое, восстанавливать нечего.\n"
                          "Изменения снова ожидают записи в прибор.");
  }
  if (differing.empty()) return;
  RestoreFromBackup(c, path, differing, today,
                    "Запись в прибор была прервана: папки " + FolderList(c.model, differing) +
                        " отличаются от сохранённых перед записью.\n\n");
}

}  // namespace orti
