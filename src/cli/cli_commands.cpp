#include "cli/cli_commands.h"

#include <sys/stat.h>

#include <sstream>
#include <vector>

#include "cli/archive_commands.h"
#include "cli/cli_dialogs.h"
#include "cli/headless_windows.h"
#include "device/port_probe.h"
#include "folders/folder_operations.h"
#include "folders/journal.h"
#include "folders/restore.h"
#include "folders/synchronisation.h"
#include "platform/device_access.h"
#include "views/export.h"
#include "views/marks.h"

namespace orti::cli {
namespace {

ViewKind ViewOf(const CliOptions& o) {
  return o.byDate ? ViewKind::kByDate : ViewKind::kByFolders;
}

bool IsFolderCommand(Command command) {
  switch (command) {
    case Command::kMkdir:
    case Command::kRename:
    case Command::kRmdir:
    case Command::kClear:
    case Command::kClearAll:
      return true;
    default:
      return false;
  }
}

int ListPorts(SerialPort& port, const PortMap& ports, std::ostream& out) {
  for (const auto& [number, path] : ports.Entries()) {
    out << number << '\t' << path << '\t'
        << (IsPortAvailable(port, number) ? "доступен" : "недоступен");
    // Which adapter it is, so that two of them can be told apart.
    if (const auto usb = UsbIdentityOf(path)) out << '\t' << UsbIdentityText(*usb);
    out << '\n';
  }
  return kExitOk;
}

void PrintIdentity(const StringGrid& totalData, std::ostream& out) {
  for (int row = 1; row < totalData.RowCount(); ++row) {
    if (totalData.Cell(0, row).empty()) continue;
    out << totalData.Cell(0, row) << '\t' << totalData.Cell(1, row) << '\n';
  }
}

// The file the export will write: the name as given, ".csv" added when the
// name has no extension (as the export itself does).
std::string ExportPath(const std::string& file) {
  const size_t slash = file.rfind('/');
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  if (name.find('.') != std::string::npos) return file;
  return file + "." + kExportDefaultExtension;
}

// Before the notepad is read (minutes): an existing file needs --extend or
// --replace, and a folder is no file. Empty when the export may go ahead.
std::string ExportFileRefusal(const CliOptions& o) {
  const std::string path = ExportPath(o.file);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  if (S_ISDIR(st.st_mode)) return path + ": это папка, а не файл";
  if (o.existingFile != ExistingFile::kRefuse) return {};
  return path +
         ": Файл уже существует. Укажите --extend, чтобы дописать в него недостающие "
         "записи, или --replace, чтобы заменить его.";
}

// Every record of the view, as "select all" and "S" in the window would mark them.
int Export(const CliOptions& o, CliSession& session, CliDialogs& dialogs) {
  const ViewKind view = ViewOf(o);
  const std::vector<int> rows = FirstRows(ViewRecords(session.Model(), view).size());
  return ExportToFile(session.View(view), rows, o.file, session, dialogs);
}

bool StartsWith(const std::string& text, const char* start) {
  return text.rfind(start, 0) == 0;
}

// The status after an operation that may write. A message shown since
// `before` is a refusal before anything was written (2), except a folder not
// read in full or a backup that could not be saved (1). A failed write is
// tried once more, reusing its backup; if it fails again, 1 and the backup's
// path on standard error.
int WriteStatus(CliSession& session, CliDialogs& dialogs, size_t before, std::ostream& err) {
  const std::vector<std::string>& messages = dialogs.Messages();
  for (size_t i = before; i < messages.size(); ++i) {
    if (StartsWith(messages[i], kMsgNotReadInFull) || StartsWith(messages[i], kMsgBackupFailed)) {
      return kExitFailed;
    }
  }
  if (messages.size() > before) return kExitRefused;
  NotepadModel& model = session.Model();
  if (!WriteFailedFolders(model).empty()) SynchroniseFolders(session.SyncFor());
  if (WriteFailedFolders(model).empty() && !AnyFolderPending(model)) return kExitOk;
  const std::vector<std::string>& backups = session.State().session.unfinishedBackups;
  if (!backups.empty()) err << "Резервная копия: " << backups.back() << '\n';
  return kExitFailed;
}

int FolderCommand(const CliOptions& o, CliSession& session, CliDialogs& dialogs, double now,
                  std::ostream& err) {
  const size_t before = dialogs.Messages().size();
  const SyncContext sync = session.SyncFor();
  CommandLineFolderPage page(session.Model(), o.command == Command::kMkdir ? -1 : o.folder,
                             o.folderName);
  StringGrid journal;
  InitJournal(journal);
  FolderOperations operations(sync, page, journal, [now] { return now; });
  switch (o.command) {
    case Command::kMkdir:
      operations.BtnNewFolderClick();
      break;
    case Command::kRename:
      operations.BtnRenameFolderClick();
      break;
    case Command::kRmdir:
      operations.BtnRemoveFolderClick();
      break;
    case Command::kClear:
      operations.BtnClearFolderClick();
      break;
    default:
      operations.BtnClearFoldersClick();
      break;
  }
  return WriteStatus(session, dialogs, before, err);
}

// Every slot of `o.records` is shown (UnshownRecords is empty).
int DeleteRecords(const CliOptions& o, CliSession& session, CliDialogs& dialogs,
                  std::ostream& err) {
  const size_t before = dialogs.Messages().size();
  NotepadModel& model = session.Model();
  std::vector<int> rows;
  for (const RecordSlot& slot : o.records) {
    rows.push_back(RecordToRow(model, ViewKind::kByFolders, slot.folder, slot.record).value());
  }
  MarkViews views = session.Views();
  NoMarkWindows windows;
  for (int row : rows) MarkForDeletion(ViewKind::kByFolders, row, views, model, windows);
  SynchroniseFolders(session.SyncFor());
  return WriteStatus(session, dialogs, before, err);
}

// What the backup's folders hold now and in the file is printed, then they
// are written back.
int Restore(const CliOptions& o, CliSession& session, CliDialogs& dialogs, double now,
            std::ostream& out, std::ostream& err) {
  const size_t before = dialogs.Messages().size();
  RestorePlan plan;
  std::string refusal;
  if (!PrepareRestore(session.SyncFor(), o.file, o.folders, plan, refusal)) {
    err << refusal << '\n';
    return StartsWith(refusal, kMsgNotReadInFull) ? kExitFailed : kExitRefused;
  }
  out << plan.description << kIdentityNotice << '\n' << std::flush;
  RunRestore(session.SyncFor(), plan, now);
  return WriteStatus(session, dialogs, before, err);
}

// The record slots that no view shows, "N:S" each.
std::string UnshownRecords(const CliOptions& o, const NotepadModel& model) {
  std::string list;
  for (const RecordSlot& slot : o.records) {
    if (RecordToRow(model, ViewKind::kByFolders, slot.folder, slot.record)) continue;
    list +=
        (list.empty() ? "" : " ") + std::to_string(slot.folder) + ":" + std::to_string(slot.record);
  }
  return list;
}

}  // namespace

std::vector<int> FirstRows(size_t count) {
  std::vector<int> rows;
  for (size_t i = 0; i < count; ++i) rows.push_back(kViewFixedRows + static_cast<int>(i));
  return rows;
}

int ExportToFile(const StringGrid& view, const std::vector<int>& rows, const std::string& file,
                 CliSession& session, CliDialogs& dialogs) {
  const size_t before = dialogs.Messages().size();
  FixedFileChooser chooser(file);
  ExportContext context{session.Services(), view, chooser};
  switch (ExportRows(context, rows)) {
    case ExportOutcome::kWritten:
      return kExitOk;
    case ExportOutcome::kCancelled:
      return kExitRefused;
    case ExportOutcome::kStopped:
      break;
  }
  // A file that could not be read or written is reported as a plain message;
  // a file of another structure is refused with a warning.
  return dialogs.Messages().size() > before ? kExitFailed : kExitRefused;
}

std::optional<OperatorParts> SplitOperatorName(const std::string& name) {
  std::istringstream words(name);
  std::vector<std::string> parts;
  for (std::string word; words >> word;) parts.push_back(word);
  if (parts.empty()) return std::nullopt;
  OperatorParts result;
  result.surname = parts[0];
  if (parts.size() > 1) result.firstName = parts[1];
  for (size_t i = 2; i < parts.size(); ++i) {
    result.patronymic += (i > 2 ? " " : "") + parts[i];
  }
  if (!OperatorNameIsValid(result)) return std::nullopt;
  return result;
}

void PrintRecordRows(const NotepadModel& model, ViewKind view, const StringGrid& grid,
                     std::ostream& out) {
  for (int row : FirstRows(ViewRecords(model, view).size()))
    out << ExportRowText(grid, row) << '\n';
}

int RunCommand(const CliOptions& o, CliEnvironment& env, const PortMap& ports, std::ostream& out,
               std::ostream& err) {
  if (o.command == Command::kPorts) return ListPorts(env.port, ports, out);
  if (o.command == Command::kArchive) return RunArchiveCommand(o, env, out, err);

  SessionRequest request;
  request.port = o.port;
  request.readNotepad = o.command != Command::kIdentify;
  if (o.operatorName) {
    request.operatorParts = SplitOperatorName(*o.operatorName);
    if (!request.operatorParts) {
      err << kRefusedNameMessage << '\n';
      return kExitRefused;
    }
  }

  if (o.command == Command::kExport) {
    const std::string refusal = ExportFileRefusal(o);
    if (!refusal.empty()) {
      err << refusal << '\n';
      return kExitRefused;
    }
  }

  CliDialogs dialogs(err, o.existingFile);
  CliSession session(env, dialogs, err);
  if (!session.Start(request)) return kExitFailed;

  if (o.command == Command::kIdentify) {
    PrintIdentity(session.TotalData(), out);
    // Why a line is slow: slow firmware or an adapter shows here.
    if (const auto turnaround = session.Turnaround()) {
      out << kTurnaroundLabel << '\t' << turnaround->count() << " мс\n";
    }
    return kExitOk;
  }
  if (o.command == Command::kRead) {
    PrintRecordRows(session.Model(), ViewOf(o), session.View(ViewOf(o)), out);
    return session.ReadFailures() > 0 ? kExitFailed : kExitOk;
  }
  if (o.command == Command::kRestore) return Restore(o, session, dialogs, env.now, out, err);
  // Nothing is exported from a notepad that was not read whole, and no folder
  // is made without every name known; the other commands refuse only the
  // folders not read in full.
  if (session.ReadFailures() > 0 &&
      (o.command == Command::kExport || o.command == Command::kMkdir)) {
    err << "Блокнот прочитан не полностью: операция не выполнена\n";
    return kExitFailed;
  }
  if (o.command == Command::kExport) return Export(o, session, dialogs);
  if (IsFolderCommand(o.command)) return FolderCommand(o, session, dialogs, env.now, err);

  // A folder not read in full is refused before its records are looked for.
  for (const RecordSlot& slot : o.records) {
    const NotepadModel& model = session.Model();
    if (slot.folder < model.folderCount && slot.folder < kMaxFolders &&
        !model.folders[slot.folder].readInFull) {
      err << kMsgNotReadInFull << '\n';
      return kExitFailed;
    }
  }
  const std::string unshown = UnshownRecords(o, session.Model());
  if (!unshown.empty()) {
    err << "Нет записи " << unshown << '\n';
    return kExitRefused;
  }
  return DeleteRecords(o, session, dialogs, err);
}

}  // namespace orti::cli
