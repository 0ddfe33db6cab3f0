#include "folders/synchronisation.h"

#include <string>

#include "device/failure_report.h"
#include "device/frame_codec.h"
#include "device/write_frames.h"
#include "folders/folder_compaction.h"

namespace orti {

namespace {

constexpr int kBarStep = 10;
constexpr int kFolderSteps = 3;       // per step of a create, remove or clear
constexpr int kRewriteMaxSteps = 27;  // erase, header, preparation and the records
// The instrument puts its error code in the data byte after the function code;
// its low digit selects the device error text.
constexpr size_t kErrorCodePosition = 6;

// Sends one request and logs what went wrong; true when the instrument accepted it.
bool SendLogged(Exchanger& link, LogSink& log, const std::string& frame, const char* step,
                int& failedRequests) {
  const ExchangeStatus status = link.Exchange(frame);
  if (status == ExchangeStatus::kReply) return true;
  ++failedRequests;
  if (status == ExchangeStatus::kErrorReply) {
    log.AddLogLine(std::string(step) + kPieceErrorReply);
    ReportFailedReply(log, link.ReplyBuffer());
    log.AddLogLine(DeviceErrorText(BlockChar(link.Reply(), kErrorCodePosition)));
    return false;
  }
  log.AddLogLine(std::string(step) + kPieceNoReply);
  ReportFailedReply(log, link.ReplyBuffer());
  return false;
}

bool IsEmptySlot(const NotepadFolder& folder, int slot) {
  return StoredSlotBytes(folder, slot)[0] == kModeEmpty;
}

bool WriteRecords(const SyncContext& c, Exchanger& link, int i, StepBar& bar, int& failed) {
  NotepadFolder& folder = c.model.folders[i];
  CompactFolder(folder);
  const auto frames = BuildRecordFrames(c.model, i, FolderSlotImage(folder));
  bool ok = true;
  for (int s = 0; s < kShownSlots; ++s) {
    if (folder.records[s].deletionMark || IsEmptySlot(folder, s)) continue;
    if (SendLogged(link, c.log, frames[s], kStepRecords, failed)) {
      c.log.AddLogLine(std::string(kStepRecords) + kPieceOk);
    } else {
      ok = false;
    }
    bar.Advance(1);
  }
  // The erase also wiped slot 25, which no view shows; put back what the
  // instrument kept there.
  if (!IsEmptySlot(folder, kLastSlot)) {
    if (SendLogged(link, c.log, frames[kLastSlot], kStepRecords, failed)) {
      c.log.AddLogLine(std::string(kStepRecords) + kPieceOk);
    } else {
      ok = false;
    }
    bar.Advance(1);
  }
  return ok;
}

void ForEachFolder(NotepadModel& model, void (*action)(NotepadFolder&)) {
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) action(model.folders[f]);
}

void ClearDeletionMarks(NotepadFolder& folder) {
  for (int s = 0; s < kShownSlots; ++s) folder.records[s].deletionMark = 0;
}

void DropPending(NotepadFolder& folder) {
  folder.pending = 0;
  folder.state = FolderState::kAsRead;
  ClearDeletionMarks(folder);
}

// The records written away are gone from the model as well.
void ApplyDeletions(NotepadFolder& folder) {
  for (int s = 0; s < kShownSlots; ++s) {
    NotepadRecord& record = folder.records[s];
    if (!record.deletionMark) continue;
    StoredSlotBytes(folder, s)[0] = kModeEmpty;
    record.mode = kModeEmpty;
    record.deletionMark = 0;
  }
}

struct BusyGuard {
  explicit BusyGuard(ConsoleState& state) : state_(state) { state_.busy = true; }
  ~BusyGuard() { state_.busy = false; }
  ConsoleState& state_;
};

void WarnAboutFailures(Dialogs& dialogs, int failedRequests) {
  dialogs.Ask("Запись в прибор выполнена не полностью.\nНе выполнено запросов: " +
                  std::to_string(failedRequests) + "\nПодробности - в протоколе работы программы.",
              kSyncCaption, DialogIcon::kWarning, DialogButtons::kOk);
}

}  // namespace

void StepBar::Reset() {
  position_ = 0;
  progress_.SetStepBar(position_, maximum_);
}

