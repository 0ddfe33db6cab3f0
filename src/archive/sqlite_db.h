#pragma once
// A thin owner of an SQLite connection and its statements. Every failure
// becomes an ArchiveError carrying SQLite's own words.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace orti {

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const char* sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameters count from 1, as in SQLite.
  SqliteStatement& Bind(int index, int64_t value);
  SqliteStatement& Bind(int index, double value);
  SqliteStatement& Bind(int index, const std::string& text);
  SqliteStatement& Bind(int index, const std::vector<uint8_t>& blob);
  SqliteStatement& BindNull(int index);

  // True while a row is available.
  bool Step();
  void Run() { Step(); }
  void Reset();

  bool IsNull(int column) const;
  int64_t Int(int column) const;
  double Real(int column) const;
  std::string Text(int column) const;
  std::vector<uint8_t> Blob(int column) const;
  // The same into storage kept from the row before (no allocation per row).
  void TextInto(int column, std::string& text) const;
  void BlobInto(int column, std::vector<uint8_t>& blob) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

class SqliteDb {
 public:
  // Opens `path`, never through a symbolic link; read-only opens never create
  // or alter the file.
  SqliteDb(const std::string& path, bool readOnly);
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  void Exec(const std::string& sql);
  int64_t QueryInt(const char* sql);
  int64_t LastInsertId() const;
  int Changes() const;
  // False once SQLite has rolled the open transaction back by itself (full disk, I/O error).
  bool InTransaction() const;
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// Rolls back unless committed: nothing half-written survives a failure.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteDb& db);
  ~SqliteTransaction();
  void Commit();

 private:
  SqliteDb& db_;
  bool open_ = true;
};

}  // namespace orti
