#pragma once
// The archive as the console and the command line use it: opened on first
// use, every reading and every change made to an instrument added, and every
// fault reported once as a message and a work-log line while the reading or
// the write itself goes on.

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "archive/archive_store.h"
#include "archive/sqlite_archive.h"
#include "folders/change_sink.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"
#include "workflow/reading.h"

namespace orti {

class ArchiveKeeper final : public ReadingArchive, public ChangeSink {
 public:
  // `dialogs` gives the message boxes of the moment (tests replace them).
  ArchiveKeeper(std::string path, LogSink& log, std::function<Dialogs&()> dialogs,
                int busyTimeoutMs = kArchiveBusyTimeoutMs);

  void AddReading(const NotepadModel& model, const ConsoleState& state) override;
  // The change as made on this workstation.
  void AddChange(const InstrumentChange& change) override;

  // The store, opened now if need be; null when it cannot be opened (reported).
  ArchiveStore* Store();
  const std::string& Path() const { return path_; }

  // Reports a fault of an archive operation (once per distinct text).
  void ReportFault(const std::string& what, const ArchiveError& error);

 private:
  void Report(const std::string& text);

  std::string path_;
  std::string workstation_;
  int busyTimeoutMs_;
  LogSink& log_;
  std::function<Dialogs&()> dialogs_;
  std::unique_ptr<ArchiveStore> store_;
  std::set<std::string> reported_;
};

}  // namespace orti
