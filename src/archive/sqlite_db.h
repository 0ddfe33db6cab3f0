#pragma once
// The archive's SQL on an SQLite file. The schema version is the file's
// PRAGMA user_version, as every archive file has kept it.

#include <string>

#include "archive/sql_db.h"

struct sqlite3;

namespace orti {

class SqliteDb final : public SqlDb {
 public:
  // Opens `path`, never through a symbolic link; read-only opens never create
  // or alter the file.
  SqliteDb(const std::string& path, bool readOnly);
  ~SqliteDb() override;
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  SqlStatement Prepare(const std::string& sql) override;
  void Exec(const std::string& sql) override;
  int64_t Changes() const override;
  bool InTransaction() const override;
  void EmptyTable(const std::string& table) override { Exec("DELETE FROM " + table); }
  // IMMEDIATE takes the write lock now, so a second console waits here (busy
  // timeout) rather than failing halfway through.
  void Begin() override { Exec("BEGIN IMMEDIATE"); }
  std::string SchemaSql(const std::string& sql) const override { return sql; }
  int Version() override;
  void SetVersion(int version) override;
  void LockSchema() override {}  // the write lock of the transaction already is one
  // SQLite's online backup.
  void Backup(const std::string& target) override;

  void SetBusyTimeout(int milliseconds);
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace orti
