#include "workflow/reading.h"

#include <string>

#include "workflow/notepad_summary.h"

namespace orti {

namespace {
constexpr const char* kRefreshCaption = "Обновление данных";

// Names the folders whose writing failed and the backup that holds them.
std::string UnwrittenFoldersNote(const NotepadModel& model, const ConsoleState& state) {
  std::string names;
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    if (!model.folders[f].writeFailed) continue;
    names += (names.empty() ? "" : ", ") + FolderNameUtf8(model.folders[f]);
  }
  if (names.empty() || state.session.unfinishedBackups.empty()) return {};
  return "Прежнее содержимое папок, не записанных в прибор (" + names + "), сохранено в файле\n" +
         state.session.unfinishedBackups.back() + "\n";
}

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

bool RefreshNotepad(ReadingContext& c) {
  if (c.state.link.busy) return false;
  if (c.state.link.offline) {
    c.dialogs.ShowMessage("Нет подключения к прибору");
    return false;
  }
  if (c.dialogs.Ask("Данные в компьютере будут синхронизированы\n"
                    "с данными блокнота\n"
                    "Продолжить?",
                    kRefreshCaption, DialogIcon::kQuestion,
                    DialogButtons::kYesNo) != DialogAnswer::kYes) {
    return false;
  }
  if (AnyFolderPending(c.model) &&
      c.dialogs.Ask("Данные в компьютере были изменены\n"
                    "При синхронизации эти данные будут утрачены\n" +
                        UnwrittenFoldersNote(c.model, c.state) + "Продолжить?",
                    kRefreshCaption, DialogIcon::kWarning,
                    DialogButtons::kYesNo) != DialogAnswer::kYes) {
    return false;
  }
  // The backups of folders dropped here stay unfinished on disk: the reading
  // below offers them back when the instrument's block differs.
  c.state.session.unfinishedBackups.clear();
  for (int f = 0; f < c.model.folderCount && f < kMaxFolders; ++f) {
    NotepadFolder& folder = c.model.folders[f];
    folder.pending = 0;
    folder.writeFailed = false;
    // A free slot stays free (and a folder only planned goes back to being
    // one) until its header is read again: a reading that fails must not
    // leave it looking like a folder named "<Свободно>".
    if (folder.state == FolderState::kFree || folder.state == FolderState::kCreatePending) {
      MakeFree(folder);
    } else {
      folder.state = FolderState::kAsRead;
    }
  }
  ClearViewMarks(c.model);  // the views are emptied with them
  c.hooks.ClearViews();
  c.log.AddLogLine("");
  c.log.AddLogLine("Запрос папок прибора");
  c.totalData.SetRowCount(c.state.summaryRowCount);
  RunReading(c);
  return true;
}

}  // namespace orti
