#include "cli/archive_commands.h"

#include "archive/archive_grid.h"
#include "archive/archive_keeper.h"
#include "archive/archive_schema.h"
#include "archive/change_rows.h"
#include "archive/import_files.h"
#include "archive/server_archive.h"
#include "cli/cli_commands.h"
#include "cli/cli_dialogs.h"
#include "cli/log_only_dialogs.h"
#include "platform/date_time.h"
#include "views/export.h"
#include "workflow/startup_sequence.h"

namespace orti::cli {
namespace {

std::string OptionalDate(const std::optional<double>& day) {
  return day ? FormatDateTime(*day) : "-";
}

// Streamed: a million rows cost one row's memory. The instrument follows the
// view's columns, so that two instruments' rows can be told apart; with
// --removed, who removed each from its instrument and when.
int List(ArchiveStore& store, const ArchiveOptions& a, CliEnvironment& env, std::ostream& out) {
  StringGrid grid;
  PrepareArchiveGrid(grid);
  store.Scan(a.filter, std::nullopt, [&](const Measurement& m) {
    WriteArchiveRow(grid, kViewFixedRows, m, env.decimalSeparator);
    out << ExportRowText(grid, kViewFixedRows) << m.instrument << ";";
    if (a.filter.removedOnly) out << m.removedBy << ";" << OptionalDate(m.removedAt) << ";";
    out << '\n';
    return static_cast<bool>(out);
  });
  return kExitOk;
}

// One change per line, oldest first, tab-separated as the history page's columns.
int Audit(ArchiveStore& store, const ArchiveOptions& a, std::ostream& out) {
  store.ScanChanges(a.changes, [&](const InstrumentChange& c) {
    const std::vector<std::string> texts = ChangeRowTexts(c);
    for (size_t i = 0; i < texts.size(); ++i) out << (i ? "\t" : "") << texts[i];
    out << '\n';
    return static_cast<bool>(out);
  });
  return kExitOk;
}

// The operator written into exported lines, chosen as for a reading.
bool ChooseOperator(const CliOptions& o, CliSession& session, CliEnvironment& env,
                    std::ostream& err) {
  ConsoleState& state = session.State();
  state.programFolder = env.programFolder;
  state.settingsPath = env.programFolder + kSettingsFileName;
  session.LoadSettings();
  session.RunRegistration();
  if (!o.operatorName) return true;
  const std::optional<OperatorParts> parts = SplitOperatorName(*o.operatorName);
  if (!parts) {
    err << kRefusedNameMessage << '\n';
    return false;
  }
  ApplyOperator(state, *parts);
  return true;
}

int Export(ArchiveStore& store, const CliOptions& o, CliEnvironment& env, std::ostream& err) {
  const ArchiveOptions& a = o.archive;
  const ExistingFile existing = a.extend    ? ExistingFile::kExtend
                                : a.replace ? ExistingFile::kReplace
                                            : ExistingFile::kRefuse;
  CliDialogs dialogs(err, existing);
  CliSession session(env, dialogs, err);
  if (!ChooseOperator(o, session, env, err)) return kExitRefused;
  const std::vector<Measurement> rows = store.Query(a.filter);
  StringGrid grid;
  FillArchiveGrid(rows, grid, env.decimalSeparator);
  // Every measurement the filter chose.
  return ExportToFile(grid, FirstRows(rows.size()), a.files[0], session, dialogs);
}

// A file that cannot be read fails (1); lines refused while nothing at all
// was added are input refused before anything was written (2).
int Import(ArchiveStore& store, const ArchiveOptions& a, std::ostream& out, std::ostream& err) {
  std::vector<FileImport> results;
  for (const std::string& file : a.files) {
    results.push_back(ImportExportFile(store, file, LocalNow()));
  }
  for (const std::string& line : RefusalLines(results)) err << line << '\n';
  int status = kExitOk;
  int64_t added = 0;
  bool refused = false;
  for (const FileImport& result : results) {
    (result.failure.empty() ? out : err) << ImportSummary(result) << '\n';
    if (!result.failure.empty()) status = kExitFailed;
    added += result.added;
    refused = refused || !result.errors.empty();
  }
  if (status == kExitOk && refused && added == 0) status = kExitRefused;
  return status;
}

int Run(ArchiveStore& store, const CliOptions& o, CliEnvironment& env, std::ostream& out,
        std::ostream& err) {
  const ArchiveOptions& a = o.archive;
  switch (a.command) {
    case ArchiveCommand::kList:
      return List(store, a, env, out);
    case ArchiveCommand::kExport:
      return Export(store, o, env, err);
    case ArchiveCommand::kImport:
      return Import(store, a, out, err);
    case ArchiveCommand::kImports:
      for (const ImportBatch& b : store.Imports()) {
        out << b.id << '\t' << FormatDateTime(b.imported) << '\t' << b.added << '\t' << b.file
            << '\n';
      }
      return kExitOk;
    case ArchiveCommand::kForgetImport:
      if (store.ForgetImport(a.batch)) return kExitOk;
      err << "Нет импорта " << a.batch << '\n';
      return kExitRefused;
    case ArchiveCommand::kStats: {
      const ArchiveStats s = store.Stats();
      out << "Измерений\t" << s.measurements << "\nПриборов\t" << s.instruments << "\nПапок\t"
          << s.folders << "\nПервое\t" << OptionalDate(s.first) << "\nПоследнее\t"
          << OptionalDate(s.last) << '\n';
      return kExitOk;
    }
    case ArchiveCommand::kBackup:
      store.Backup(a.files[0]);
      return kExitOk;
    case ArchiveCommand::kAudit:
      return Audit(store, a, out);
    case ArchiveCommand::kInit:  // the server's own, in RunArchiveCommand
    case ArchiveCommand::kPush:
      break;
  }
  return kExitRefused;
}

constexpr const char* kNoServer =
    "Сервер архива не назван: --server, ORTI415_SERVER или [Archive] Server= в orti415.ini";

// What a lab looks at is the lab's archive; what a workstation keeps (its
// imports, its backup) is its own file.
bool ReadsTheServer(ArchiveCommand command) {
  return command == ArchiveCommand::kList || command == ArchiveCommand::kExport ||
         command == ArchiveCommand::kStats || command == ArchiveCommand::kAudit;
}

// Opening the server brings its tables up to date, under the server's lock.
int InitServer(const std::string& server, std::ostream& out, std::ostream& err) {
  try {
    const std::unique_ptr<ArchiveStore> store = OpenServerArchive(server);
    if (store->ReadOnly()) {
      err << "Архив на сервере записан более новой версией программы: он только читается\n";
      return kExitFailed;
    }
  } catch (const ArchiveError& error) {
    err << "Архив на сервере не подготовлен: " << FirstLine(error.what()) << '\n';
    return kExitFailed;
  }
  out << "Архив на сервере готов, версия схемы " << kArchiveSchemaVersion << '\n';
  return kExitOk;
}

int PushToServer(const ArchiveKeeper& keeper, std::ostream& out, std::ostream& err) {
  const PushReport report = keeper.Push();
  const PushResult& s = report.sent;
  out << "Отправлено: чтений " << s.readings << ", измерений " << s.measurements << ", изменений "
      << s.changes << "\nЖдут отправки измерений: " << report.waiting << '\n';
  if (report.ok) return kExitOk;
  err << report.error << '\n';
  return kExitFailed;
}

// Messages of the archive itself go to standard error like the work log.
class StreamLog final : public LogSink {
 public:
  explicit StreamLog(std::ostream& err) : err_(err) {}
  void AddLogLine(const std::string& text) override { err_ << text << '\n'; }

 private:
  std::ostream& err_;
};

}  // namespace

int RunArchiveCommand(const CliOptions& o, CliEnvironment& env, std::ostream& out,
                      std::ostream& err) {
  StreamLog log(err);
  LogOnlyDialogs dialogs;
  ArchiveKeeper keeper(env.archivePath, log, [&dialogs]() -> Dialogs& { return dialogs; });
  keeper.SetServer(env.server);
  const ArchiveCommand command = o.archive.command;
  if (command == ArchiveCommand::kInit || command == ArchiveCommand::kPush) {
    if (env.server.empty()) {
      err << kNoServer << '\n';
      return kExitRefused;
    }
    return command == ArchiveCommand::kInit ? InitServer(env.server, out, err)
                                            : PushToServer(keeper, out, err);
  }
  std::string notice;
  ArchiveStore* store = ReadsTheServer(command) ? keeper.ViewStore(notice) : keeper.Store();
  if (!store) return kExitFailed;
  try {
    return Run(*store, o, env, out, err);
  } catch (const ArchiveError& error) {
    keeper.ReportFault("Архив измерений", error);
    return kExitFailed;
  }
}

}  // namespace orti::cli
