#include "workflow/reading.h"

#include <string>

#include "workflow/notepad_summary.h"

namespace orti {

namespace {
constexpr const char* kRefreshCaption = "Обновление данных";

// Keeps commands that read or change the model out while the reading runs.
class BusyGuard {
 public:
  explicit BusyGuard(ConsoleState& state) : state_(state) { state_.busy = true; }
  ~BusyGuard() { state_.busy = false; }

 private:
  ConsoleState& state_;
};
}  // namespace

int RunReading(ReadingContext& c) {
  BusyGuard busy(c.state);
  c.hooks.OpenProgress();
  const int failures = ReadNotepad(c.link, c.model, c.today, c.log, c.hooks, c.dialogs);
  if (c.archive) c.archive->AddReading(c.model, c.state);
  const int leftOut = AppendSummaryAndIndex(c.model, c.totalData);
  if (leftOut > 0) {
    c.log.AddLogLine("Записей в блокноте больше " + std::to_string(kByDateCapacity) + ": " +
                     std::to_string(leftOut) + " не показаны в списке по датам");
  }
  c.hooks.RebuildViews();
  c.hooks.CloseProgress();
  c.hooks.FillFolderList();
  c.hooks.WaitTicks();
  return failures;
}

void RefreshNotepad(ReadingContext& c) {
  if (c.state.busy) return;
  if (c.state.offline) {
    c.dialogs.ShowMessage("Нет подключения к прибору");
    return;
  }
  if (c.dialogs.Ask("Данные в компьютере будут синхронизированы\n"
                    "с данными блокнота\n"
                    "Продолжить?",
                    kRefreshCaption, DialogIcon::kQuestion,
                    DialogButtons::kYesNo) != DialogAnswer::kYes) {
    return;
  }
  if (AnyFolderPending(c.model) && c.dialogs.Ask("Данные в компьютере были изменены\n"
                                                 "При синхронизации эти данные будут утрачены\n"
                                                 "Продолжить?",
                                                 kRefreshCaption, DialogIcon::kWarning,
                                                 DialogButtons::kYesNo) != DialogAnswer::kYes) {
    return;
  }
  for (int f = 0; f < c.model.folderCount && f < kMaxFolders; ++f) {
    NotepadFolder& folder = c.model.folders[f];
    folder.pending = 0;
    // A free slot stays free (and a folder only planned goes back to being
    // one) until its header is read again: a reading that fails must not
    // leave it looking like a folder named "<Свободно>".
    if (folder.state == FolderState::kFree || folder.state == FolderState::kCreatePending) {
      MakeFree(folder);
    } else {
      folder.state = FolderState::kAsRead;
    }
  }
  c.hooks.ClearViews();
  c.log.AddLogLine("");
  c.log.AddLogLine("Запрос папок прибора");
  c.totalData.SetRowCount(c.state.summaryRowCount);
  RunReading(c);
}

}  // namespace orti
