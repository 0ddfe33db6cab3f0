#pragma once
// The archive in an SQLite file in WAL mode, shared safely by several
// consoles on one computer (they wait for each other up to the busy timeout).

#include <memory>
#include <string>

#include "archive/archive_store.h"
#include "archive/sqlite_db.h"

namespace orti {

constexpr int kArchiveBusyTimeoutMs = 5000;

class SqliteArchive final : public ArchiveStore {
 public:
  // Opens or creates the file and brings its schema up to date. A file of a
  // newer schema is opened read-only and never altered.
  explicit SqliteArchive(const std::string& path, int busyTimeoutMs = kArchiveBusyTimeoutMs);

  bool ReadOnly() const override { return readOnly_; }
  ReadingAdded AddReading(const Reading& reading, double now) override;
  void Scan(const ArchiveFilter& filter, const std::optional<ArchiveCursor>& after,
            const std::function<bool(const Measurement&)>& each) const override;
  ArchiveStats Stats() const override;
  int64_t Import(const std::string& file, const std::vector<Measurement>& lines, double now,
                 int64_t* batchId = nullptr) override;
  std::vector<ImportBatch> Imports() const override;
  bool ForgetImport(int64_t batchId) override;
  int64_t AddChange(const InstrumentChange& change) override;
  void ScanChanges(const ChangeFilter& filter,
                   const std::function<bool(const InstrumentChange&)>& each) const override;
  void SetLabName(const std::vector<uint8_t>& identity, const std::string& name) override;
  std::vector<InstrumentName> Instruments() const override;
  // SQLite's online backup.
  void Backup(const std::string& target) const override;

 private:
  void RequireWritable() const;

  std::unique_ptr<SqliteDb> db_;
  bool readOnly_ = false;
};

}  // namespace orti
