#pragma once
// The lab's archive of every measurement the console has read or imported:
// an SQLite file in WAL mode, shared safely by several consoles on one
// computer (they wait for each other up to the busy timeout).

#include <memory>
#include <string>
#include <vector>

#include "archive/measurement.h"
#include "archive/sqlite_db.h"

namespace orti {

constexpr int kArchiveBusyTimeoutMs = 5000;

class ArchiveStore {
 public:
  // Opens or creates the file and brings its schema up to date. A file of a
  // newer schema is opened read-only and never altered. Throws ArchiveError.
  explicit ArchiveStore(const std::string& path, int busyTimeoutMs = kArchiveBusyTimeoutMs);

  bool ReadOnly() const { return readOnly_; }
  const std::string& Path() const { return path_; }

  // Adds a reading's measurements in one transaction. One already archived
  // (same identity and raw bytes) only gets its last-read time and folder
  // name updated; an imported line with the same date, mode and values takes
  // the reading's identity and bytes. Returns how many were new.
  int AddReading(const std::vector<Measurement>& measurements, double now);

  // Shown measurements only, in date order.
  std::vector<Measurement> Query(const ArchiveFilter& filter) const;
  ArchiveStats Stats() const;

  // Adds the lines no measurement matches as one batch; returns the lines added.
  int64_t Import(const std::string& file, const std::vector<Measurement>& lines, double now,
                 int64_t* batchId = nullptr);
  std::vector<ImportBatch> Imports() const;
  // False when there is no such batch.
  bool ForgetImport(int64_t batchId);

  // SQLite's online backup: a consistent copy even while others write.
  void Backup(const std::string& target) const;

 private:
  void RequireWritable() const;

  std::string path_;
  std::unique_ptr<SqliteDb> db_;
  bool readOnly_ = false;
};

}  // namespace orti
