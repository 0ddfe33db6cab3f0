#include "cli/cli_commands.h"

#include <sstream>
#include <vector>

#include "cli/archive_commands.h"
#include "cli/cli_dialogs.h"
#include "cli/headless_windows.h"
#include "device/port_probe.h"
#include "folders/folder_operations.h"
#include "folders/journal.h"
#include "folders/synchronisation.h"
#include "views/export.h"
#include "views/fill_grids.h"
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
        << (IsPortAvailable(port, number) ? "доступен" : "недоступен") << '\n';
  }
  return kExitOk;
}

void PrintIdentity(const StringGrid& totalData, std::ostream& out) {
  for (int row = 1; row < totalData.RowCount(); ++row) {
    if (totalData.Cell(0, row).empty()) continue;
    out << totalData.Cell(0, row) << '\t' << totalData.Cell(1, row) << '\n';
  }
}

bool ViewHasRecords(const StringGrid& view) {
  int folder = 0, record = 0;
  return RowRecord(view, 1, folder, record);
}

int Export(const CliOptions& o, CliSession& session, CliDialogs& dialogs) {
  StringGrid& view = session.View(ViewOf(o));
  if (ViewHasRecords(view)) ToggleMark(view, {1, view.RowCount() - 1, 1}, 'S');
  return ExportToFile(view, o.file, session, dialogs);
}

int FolderCommand(const CliOptions& o, CliSession& session, CliDialogs& dialogs, double now) {
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
  if (dialogs.MessageShown()) return kExitRefused;
  // A folder whose writing failed stays pending.
  return AnyFolderPending(session.Model()) ? kExitFailed : kExitOk;
}

// Every slot of `o.records` is shown (UnshownRecords is empty).
int DeleteRecords(const CliOptions& o, CliSession& session) {
  NotepadModel& model = session.Model();
  std::vector<int> rows;
  for (const RecordSlot& slot : o.records) {
    rows.push_back(RecordToFolderRow(model, slot.folder, slot.record).value());
  }
  MarkViews views = session.Views();
  NoMarkWindows windows;
  for (int row : rows) MarkForDeletion(ViewKind::kByFolders, row, views, model, windows);
  const SyncOutcome outcome = SynchroniseFolders(session.SyncFor());
  return outcome.failedRequests > 0 || AnyFolderPending(model) ? kExitFailed : kExitOk;
}

// The record slots that no view shows, "N:S" each.
std::string UnshownRecords(const CliOptions& o, const NotepadModel& model) {
  std::string list;
  for (const RecordSlot& slot : o.records) {
    if (RecordToFolderRow(model, slot.folder, slot.record)) continue;
    list +=
        (list.empty() ? "" : " ") + std::to_string(slot.folder) + ":" + std::to_string(slot.record);
  }
  return list;
}

}  // namespace

int ExportToFile(const StringGrid& view, const std::string& file, CliSession& session,
                 CliDialogs& dialogs) {
  FixedFileChooser chooser(file);
  ExportContext context{view, session.State(), dialogs, chooser, session.Log()};
  switch (ExportMarkedRows(context)) {
    case ExportOutcome::kWritten:
      return kExitOk;
    case ExportOutcome::kCancelled:
      return kExitRefused;
    case ExportOutcome::kStopped:
      break;
  }
  // A file that could not be read or written is reported as a plain message;
  // a file of another structure is refused with a warning.
  return dialogs.MessageShown() ? kExitFailed : kExitRefused;
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
  for (const std::string* part : {&result.surname, &result.firstName, &result.patronymic}) {
    if (!NamePartIsValid(*part)) return std::nullopt;
  }
  return result;
}

void PrintRecordRows(const StringGrid& view, std::ostream& out) {
  for (int row = 1; row < view.RowCount(); ++row) {
    int folder = 0, record = 0;
    if (RowRecord(view, row, folder, record)) out << ExportRowText(view, row) << '\n';
  }
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

  CliDialogs dialogs(err, o.existingFile);
  CliSession session(env, dialogs, err);
  if (!session.Start(request)) return kExitFailed;

  if (o.command == Command::kIdentify) {
    PrintIdentity(session.TotalData(), out);
    return kExitOk;
  }
  if (o.command == Command::kRead) {
    PrintRecordRows(session.View(ViewOf(o)), out);
    return session.ReadFailures() > 0 ? kExitFailed : kExitOk;
  }
  // Nothing is exported or written back from a notepad that was not read whole.
  if (session.ReadFailures() > 0) {
    err << "Блокнот прочитан не полностью: операция не выполнена\n";
    return kExitFailed;
  }
  if (o.command == Command::kExport) return Export(o, session, dialogs);
  if (IsFolderCommand(o.command)) return FolderCommand(o, session, dialogs, env.now);

  const std::string unshown = UnshownRecords(o, session.Model());
  if (!unshown.empty()) {
    err << "Нет записи " << unshown << '\n';
    return kExitRefused;
  }
  return DeleteRecords(o, session);
}

}  // namespace orti::cli
