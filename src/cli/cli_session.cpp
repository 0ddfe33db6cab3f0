#include "cli/cli_session.h"

#include "cli/headless_windows.h"
#include "device/identify.h"
#include "device/identity_display.h"
#include "device/port_probe.h"
#include "settings/registration.h"
#include "settings/settings_file.h"
#include "views/by_date_sort.h"
#include "views/fill_grids.h"
#include "workflow/connection.h"

namespace orti::cli {
namespace {

// The views as they stand offline: nothing to show.
class OfflineViews final : public OfflineView {
 public:
  void DisableDataCommands() override {}
};

}  // namespace

CliSession::CliSession(CliEnvironment& environment, Dialogs& dialogs, std::ostream& err)
    : env_(environment),
      dialogs_(dialogs),
      linkHooks_(environment.clock, state_),
      link_(environment.port, state_, log_, environment.clock, linkHooks_) {
  log_.SetListeners([&err](const std::string& line) { err << line << '\n' << std::flush; }, {});
  link_.SetTrace(environment.trace);
  if (!environment.archivePath.empty()) {
    archive_ = std::make_unique<ArchiveKeeper>(environment.archivePath, log_,
                                               [this]() -> Dialogs& { return archiveDialogs_; });
    archive_->SetServer(environment.server);
  }
}

bool CliSession::Start(const SessionRequest& request) {
  request_ = request;
  // "/DEBUG" is the console's own way to connect without reading the notepad.
  const std::vector<std::string> arguments =
      request.readNotepad ? std::vector<std::string>{} : std::vector<std::string>{"/DEBUG"};
  if (RunStartupSequence(state_, log_, *this, arguments, env_.programFolder, env_.now) ==
      StartupResult::kQuit) {
    return false;
  }
  return !state_.link.offline;
}

void CliSession::LoadSettings() {
  orti::LoadSettings(state_, operators_, &log_);
  // --fast adds to what the settings file chose.
  state_.link.fastRead = state_.link.fastRead || env_.fastRead;
}

void CliSession::PrepareViews() {
  PrepareViewGrid(ViewKind::kByFolders, byFolders_);
  PrepareViewGrid(ViewKind::kByDate, byDate_);
}

void CliSession::RunRegistration() {
  // The first operator of the list, as if chosen in the registration window.
  StringGrid users;
  FillRegistrationGrid(operators_, users);
  AcceptRegistration(state_, users, 1, false, {}, dialogs_);
}

void ApplyOperator(ConsoleState& state, const OperatorParts& parts) {
  state.session.surname = parts.surname;
  state.session.firstName = parts.firstName;
  state.session.patronymic = parts.patronymic;
  ComposeOperatorNames(state);
}

ConnectOutcome CliSession::Connect() {
  if (request_.port == 0) {
    NoConnectionWindow window;
    ConnectionContext context{Services(), window,
                              [this](int port) { return IsPortAvailable(env_.port, port); }};
    return SearchInstrument(context);
  }
  // The port given: only its identification, as the search does for each port.
  state_.link.availablePorts = {std::to_string(request_.port)};
  state_.link.currentPort = request_.port;
  state_.link.deviceAddress = 1;
  state_.link.abort = false;
  if (!Identify(link_, state_, model_->identity, log_)) return ConnectOutcome::kFailed;
  ShowIdentity(model_->identity, totalData_, state_);
  return ConnectOutcome::kConnected;
}

void CliSession::ReadNotepad() {
  // --operator names who reads before the reading is archived, whether or
  // not anyone is registered.
  if (request_.operatorParts) ApplyOperator(state_, *request_.operatorParts);
  ReadingContext context{Services(), *this, env_.now};
  context.archive = archive_.get();
  readFailures_ = RunReading(context);
}

void CliSession::ConnectionFailed() {
  OfflineViews views;
  GoOffline(state_, *model_, views, dialogs_);
}

void CliSession::RebuildViews() {
  SortByDateIndex();
  FillGrids();
}

void CliSession::ClearViews() {
  for (StringGrid* grid : {&byFolders_, &byDate_}) {
    for (int row = 1; row < grid->RowCount(); ++row) {
      for (int col = 0; col < grid->ColCount(); ++col) grid->SetCell(col, row, "");
    }
    grid->SetRowCount(kViewFixedRows + 1);
  }
}

void CliSession::SortByDateIndex() {
  orti::SortByDateIndex(model_->byDate);
}

void CliSession::FillGrids() {
  orti::FillGrids(*model_, byFolders_, byDate_, env_.decimalSeparator);
}

ConsoleServices CliSession::Services() {
  return {*model_, state_, totalData_, link_, log_, dialogs_};
}

SyncContext CliSession::SyncFor() {
  SyncContext context{Services(), progress_, *this};
  context.changes = archive_.get();
  return context;
}

}  // namespace orti::cli
