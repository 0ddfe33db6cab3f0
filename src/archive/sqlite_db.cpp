#include "archive/sqlite_db.h"

#include <sqlite3.h>

namespace orti {
namespace {

[[noreturn]] void Fail(sqlite3* db, int code) {
  throw ArchiveError(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

class SqliteStatement final : public SqlStatement::Engine {
 public:
  SqliteStatement(sqlite3* db, const std::string& sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr);
    if (rc != SQLITE_OK) Fail(db, rc);
  }
  ~SqliteStatement() override { sqlite3_finalize(stmt_); }

  void Bind(int index, int64_t value) override { sqlite3_bind_int64(stmt_, index, value); }
  void Bind(int index, double value) override { sqlite3_bind_double(stmt_, index, value); }
  void Bind(int index, const std::string& text) override {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Bind(int index, const std::vector<uint8_t>& blob) override {
    sqlite3_bind_blob(stmt_, index, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
  }
  void BindNull(int index) override { sqlite3_bind_null(stmt_, index); }

  bool Step() override {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    Fail(db_, rc);
  }
  void Reset() override {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

  bool IsNull(int column) const override {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
  }
  int64_t Int(int column) const override { return sqlite3_column_int64(stmt_, column); }
  double Real(int column) const override { return sqlite3_column_double(stmt_, column); }
  void TextInto(int column, std::string& text) const override {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (data) {
      text.assign(data, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
    } else {
      text.clear();
    }
  }
  void BlobInto(int column, std::vector<uint8_t>& blob) const override {
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
    if (data) {
      blob.assign(data, data + sqlite3_column_bytes(stmt_, column));
    } else {
      blob.clear();
    }
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace

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

SqlStatement SqliteDb::Prepare(const std::string& sql) {
  return SqlStatement(std::make_unique<SqliteStatement>(db_, sql));
}

void SqliteDb::Exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string reason = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw ArchiveError(reason);
  }
}

int64_t SqliteDb::Changes() const {
  return sqlite3_changes(db_);
}

bool SqliteDb::InTransaction() const {
  return sqlite3_get_autocommit(db_) == 0;
}

int SqliteDb::Version() {
  return static_cast<int>(QueryInt("PRAGMA user_version"));
}

void SqliteDb::SetVersion(int version) {
  Exec("PRAGMA user_version = " + std::to_string(version));
}

void SqliteDb::SetBusyTimeout(int milliseconds) {
  sqlite3_busy_timeout(db_, milliseconds);
}

void SqliteDb::Backup(const std::string& target) {
  SqliteDb copy(target, false);
  sqlite3_backup* backup = sqlite3_backup_init(copy.Handle(), "main", db_, "main");
  if (!backup) throw ArchiveError(sqlite3_errmsg(copy.Handle()));
  // Whole steps, retried while a writer holds the lock.
  int rc;
  while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
    sqlite3_sleep(50);
  }
  sqlite3_backup_finish(backup);
  if (rc != SQLITE_DONE) throw ArchiveError(sqlite3_errstr(rc));
}

}  // namespace orti
