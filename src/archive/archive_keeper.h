#pragma once
// The archive as the console and the command line use it: opened on first
// use, every reading and every change made to an instrument added to the
// local file and then forwarded to the lab's server when one is named, and
// every fault reported once as a message and a work-log line while the
// reading or the write itself goes on.

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "archive/archive_push.h"
#include "archive/archive_store.h"
#include "archive/sqlite_archive.h"
#include "folders/change_sink.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"
#include "workflow/reading.h"

namespace orti {

// Runs `work` away from the caller's thread, then `done` back on it. Without
// one the keeper runs both in turn (the command line waits for its push).
class BackgroundRunner {
 public:
  virtual ~BackgroundRunner() = default;
  virtual void Run(std::function<void()> work, std::function<void()> done) = 0;
};

// How one push to the server ended.
struct PushReport {
  bool ok = false;
  PushResult sent;
  int64_t waiting = 0;  // measurements still waiting afterwards
  std::string error;    // why it stopped, when it did, in the console's words
};

class ArchiveKeeper final : public ReadingArchive, public ChangeSink {
 public:
  // `dialogs` gives the message boxes of the moment (tests replace them).
  ArchiveKeeper(std::string path, LogSink& log, std::function<Dialogs&()> dialogs,
                int busyTimeoutMs = kArchiveBusyTimeoutMs);
  ~ArchiveKeeper() override;

  // The lab's server (a connection string; empty: none). A string carrying a
  // password is refused, said once, and no server is used. False then.
  bool SetServer(const std::string& conninfo);
  const std::string& Server() const { return server_; }
  // Where pushes run; null: in the caller's thread.
  void SetRunner(BackgroundRunner* runner) { runner_ = runner; }

  void AddReading(const NotepadModel& model, const ConsoleState& state) override;
  // The changes as made on this workstation, then one push.
  void AddChanges(const std::vector<InstrumentChange>& changes) override;

  // The local store, opened now if need be; null when it cannot be opened (reported).
  ArchiveStore* Store();
  const std::string& Path() const { return path_; }

  // What the history and the listings read: the server when one is named and
  // answers, else the local file, with `notice` saying why in that case. A
  // server that did not answer is not tried again for a minute, so that each
  // search does not wait out its connect timeout.
  ArchiveStore* ViewStore(std::string& notice);
  // The lab's name for an instrument where the views read it (the server when
  // one is named) and in the local file, for when the server cannot be
  // reached. Throws ArchiveError when the views' archive refuses it.
  void SetLabName(const std::vector<uint8_t>& identity, const std::string& name);
  // Forgets the server's connection, so the next view connects again.
  void DropViewConnection();

  // Sends what waits in the local file to the server, in the caller's thread,
  // on connections of its own. Reports nothing.
  PushReport Push() const;

  // Reports a fault of an archive operation (once per distinct text).
  void ReportFault(const std::string& what, const ArchiveError& error);
  // The same for what ViewStore gave: names the server when it was the server's.
  void ReportViewFault(const std::string& what, const ArchiveError& error);

 private:
  std::string OpenFailed(const ArchiveError& error) const;
  void Forward();
  void ReportPush(const PushReport& report);
  void Report(const std::string& text);

  std::string path_;
  std::string workstation_;
  int busyTimeoutMs_;
  LogSink& log_;
  std::function<Dialogs&()> dialogs_;
  std::unique_ptr<ArchiveStore> store_;
  std::unique_ptr<ArchiveStore> serverStore_;
  std::string viewFailure_;  // why the server last failed a view
  std::chrono::steady_clock::time_point viewFailedAt_;
  std::string server_;
  BackgroundRunner* runner_ = nullptr;
  bool pushing_ = false;
  bool pushAgain_ = false;  // a reading came while a push ran
  std::set<std::string> reported_;
};

// The first line of a server's error text, which libpq ends with a newline.
std::string FirstLine(const std::string& text);

}  // namespace orti
