#pragma once
// One run of the console without windows: the settings, the operator, the
// port search and the reading go through the start-up sequence as in the
// main window; the notepad, the two views and the work log live here.

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "archive/archive_keeper.h"
#include "cli/headless_windows.h"
#include "cli/log_only_dialogs.h"
#include "device/console_services.h"
#include "device/device_link.h"
#include "device/link_hooks.h"
#include "folders/synchronisation.h"
#include "model/console_state.h"
#include "model/notepad_model.h"
#include "model/string_grid.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "settings/operators.h"
#include "settings/work_log.h"
#include "views/marks.h"
#include "views/view_layout.h"
#include "workflow/reading.h"
#include "workflow/startup_sequence.h"

namespace orti::cli {

struct CliEnvironment {
  SerialPort& port;
  Clock& clock;
  std::string programFolder;  // with its trailing '/'
  std::string decimalSeparator;
  double now = 0;  // local date and time, for the start line and the year of the records
  TrafficTrace* trace = nullptr;
  bool fastRead = false;
  std::string archivePath = {};  // empty: readings are not archived
  std::string server = {};       // the lab's archive server; empty: none
};

struct SessionRequest {
  int port = 0;  // 0: search
  std::optional<OperatorParts> operatorParts;
  bool readNotepad = true;
};

// The operator given on the command line, in place of the registered one.
void ApplyOperator(ConsoleState& state, const OperatorParts& parts);

class CliSession final : public StartupSteps, public QuietReadingHooks, public ViewsHooks {
 public:
  // The work log is written to `err` line by line as it grows.
  CliSession(CliEnvironment& environment, Dialogs& dialogs, std::ostream& err);

  // The start-up sequence; false when the instrument was not found.
  bool Start(const SessionRequest& request);

  int ReadFailures() const { return readFailures_; }
  // The instrument's turnaround as the link measured it, once it answered.
  std::optional<Millis> Turnaround() const { return link_.Turnaround(); }
  NotepadModel& Model() { return *model_; }
  ConsoleState& State() { return state_; }
  const StringGrid& TotalData() const { return totalData_; }
  StringGrid& View(ViewKind kind) { return kind == ViewKind::kByDate ? byDate_ : byFolders_; }
  MarkViews Views() { return {byFolders_, byDate_}; }
  LogSink& Log() { return log_; }
  ConsoleServices Services();
  SyncContext SyncFor();

  // StartupSteps
  void ShowFirstPages() override {}
  void LoadSettings() override;
  void OpenStartPage(StartPage) override {}
  void PrepareViews() override;
  void RunRegistration() override;
  void AddNewOperator() override {}  // nothing is saved from the command line
  void OpenSettingsPage() override {}
  ConnectOutcome Connect() override;
  void ApplyWindowState(bool) override {}
  void ApplyColumns() override {}
  void ReadNotepad() override;
  void ConnectionFailed() override;
  void ProcessMessages() override {}

  // The reading shows nothing but the views it fills.
  using QuietReadingHooks::Start;  // the progress start, beside the session's own Start
  void RebuildViews() override;
  void ClearViews() override;

  // ViewsHooks
  void SortByDateIndex() override;
  void FillGrids() override;

 private:
  CliEnvironment& env_;
  Dialogs& dialogs_;
  SessionRequest request_;
  ConsoleState state_;
  std::unique_ptr<NotepadModel> model_ = std::make_unique<NotepadModel>();
  WorkLog log_;
  OperatorTable operators_;
  StringGrid totalData_{2, 1, 1};
  StringGrid byFolders_{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  StringGrid byDate_{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  NoSyncProgress progress_;
  ClockLinkHooks linkHooks_;
  DeviceLink link_;
  int readFailures_ = 0;
  LogOnlyDialogs archiveDialogs_;
  std::unique_ptr<ArchiveKeeper> archive_;
};

}  // namespace orti::cli
