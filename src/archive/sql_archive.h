#pragma once
// The archive over an engine-neutral SQL connection: the same tables, steps
// and queries on a workstation's SQLite file and on a lab's server.

#include <memory>
#include <string>

#include "archive/archive_store.h"
#include "archive/sql_db.h"

namespace orti {

class SqlArchive : public ArchiveStore {
 public:
  // `db` is brought up to date already, or of a newer schema and then only
  // read. `forwards`: readings and changes added here wait for a push to a
  // server (a workstation's archive); a server's archive forwards nothing.
  SqlArchive(std::unique_ptr<SqlDb> db, bool forwards);

  bool ReadOnly() const override { return readOnly_; }
  ReadingAdded AddReading(const Reading& reading, double now) override;
  void Scan(const ArchiveFilter& filter, const std::optional<ArchiveCursor>& after,
            const std::function<bool(const Measurement&)>& each) const override;
  ArchiveStats Stats() const override;
  int64_t Import(const std::string& file, const std::vector<Measurement>& lines, double now,
                 int64_t* batchId = nullptr) override;
  std::vector<ImportBatch> Imports() const override;
  bool ForgetImport(int64_t batchId) override;
  void Backup(const std::string& target) const override;

  int64_t AddChange(const InstrumentChange& change) override;
  void ScanChanges(const ChangeFilter& filter,
                   const std::function<bool(const InstrumentChange&)>& each) const override;
  void SetLabName(const std::vector<uint8_t>& identity, const std::string& name) override;
  std::vector<InstrumentName> Instruments() const override;

  Waiting Unsent() const override;
  std::vector<int64_t> UnsentIds(UnsentKind kind) const override;
  SentReading ReadingToSend(int64_t id) override;
  InstrumentChange ChangeToSend(int64_t id) const override;
  void MarkSent(UnsentKind kind, int64_t id) override;
  bool ReceiveReading(const SentReading& reading) override;
  bool ReceiveChange(const InstrumentChange& change) override;

  int SchemaVersion() const { return db_->Version(); }

 protected:
  // A page asks the engine for its rows only: a server sends no more.
  void ScanUpTo(const ArchiveFilter& filter, const std::optional<ArchiveCursor>& after,
                size_t limit, const std::function<bool(const Measurement&)>& each) const override;

 private:
  static int64_t InstrumentId(SqlDb& db, const std::vector<uint8_t>& identity,
                              const std::string& name);
  void RequireWritable() const;
  // The change's id; 0 when one of its origin is already here.
  int64_t StoreChange(const InstrumentChange& change, bool forward);
  void Forward(UnsentKind kind, int64_t id);

  std::unique_ptr<SqlDb> db_;
  bool readOnly_ = false;
  bool forwards_ = true;
};

}  // namespace orti
