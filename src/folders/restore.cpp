#include "folders/restore.h"

#include <algorithm>
#include <cstring>

#include "folders/backup_store.h"
#include "folders/folder_writer.h"
#include "folders/sync_backup.h"
#include "folders/write_verification.h"

namespace orti {
namespace {

constexpr int kBarStep = 10;

int RecordCount(const uint8_t* block, size_t size) {
  int count = 0;
  for (int s = 0; s < kShownSlots; ++s) {
    const size_t at = kFolderHeaderSize + static_cast<size_t>(kRecordSize) * s;
    if (at < size && block[at] >= kModePh && block[at] <= kModeMv) ++count;
  }
  return count;
}

std::string Describe(const BackupFolder& f, const uint8_t* block, size_t size) {
  const std::string name = f.name.empty() ? kFreeFolderName : f.name;
  return "«" + name + "», записей " + std::to_string(RecordCount(block, size));
}

// The block a backup entry leaves in the instrument: a free slot's header
// is followed by erased bytes.
FolderBlock ExpectedBlock(const BackupFolder& f) {
  FolderBlock block;
  block.fill(0xFF);
  std::copy(f.block.begin(), f.block.end(), block.begin());
  return block;
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
    const BackupFolder nowEntry = BackupFolderOf(saved.folder, saved.address, now.data());
    plan.description += "№ " + std::to_string(saved.folder) + ": сейчас " +
                        Describe(nowEntry, now.data(), now.size()) + "; в копии " +
                        Describe(saved, saved.block.data(), saved.block.size()) + "\n";
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
    now.push_back(BackupFolderOf(saved.folder, saved.address, plan.current[j].data()));
  }
  WriteBackup backup;
  std::string error;
  if (!backup.BeginWith(model.identity, c.state, std::move(now), kReasonRestore + plan.path,
                        error)) {
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
  bool allRestored = true;
  for (int j = 0; j < count; ++j) {
    const BackupFolder& saved = plan.backup.folders[plan.entries[j]];
    const int f = saved.folder;
    stepBar.Reset();
    const FolderBlock expected = ExpectedBlock(saved);
    const bool ok = WriteBlockBytes(write, f, saved.block) && VerifyFolder(write, f, expected);
    NotepadFolder& folder = model.folders[f];
    LoadFolderFromBlock(folder, expected, today, c.dialogs);
    if (ok) {
      backup.MarkWritten(f);
    } else {
      // The backup's records are in the model now; the next synchronisation
      // writes them again, and the block read before stays what a backup saves.
      allRestored = false;
      std::memcpy(folder.knownBlock, plan.current[j].data(), kFolderBlockSize);
      folder.writeFailed = true;
      folder.pending = 1;
      folder.state = folder.state == FolderState::kFree ? FolderState::kRemovePending
                                                        : FolderState::kRewritePending;
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
                               "?\n\n" + plan.description + "\n" + kIdentityNotice;
  if (c.dialogs.Ask(question, kRestoreCaption, DialogIcon::kWarning, DialogButtons::kYesNo) !=
      DialogAnswer::kYes) {
    return;
  }
  RunRestore(c, plan, today);
}

void OfferRestoreAfterCut(const SyncContext& c, double today) {
  const std::vector<std::string> files = BackupFiles(c.state.programFolder);
  if (files.empty()) return;
  Backup newest;
  std::string error;
  if (!LoadBackup(files.back(), newest, error) || newest.completed ||
      newest.identity != IdentityText(c.model.identity) ||
      newest.notepadAddress != c.model.identity.notepadAddress) {
    return;
  }
  std::vector<int> differing;
  for (const BackupFolder& saved : newest.folders) {
    if (saved.written || saved.folder >= c.model.folderCount || saved.folder >= kMaxFolders)
      continue;
    const NotepadFolder& folder = c.model.folders[saved.folder];
    if (!folder.readInFull) continue;
    if (!std::equal(saved.block.begin(), saved.block.end(), folder.knownBlock)) {
      differing.push_back(saved.folder);
    }
  }
  if (differing.empty()) return;
  RestoreFromBackup(c, files.back(), differing, today,
                    "Запись в прибор была прервана: папки " + FolderList(c.model, differing) +
                        " отличаются от сохранённых перед записью.\n\n");
}

}  // namespace orti
