#pragma once
// The archive's SQL on a PostgreSQL server through libpq. The schema version
// is the one row of archive_version; migrations take an advisory lock so
// that two workstations never migrate at once.

#include <string>

#include "archive/sql_db.h"

struct pg_conn;

namespace orti {

// The archive's SQL as the server reads it: `?` and `?N` become `$N`, and the
// few function names the engines spell differently are mapped.
std::string PgSql(const std::string& sql);
// A schema step's type words as the server names them.
std::string PgSchemaSql(const std::string& sql);

class PgDb final : public SqlDb {
 public:
  // `conninfo`: libpq keywords or a postgresql:// address. A connect timeout
  // of 3 s and the application name apply unless it sets its own.
  explicit PgDb(const std::string& conninfo);
  ~PgDb() override;
  PgDb(const PgDb&) = delete;
  PgDb& operator=(const PgDb&) = delete;

  SqlStatement Prepare(const std::string& sql) override;
  void Exec(const std::string& sql) override;
  // One COPY in the binary format: the rows travel in one stream.
  void InsertRows(const std::string& table, const std::vector<std::string>& columns,
                  const std::vector<SqlValue>& values) override;
  int64_t Changes() const override { return changes_; }
  bool InTransaction() const override;
  // TRUNCATE leaves no dead rows behind, which a temporary table would
  // otherwise gather for as long as the connection lives.
  void EmptyTable(const std::string& table) override { Exec("TRUNCATE " + table); }
  void Begin() override { Exec("BEGIN"); }
  std::string SchemaSql(const std::string& sql) const override { return PgSchemaSql(sql); }
  int Version() override;
  void SetVersion(int version) override;
  void LockSchema() override;
  void Backup(const std::string& target) override;

  // Every statement of this connection only reads from now on.
  void SetReadOnly();
  pg_conn* Handle() const { return conn_; }
  void NoteChanges(int64_t rows) { changes_ = rows; }

 private:
  bool HasVersionTable();

  pg_conn* conn_ = nullptr;
  int64_t changes_ = 0;
};

}  // namespace orti
