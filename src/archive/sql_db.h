#pragma once
// The archive's SQL, written once and run by either engine: a connection
// (SqlDb) hands out statements that callers keep as plain values. Parameters
// are written `?` or `?N` and count from 1; columns count from 0. Every
// failure becomes an ArchiveError carrying the engine's own words.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "archive/archive_error.h"

namespace orti {

// A transaction the engine gave up because another one got in its way
// (deadlock, serialization): running the same work again may succeed.
class ArchiveConflict : public ArchiveError {
 public:
  using ArchiveError::ArchiveError;
};

class SqlStatement {
 public:
  // What an engine implements; callers only see SqlStatement.
  class Engine {
   public:
    virtual ~Engine() = default;
    virtual void Bind(int index, int64_t value) = 0;
    virtual void Bind(int index, double value) = 0;
    virtual void Bind(int index, const std::string& text) = 0;
    virtual void Bind(int index, const std::vector<uint8_t>& blob) = 0;
    virtual void BindNull(int index) = 0;
    virtual bool Step() = 0;
    virtual void Reset() = 0;
    virtual bool IsNull(int column) const = 0;
    virtual int64_t Int(int column) const = 0;
    virtual double Real(int column) const = 0;
    virtual void TextInto(int column, std::string& text) const = 0;
    virtual void BlobInto(int column, std::vector<uint8_t>& blob) const = 0;
  };

  explicit SqlStatement(std::unique_ptr<Engine> engine) : engine_(std::move(engine)) {}

  SqlStatement& Bind(int index, int64_t value) {
    engine_->Bind(index, value);
    return *this;
  }
  SqlStatement& Bind(int index, double value) {
    engine_->Bind(index, value);
    return *this;
  }
  SqlStatement& Bind(int index, const std::string& text) {
    engine_->Bind(index, text);
    return *this;
  }
  SqlStatement& Bind(int index, const std::vector<uint8_t>& blob) {
    engine_->Bind(index, blob);
    return *this;
  }
  SqlStatement& BindNull(int index) {
    engine_->BindNull(index);
    return *this;
  }

  // True while a row is available.
  bool Step() { return engine_->Step(); }
  void Run() { Step(); }
  // Runs an INSERT … RETURNING id: the id, the statement ready to run again.
  int64_t InsertedId();
  // Ready to run again; the bindings are cleared.
  void Reset() { engine_->Reset(); }

  bool IsNull(int column) const { return engine_->IsNull(column); }
  int64_t Int(int column) const { return engine_->Int(column); }
  double Real(int column) const { return engine_->Real(column); }
  std::string Text(int column) const;
  std::vector<uint8_t> Blob(int column) const;
  // The same into storage kept from the row before (no allocation per row).
  void TextInto(int column, std::string& text) const { engine_->TextInto(column, text); }
  void BlobInto(int column, std::vector<uint8_t>& blob) const { engine_->BlobInto(column, blob); }

 private:
  std::unique_ptr<Engine> engine_;
};

// A value as a statement binds it; std::monostate is NULL.
using SqlValue = std::variant<std::monostate, int64_t, double, std::string, std::vector<uint8_t>>;

class SqlDb {
 public:
  virtual ~SqlDb() = default;

  virtual SqlStatement Prepare(const std::string& sql) = 0;
  // Runs one or more statements without parameters.
  virtual void Exec(const std::string& sql) = 0;
  int64_t QueryInt(const std::string& sql);
  // Adds rows to `table` in as few round trips as the engine allows. `values`
  // holds the rows one after the other, a value for each of `columns`.
  virtual void InsertRows(const std::string& table, const std::vector<std::string>& columns,
                          const std::vector<SqlValue>& values);
  // Rows the last statement changed.
  virtual int64_t Changes() const = 0;
  // False once the engine has given the open transaction up by itself (full
  // disk, I/O error, connection lost).
  virtual bool InTransaction() const = 0;

  // Removes every row of a table, the quickest way the engine knows.
  virtual void EmptyTable(const std::string& table) = 0;
  // Starts a transaction that writes.
  virtual void Begin() = 0;
  // A schema step's text with the type words this engine uses.
  virtual std::string SchemaSql(const std::string& sql) const = 0;
  // The schema version the database has reached; 0 for an empty one.
  virtual int Version() = 0;
  virtual void SetVersion(int version) = 0;
  // Within a transaction: no other connection migrates until it ends.
  virtual void LockSchema() = 0;
  // A consistent copy into a local SQLite file.
  virtual void Backup(const std::string& target) = 0;
};

// Rolls back unless committed: nothing half-written survives a failure.
class SqlTransaction {
 public:
  explicit SqlTransaction(SqlDb& db);
  ~SqlTransaction();
  SqlTransaction(const SqlTransaction&) = delete;
  SqlTransaction& operator=(const SqlTransaction&) = delete;
  void Commit();

 private:
  SqlDb& db_;
  bool open_ = true;
};

}  // namespace orti
