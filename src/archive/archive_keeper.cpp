#include "archive/archive_keeper.h"

#include "archive/archive_server.h"
#include "archive/reading_measurements.h"
#include "archive/server_archive.h"
#include "archive/sqlite_archive.h"
#include "archive/workstation.h"

namespace orti {
namespace {
constexpr const char* kOpenFailed = "Архив измерений недоступен: ";
constexpr const char* kReadOnly =
    "Архив измерений записан более новой версией программы и открыт только для чтения: ";
constexpr const char* kReadingNotAdded = "Чтение не добавлено в архив измерений";
constexpr const char* kRowNotAdded = "Измерение не добавлено в архив: ";
constexpr const char* kChangeNotAdded = "Изменение прибора не записано в журнал изменений";
constexpr const char* kRowsNotAdded = "Не все измерения чтения добавлены в архив (см. журнал): ";
constexpr const char* kNotSent = "Не отправлено на сервер архива (";
constexpr const char* kWaiting = ". Ждут отправки измерений: ";
constexpr const char* kWaitingTail =
    "; они уйдут на сервер со следующим чтением или по команде «orti415-cli archive push».";
constexpr const char* kSent = "Отправлено на сервер архива: чтений ";
constexpr std::chrono::minutes kViewRetry{1};
constexpr const char* kServerName = "сервер архива";
constexpr const char* kViewLocal = "Сервер архива недоступен, показан локальный архив ";
}  // namespace

std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

ArchiveKeeper::ArchiveKeeper(std::string path, LogSink& log, std::function<Dialogs&()> dialogs,
                             int busyTimeoutMs)
    : path_(std::move(path)),
      workstation_(WorkstationName()),
      busyTimeoutMs_(busyTimeoutMs),
      log_(log),
      dialogs_(std::move(dialogs)) {}

ArchiveKeeper::~ArchiveKeeper() = default;

std::string ArchiveKeeper::OpenFailed(const ArchiveError& error) const {
  return kOpenFailed + path_ + " (" + error.what() + ")";
}

bool ArchiveKeeper::SetServer(const std::string& conninfo) {
  serverStore_.reset();
  server_.clear();
  if (conninfo.empty()) return true;
  const std::string refusal = ServerRefusal(conninfo);
  if (!refusal.empty()) {
    Report(refusal);
    return false;
  }
  server_ = conninfo;
  return true;
}

ArchiveStore* ArchiveKeeper::Store() {
  if (store_) return store_.get();
  try {
    store_ = std::make_unique<SqliteArchive>(path_, busyTimeoutMs_);
  } catch (const ArchiveError& error) {
    // Not kept: a file locked now may open at the next reading.
    Report(OpenFailed(error));
    return nullptr;
  }
  if (store_->ReadOnly()) Report(kReadOnly + path_);
  return store_.get();
}

void ArchiveKeeper::AddReading(const NotepadModel& model, const ConsoleState& state) {
  ArchiveStore* store = Store();
  if (!store || store->ReadOnly()) return;
  try {
    Reading reading = ReadingMeasurements(model, state.session.operatorFullName);
    reading.workstation = workstation_;
    const ReadingAdded added = store->AddReading(reading, model.readTime);
    // Each row that failed is named once; the rest of the reading is kept.
    for (const RowFault& fault : added.faults) {
      const std::string line = kRowNotAdded + fault.measurement + " (" + fault.reason + ")";
      if (reported_.insert(line).second) log_.AddLogLine(line);
    }
    if (!added.faults.empty()) Report(kRowsNotAdded + path_);
  } catch (const ArchiveError& error) {
    ReportFault(kReadingNotAdded, error);
    return;
  }
  Forward();
}

PushReport ArchiveKeeper::Push() const {
  PushReport report;
  try {
    SqliteArchive local(path_, busyTimeoutMs_);
    try {
      std::unique_ptr<ArchiveStore> server = OpenServerArchive(server_);
      report.sent = PushArchive(local, *server);
      report.ok = true;
    } catch (const ArchiveError& error) {
      report.error = kNotSent + FirstLine(error.what()) + ")";
    }
    report.waiting = local.Unsent().measurements;
  } catch (const ArchiveError& error) {
    report.error = OpenFailed(error);
  }
  return report;
}

void ArchiveKeeper::Forward() {
  if (server_.empty()) return;
  if (pushing_) {
    pushAgain_ = true;  // the running push may have missed this reading
    return;
  }
  pushing_ = true;
  auto report = std::make_shared<PushReport>();
  auto work = [this, report] { *report = Push(); };
  auto done = [this, report] {
    pushing_ = false;
    ReportPush(*report);
    if (pushAgain_ && report->ok) {
      pushAgain_ = false;
      Forward();
    }
  };
  if (runner_) {
    runner_->Run(work, done);
  } else {
    work();
    done();
  }
}

void ArchiveKeeper::ReportPush(const PushReport& report) {
  if (!report.ok) {
    Report(report.error + kWaiting + std::to_string(report.waiting) + kWaitingTail);
    return;
  }
  const PushResult& s = report.sent;
  if (s.readings == 0 && s.changes == 0) return;
  log_.AddLogLine(kSent + std::to_string(s.readings) + ", измерений " +
                  std::to_string(s.measurements) + ", изменений " + std::to_string(s.changes));
}

ArchiveStore* ArchiveKeeper::ViewStore(std::string& notice) {
  notice.clear();
  if (server_.empty()) return Store();
  if (serverStore_) return serverStore_.get();
  const auto now = std::chrono::steady_clock::now();
  const bool retry = viewFailure_.empty() || now - viewFailedAt_ >= kViewRetry;
  if (retry) {
    try {
      serverStore_ = OpenServerArchive(server_);
      viewFailure_.clear();
      return serverStore_.get();
    } catch (const ArchiveError& error) {
      viewFailure_ = FirstLine(error.what());
      viewFailedAt_ = now;
    }
  }
  notice = kViewLocal + path_ + " (" + viewFailure_ + ")";
  if (retry) log_.AddLogLine(notice);  // once per attempt, not per search
  return Store();
}

void ArchiveKeeper::SetLabName(const std::vector<uint8_t>& identity, const std::string& name) {
  std::string notice;
  ArchiveStore* view = ViewStore(notice);
  if (!view) throw ArchiveError(kOpenFailed + path_);
  view->SetLabName(identity, name);
  ArchiveStore* local = Store();
  if (local == view || !local) return;
  try {
    local->SetLabName(identity, name);
  } catch (const ArchiveError&) {
    // An instrument only other workstations have read is not in this file.
  }
}

void ArchiveKeeper::DropViewConnection() {
  serverStore_.reset();
}

void ArchiveKeeper::AddChanges(const std::vector<InstrumentChange>& changes) {
  ArchiveStore* store = Store();
  if (!store) return;
  bool added = false;
  for (InstrumentChange made : changes) {
    made.workstation = workstation_;
    try {
      store->AddChange(made);
      added = true;
    } catch (const ArchiveError& error) {
      ReportFault(kChangeNotAdded, error);
    }
  }
  if (added) Forward();
}

void ArchiveKeeper::ReportFault(const std::string& what, const ArchiveError& error) {
  Report(what + ": " + path_ + " (" + error.what() + ")");
}

void ArchiveKeeper::ReportViewFault(const std::string& what, const ArchiveError& error) {
  if (!serverStore_) {
    ReportFault(what, error);
    return;
  }
  Report(what + ": " + kServerName + " (" + FirstLine(error.what()) + ")");
}

void ArchiveKeeper::Report(const std::string& text) {
  if (!reported_.insert(text).second) return;
  log_.AddLogLine(text);
  dialogs_().ShowMessage(text);
}

}  // namespace orti
