#include "archive/sqlite_db.h"

#include <sqlite3.h>

namespace orti {
namespace {

[[noreturn]] void Fail(sqlite3* db, int code) {
  throw ArchiveError(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) : db_(db) {
  const int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
  if (rc != SQLITE_OK) Fail(db, rc);
}

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(stmt_);
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
  sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, double value) {
  sqlite3_bind_double(stmt_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const std::string& text) {
  sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const std::vector<uint8_t>& blob) {
  sqlite3_bind_blob(stmt_, index, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
  sqlite3_bind_null(stmt_, index);
  return *this;
}

bool SqliteStatement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  Fail(db_, rc);
}

void SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

int64_t SqliteStatement::Int(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::Real(int column) const {
  return sqlite3_column_double(stmt_, column);
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::vector<uint8_t> SqliteStatement::Blob(int column) const {
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
  return data ? std::vector<uint8_t>(data, data + sqlite3_column_bytes(stmt_, column))
              : std::vector<uint8_t>();
}

void SqliteStatement::TextInto(int column, std::string& text) const {
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (data) {
    text.assign(data, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
  } else {
    text.clear();
  }
}

void SqliteStatement::BlobInto(int column, std::vector<uint8_t>& blob) const {
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
  if (data) {
    blob.assign(data, data + sqlite3_column_bytes(stmt_, column));
  } else {
    blob.clear();
  }
}

SqliteDb::SqliteDb(const std::string& path, bool readOnly) {
  // Never through a link: a link planted at the archive's name is refused.
  const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                    SQLITE_OPEN_NOFOLLOW;
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    throw ArchiveError(reason);
  }
}

SqliteDb::~SqliteDb() {
  sqlite3_close(db_);
}

void SqliteDb::Exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string reason = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw ArchiveError(reason);
  }
}

int64_t SqliteDb::QueryInt(const char* sql) {
  SqliteStatement query(db_, sql);
  return query.Step() ? query.Int(0) : 0;
}

int64_t SqliteDb::LastInsertId() const {
  return sqlite3_last_insert_rowid(db_);
}

int SqliteDb::Changes() const {
  return sqlite3_changes(db_);
}

bool SqliteDb::InTransaction() const {
  return sqlite3_get_autocommit(db_) == 0;
}

SqliteTransaction::SqliteTransaction(SqliteDb& db) : db_(db) {
  // IMMEDIATE takes the write lock now, so a second console waits here
  // (busy timeout) rather than failing halfway through.
  db_.Exec("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
  if (!open_) return;
  try {
    db_.Exec("ROLLBACK");
  } catch (const ArchiveError&) {
    // SQLite may already have rolled back (full disk, I/O error).
  }
}

void SqliteTransaction::Commit() {
  db_.Exec("COMMIT");
  open_ = false;
}

}  // namespace orti