void StepBar::SetMaximumSteps(int steps) {
  maximum_ = steps * kBarStep;
  progress_.SetStepBar(position_, maximum_);
}

void StepBar::Advance(int steps) {
  position_ += steps * kBarStep;
  if (position_ > maximum_) position_ = maximum_;
  progress_.SetStepBar(position_, maximum_);
}

bool WriteFolder(const SyncContext& c, Exchanger& link, int i, StepBar& bar, int& failed) {
  switch (c.model.folders[i].state) {
    case FolderState::kCreatePending: {
      bar.Advance(kFolderSteps);
      if (!SendLogged(link, c.log, BuildEraseFrame(c.model, i), kStepErase, failed)) return false;
      bar.Advance(kFolderSteps);
      const bool ok = SendLogged(link, c.log, BuildHeaderFrame(c.model, i), kStepNewFolder, failed);
      bar.Advance(kFolderSteps);
      return ok;
    }
    case FolderState::kRemovePending: {
      bar.Advance(kFolderSteps);
      const bool ok = SendLogged(link, c.log, BuildEraseFrame(c.model, i), kStepErase, failed);
      bar.Advance(kFolderSteps);
      return ok;
    }
    case FolderState::kClearPending: {
      bar.Advance(kFolderSteps);
      if (!SendLogged(link, c.log, BuildEraseFrame(c.model, i), kStepErase, failed)) return false;
      bar.Advance(kFolderSteps);
      const bool ok = SendLogged(link, c.log, BuildHeaderFrame(c.model, i), kStepOldName, failed);
      bar.Advance(kFolderSteps);
      return ok;
    }
    case FolderState::kRewritePending: {
      bar.SetMaximumSteps(kRewriteMaxSteps);
      bar.Advance(1);
      if (!SendLogged(link, c.log, BuildEraseFrame(c.model, i), kStepErase, failed)) return false;
      bar.Advance(1);
      // A failed header still leaves the records worth writing.
      const bool headerOk =
          SendLogged(link, c.log, BuildHeaderFrame(c.model, i), kStepRenamed, failed);
      bar.Advance(1);
      const bool recordsOk = WriteRecords(c, link, i, bar, failed);
      return headerOk && recordsOk;
    }
    case FolderState::kFree:
    case FolderState::kAsRead:
      break;
  }
  return true;
}

SyncOutcome SynchroniseFolders(const SyncContext& c) {
  SyncOutcome outcome;
  if (c.state.busy) return outcome;
  BusyGuard busy(c.state);
  NotepadModel& model = c.model;

  if (c.dialogs.Ask(kSyncQuestion, kSyncQuestionCaption, DialogIcon::kWarning,
                    DialogButtons::kYesNo) != DialogAnswer::kYes) {
    ForEachFolder(model, DropPending);
    return outcome;
  }
  outcome.confirmed = true;

  c.progress.Open(kWritingTitle);
  const int folders = model.folderCount < kMaxFolders ? model.folderCount : kMaxFolders;
  int folderBar = 0;
  c.progress.SetFolderBar(folderBar, kBarStep * folders);
  StepBar stepBar(c.progress);
  bool failedFolder[kMaxFolders] = {};
  for (int i = 0; i < folders; ++i) {
    stepBar.Reset();
    if (model.folders[i].pending == 1) {
      failedFolder[i] = !WriteFolder(c, c.link, i, stepBar, outcome.failedRequests);
    }
    folderBar += kBarStep;
    c.progress.SetFolderBar(folderBar, kBarStep * folders);
  }

  ForEachFolder(model, ApplyDeletions);
  c.views.ClearMarkColumns();
  // A folder whose writing failed stays pending with its closed-up image, so
  // that the next synchronisation writes it again.
  for (int i = 0; i < folders; ++i) {
    if (!failedFolder[i]) DropPending(model.folders[i]);
  }

  c.progress.Close();
  // Records moved to other slots when their folders were closed up: the
  // by-date index is made again from the model, so that the by-date view
  // shows every record the instrument now holds.
  IndexStoredRecords(model);
  c.views.SortByDateIndex();
  c.views.FillGrids();
  if (outcome.failedRequests > 0) WarnAboutFailures(c.dialogs, outcome.failedRequests);
  return outcome;
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

}  // namespace orti
