#include "archive/archive_keeper.h"

#include "archive/reading_measurements.h"
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
}  // namespace

ArchiveKeeper::ArchiveKeeper(std::string path, LogSink& log, std::function<Dialogs&()> dialogs,
                             int busyTimeoutMs)
    : path_(std::move(path)),
      workstation_(WorkstationName()),
      busyTimeoutMs_(busyTimeoutMs),
      log_(log),
      dialogs_(std::move(dialogs)) {}

ArchiveStore* ArchiveKeeper::Store() {
  if (store_) return store_.get();
  try {
    store_ = std::make_unique<SqliteArchive>(path_, busyTimeoutMs_);
  } catch (const ArchiveError& error) {
    // Not kept: a file locked now may open at the next reading.
    Report(kOpenFailed + path_ + " (" + error.what() + ")");
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
  }
}

void ArchiveKeeper::AddChange(const InstrumentChange& change) {
  ArchiveStore* store = Store();
  if (!store) return;
  try {
    InstrumentChange made = change;
    made.workstation = workstation_;
    store->AddChange(made);
  } catch (const ArchiveError& error) {
    ReportFault(kChangeNotAdded, error);
  }
}

void ArchiveKeeper::ReportFault(const std::string& what, const ArchiveError& error) {
  Report(what + ": " + path_ + " (" + error.what() + ")");
}

void ArchiveKeeper::Report(const std::string& text) {
  if (!reported_.insert(text).second) return;
  log_.AddLogLine(text);
  dialogs_().ShowMessage(text);
}

}  // namespace orti
