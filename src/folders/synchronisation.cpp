#include "folders/synchronisation.h"

#include <string>

#include "device/identify.h"
#include "folders/change_capture.h"
#include "folders/folder_compaction.h"
#include "folders/folder_names.h"
#include "folders/folder_writer.h"
#include "folders/sync_backup.h"
#include "folders/write_verification.h"
#include "model/folder_bytes.h"

namespace orti {

namespace {

constexpr int kBarStep = 10;

int FolderLimit(const NotepadModel& model) {
  return model.folderCount < kMaxFolders ? model.folderCount : kMaxFolders;
}

bool Writes(const NotepadFolder& folder) {
  return folder.pending == 1 && folder.state != FolderState::kFree &&
         folder.state != FolderState::kAsRead;
}

void ClearDeletionMarks(NotepadFolder& folder) {
  for (int s = 0; s < kShownSlots; ++s) folder.records[s].deletionMark = 0;
}

// A removed folder is a free slot, as a reading would show it.
void DropPending(NotepadFolder& folder) {
  folder.pending = 0;
  folder.state = IsFreeSlot(folder) ? FolderState::kFree : FolderState::kAsRead;
  ClearDeletionMarks(folder);
}

// "Нет" drops the changes never attempted; a folder whose writing failed
// keeps its pending state, as its records are nowhere else.
void DropUnattempted(NotepadModel& model) {
  for (int f = 0; f < FolderLimit(model); ++f) {
    NotepadFolder& folder = model.folders[f];
    if (folder.writeFailed) {
      ClearDeletionMarks(folder);
    } else {
      DropPending(folder);
    }
  }
}

// The records written away are gone from the model as well.
void ApplyDeletions(NotepadFolder& folder) {
  for (int s = 0; s < kShownSlots; ++s) {
    if (folder.records[s].deletionMark) EmptySlot(folder, s);
  }
}

// Pending folders that were not read in full: never erased. Their changes
// are dropped, as "Нет" drops them.
bool RefuseUnread(const SyncContext& c) {
  bool refused = false;
  for (int f = 0; f < FolderLimit(c.model); ++f) {
    NotepadFolder& folder = c.model.folders[f];
    if (!Writes(folder) || folder.readInFull) continue;
    DropPending(folder);
    refused = true;
  }
  if (refused) c.dialogs.ShowMessage(kMsgNotReadInFull);
  return refused;
}

// A folder whose bytes and records are out of step would write other than
// it shows: nothing is sent, and it stays as it is.
bool RefuseNotAsShown(const SyncContext& c, const std::vector<int>& folders) {
  std::vector<int> differing;
  for (int f : folders) {
    if (!WritesWhatItShows(c.model.folders[f])) differing.push_back(f);
  }
  if (differing.empty()) return false;
  c.dialogs.ShowMessage(kMsgNotAsShown + FolderList(c.model, differing));
  return true;
}

}  // namespace

std::vector<int> WriteFailedFolders(const NotepadModel& model) {
  std::vector<int> folders;
  for (int f = 0; f < FolderLimit(model); ++f) {
    if (model.folders[f].writeFailed) folders.push_back(f);
  }
  return folders;
}

std::string FolderList(const NotepadModel& model, const std::vector<int>& folders) {
  std::string list;
  for (int f : folders) list += (list.empty() ? "" : ", ") + FolderLabel(model, f);
  return list;
}

SyncOutcome SynchroniseFolders(const SyncContext& c, bool ask, ChangeKind clearKind) {
  SyncOutcome outcome;
  if (c.state.link.busy) return outcome;
  BusyGuard busy(c.state);
  NotepadModel& model = c.model;

  if (RefuseUnread(c)) {
    outcome.refused = true;
    return outcome;
  }
  if (ask && c.dialogs.Ask(kSyncQuestion, kSyncQuestionCaption, DialogIcon::kWarning,
                           DialogButtons::kYesNo) != DialogAnswer::kYes) {
    DropUnattempted(model);
    return outcome;
  }
  outcome.confirmed = true;

  const int folders = FolderLimit(model);
  std::vector<int> toWrite;
  for (int i = 0; i < folders; ++i) {
    if (Writes(model.folders[i])) toWrite.push_back(i);
  }
  if (RefuseNotAsShown(c, toWrite)) {
    outcome.refused = true;
    return outcome;
  }
  WriteBackup backup;
  if (!toWrite.empty()) {
    std::string error;
    if (!backup.Begin(model, c.state, toWrite, kReasonSync, error)) {
      c.dialogs.ShowMessage(std::string(kMsgBackupFailed) + error);
      outcome.refused = true;
      return outcome;
    }
    outcome.backupFile = backup.Path();
  }
  std::vector<InstrumentChange> changes;
  for (int f : toWrite) {
    changes.push_back(FolderChange(model, c.state, f, clearKind, outcome.backupFile));
  }

  c.progress.Open(kWritingTitle);
  int folderBar = 0;
  c.progress.SetFolderBar(folderBar, kBarStep * folders);
  StepBar stepBar(c.progress);
  const FolderWrite write{model, c.link, c.log, stepBar, outcome.failedRequests};
  InstrumentWatch watch(c);
  for (int i = 0; i < folders; ++i) {
    stepBar.Reset();
    NotepadFolder& folder = model.folders[i];
    if (Writes(folder)) {
      if (!watch.MayWrite()) {
        // Left pending with its records, as a folder whose writing failed.
        folder.writeFailed = true;
        outcome.leftFolders.push_back(i);
      } else {
        const FolderBlock goal = WrittenBlock(folder);
        const bool ok = WriteFolder(write, i, goal) && VerifyFolder(write, i, goal);
        folder.writeFailed = !ok;
        if (ok) {
          std::copy(goal.begin(), goal.end(), folder.knownBlock);
          backup.MarkWritten(i);
        } else {
          outcome.failedFolders.push_back(i);
          watch.FolderFailed();
        }
      }
    }
    folderBar += kBarStep;
    c.progress.SetFolderBar(folderBar, kBarStep * folders);
  }

  for (int i = 0; i < folders; ++i) ApplyDeletions(model.folders[i]);
  ClearViewMarks(model);
  // A folder whose writing failed stays pending with its closed-up image, so
  // that the next synchronisation writes it again.
  for (int i = 0; i < folders; ++i) {
    if (!model.folders[i].writeFailed) DropPending(model.folders[i]);
  }
  for (InstrumentChange& change : changes) {
    if (model.folders[change.folderIndex].writeFailed) change.outcome = ChangeOutcome::kFailed;
  }
  FinishWriting(c, backup, outcome);
  RecordChanges(c, changes);
  return outcome;
}

void RecordChanges(const SyncContext& c, const std::vector<InstrumentChange>& changes) {
  if (c.changes && !changes.empty()) c.changes->AddChanges(changes);
}

void FinishWriting(const SyncContext& c, WriteBackup& backup, const SyncOutcome& outcome) {
  backup.Settle(c.model, c.state);
  c.progress.Close();
  IndexStoredRecords(c.model);
  c.views.SortByDateIndex();
  c.views.FillGrids();
  if (outcome.failedRequests == 0 && outcome.leftFolders.empty()) return;
  std::string text = "Запись в прибор выполнена не полностью.\nНе выполнено запросов: " +
                     std::to_string(outcome.failedRequests) + "\n";
  if (!outcome.failedFolders.empty()) {
    text += "Не записаны папки: " + FolderList(c.model, outcome.failedFolders) + "\n";
  }
  if (!outcome.leftFolders.empty()) {
    text += "Прибор не отвечает, запись остановлена; не записаны также папки: " +
            FolderList(c.model, outcome.leftFolders) + "\n";
  }
  c.dialogs.Ask(text +
                    "Подробности - в протоколе работы программы.\nПрежнее содержимое папок "
                    "сохранено в файле\n" +
                    outcome.backupFile,
                kSyncCaption, DialogIcon::kWarning, DialogButtons::kOk);
}

bool InstrumentWatch::MayWrite() {
  if (lost_) return false;
  if (!check_) return true;
  check_ = false;
  DeviceIdentity answered;
  // The same instrument: another one behind the port is no place for these blocks.
  if (Identify(services_.link, services_.state, answered, services_.log) &&
      answered.notepadAddress == services_.model.identity.notepadAddress) {
    return true;
  }
  services_.log.AddLogLine(kLogInstrumentLost);
  lost_ = true;
  return false;
}

bool ConfirmPendingSync(const SyncContext& c) {
  if (c.dialogs.Ask(kPendingQuestion, kSyncCaption, DialogIcon::kWarning, DialogButtons::kYesNo) !=
      DialogAnswer::kYes) {
    return false;
  }
  // Folders whose writing failed keep their pending flag: the question comes again.
  SynchroniseFolders(c);
  return true;
}

bool ConfirmQuitWithUnwrittenFolders(const SyncContext& c) {
  const std::vector<int> failed = WriteFailedFolders(c.model);
  if (failed.empty()) return true;
  const std::string backupFile = c.state.session.unfinishedBackups.empty()
                                     ? std::string()
                                     : c.state.session.unfinishedBackups.back();
  const DialogAnswer answer =
      c.dialogs.Ask("Папки не записаны в прибор: " + FolderList(c.model, failed) +
                        ".\nИх прежнее содержимое сохранено в файле\n" + backupFile +
                        "\nДа - записать их и выйти\nНет - выйти без записи\nОтмена - не выходить",
                    kSyncCaption, DialogIcon::kWarning, DialogButtons::kYesNoCancel);
  if (answer == DialogAnswer::kNo) return true;
  if (answer != DialogAnswer::kYes) return false;
  SynchroniseFolders(c, false);
  return WriteFailedFolders(c.model).empty();
}

}  // namespace orti
