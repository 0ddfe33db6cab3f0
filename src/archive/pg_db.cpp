#include "archive/pg_db.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <regex>
#include <utility>

namespace orti {
namespace {

// Type identifiers of the server's built-in types (pg_type.oid).
constexpr Oid kBoolOid = 16, kByteaOid = 17, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23,
              kTextOid = 25, kFloat4Oid = 700, kFloat8Oid = 701;
constexpr int kBinary = 1;
// Any number the archive's connections agree on.
constexpr int64_t kSchemaLockKey = 4150415;
constexpr const char* kConnectTimeoutSeconds = "3";
constexpr const char* kApplicationName = "orti415";

std::string Trimmed(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

// Throws, freeing `result`, unless it reports success.
void Check(PGresult* result, pg_conn* conn) {
  const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return;
  const std::string reason = Trimmed(result ? PQresultErrorMessage(result) : PQerrorMessage(conn));
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const bool conflict = state && (std::strcmp(state, "40P01") == 0 ||  // deadlock
                                  std::strcmp(state, "40001") == 0);   // serialization
  PQclear(result);
  if (conflict) throw ArchiveConflict(reason);
  throw ArchiveError(reason.empty() ? Trimmed(PQerrorMessage(conn)) : reason);
}

uint64_t LoadBig(const char* data, int length) {
  uint64_t value = 0;
  for (int i = 0; i < length; ++i) value = value << 8 | static_cast<uint8_t>(data[i]);
  return value;
}

// A value in the server's binary format, as parameters and COPY carry it.
void AppendBig(std::string& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 0xff);
}

class PgStatement final : public SqlStatement::Engine {
 public:
  PgStatement(PgDb& db, const std::string& sql) : db_(db), sql_(PgSql(sql)) {
    // The parameters the text names, so that unbound ones are NULL.
    static const std::regex kPlaceholder(R"(\$(\d+))");
    for (std::sregex_iterator it(sql_.begin(), sql_.end(), kPlaceholder), end; it != end; ++it) {
      params_.resize(std::max(params_.size(), static_cast<size_t>(std::stoi((*it)[1]))));
    }
  }
  ~PgStatement() override { PQclear(result_); }

  void Bind(int index, int64_t value) override {
    AppendBig(Set(index, kInt8Oid).bytes, static_cast<uint64_t>(value), 8);
  }
  void Bind(int index, double value) override {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendBig(Set(index, kFloat8Oid).bytes, bits, 8);
  }
  void Bind(int index, const std::string& text) override { Set(index, kTextOid).bytes = text; }
  void Bind(int index, const std::vector<uint8_t>& blob) override {
    Set(index, kByteaOid).bytes.assign(blob.begin(), blob.end());
  }
  void BindNull(int index) override { Param(index) = Parameter{}; }

  bool Step() override {
    if (!result_) {
      Execute();
      row_ = 0;
    } else {
      ++row_;
    }
    return row_ < PQntuples(result_);
  }
  void Reset() override {
    PQclear(result_);
    result_ = nullptr;
    for (Parameter& p : params_) p = Parameter{};
  }

  bool IsNull(int column) const override { return PQgetisnull(result_, row_, column) != 0; }
  int64_t Int(int column) const override {
    if (IsNull(column)) return 0;
    const char* data = PQgetvalue(result_, row_, column);
    switch (PQftype(result_, column)) {
      case kBoolOid:
        return data[0] != 0;
      case kInt2Oid:
        return static_cast<int16_t>(LoadBig(data, 2));
      case kInt4Oid:
        return static_cast<int32_t>(LoadBig(data, 4));
      case kInt8Oid:
        return static_cast<int64_t>(LoadBig(data, 8));
      default:
        return static_cast<int64_t>(Real(column));
    }
  }
  double Real(int column) const override {
    if (IsNull(column)) return 0;
    const char* data = PQgetvalue(result_, row_, column);
    switch (PQftype(result_, column)) {
      case kFloat8Oid: {
        const uint64_t bits = LoadBig(data, 8);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
      case kFloat4Oid: {
        const auto bits = static_cast<uint32_t>(LoadBig(data, 4));
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
      case kInt2Oid:
      case kInt4Oid:
      case kInt8Oid:
      case kBoolOid:
        return static_cast<double>(Int(column));
      default:
        throw ArchiveError("not a number in column " + std::to_string(column) + ": " + sql_);
    }
  }
  // Text and bytea come as their bytes in the binary format.
  void TextInto(int column, std::string& text) const override {
    text.assign(PQgetvalue(result_, row_, column),
                static_cast<size_t>(PQgetlength(result_, row_, column)));
  }
  void BlobInto(int column, std::vector<uint8_t>& blob) const override {
    const auto* data = reinterpret_cast<const uint8_t*>(PQgetvalue(result_, row_, column));
    blob.assign(data, data + PQgetlength(result_, row_, column));
  }

 private:
  struct Parameter {
    Oid type = 0;
    bool null = true;
    std::string bytes;
  };

  Parameter& Param(int index) {
    if (index < 1) throw ArchiveError("no parameter " + std::to_string(index));
    if (static_cast<size_t>(index) > params_.size()) params_.resize(static_cast<size_t>(index));
    return params_[static_cast<size_t>(index - 1)];
  }
  // The parameter, of `type` and not NULL, its bytes empty for the value.
  Parameter& Set(int index, Oid type) {
    Parameter& p = Param(index);
    p.type = type;
    p.null = false;
    p.bytes.clear();
    return p;
  }

  void Execute() {
    const size_t n = params_.size();
    std::vector<Oid> types(n);
    std::vector<const char*> values(n);
    std::vector<int> lengths(n), formats(n, kBinary);
    for (size_t i = 0; i < n; ++i) {
      const Parameter& p = params_[i];
      types[i] = p.type;
      values[i] = p.null ? nullptr : p.bytes.data();
      lengths[i] = static_cast<int>(p.bytes.size());
    }
    PGresult* result = PQexecParams(db_.Handle(), sql_.c_str(), static_cast<int>(n), types.data(),
                                    values.data(), lengths.data(), formats.data(), kBinary);
    Check(result, db_.Handle());
    result_ = result;
    const char* rows = PQcmdTuples(result_);
    db_.NoteChanges(rows && *rows ? std::atoll(rows) : 0);
  }

  PgDb& db_;
  std::string sql_;
  std::vector<Parameter> params_;
  PGresult* result_ = nullptr;
  int row_ = 0;
};

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

}  // namespace

std::string PgSql(const std::string& sql) {
  // Functions named differently: SQLite's instr(a, b) is strpos(a, b) here.
  static const std::pair<const char*, const char*> kFunctions[] = {{"instr(", "strpos("}};
  std::string out;
  out.reserve(sql.size() + 16);
  int bare = 0;
  char quote = 0;
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (quote) {
      out += c;
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      out += c;
      continue;
    }
    if (c == '?') {
      size_t end = i + 1;
      while (end < sql.size() && std::isdigit(static_cast<unsigned char>(sql[end]))) ++end;
      out += '$';
      out += end > i + 1 ? sql.substr(i + 1, end - i - 1) : std::to_string(++bare);
      i = end - 1;
      continue;
    }
    bool mapped = false;
    if (i == 0 || !IsWordChar(sql[i - 1])) {
      for (const auto& [from, to] : kFunctions) {
        if (sql.compare(i, std::strlen(from), from) == 0) {
          out += to;
          i += std::strlen(from) - 1;
          mapped = true;
          break;
        }
      }
    }
    if (!mapped) out += c;
  }
  return out;
}

std::string PgSchemaSql(const std::string& sql) {
  static const std::pair<std::regex, const char*> kTypes[] = {
      {std::regex(R"(\bINTEGER PRIMARY KEY\b)"),
       "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"},
      {std::regex(R"(\bBLOB\b)"), "BYTEA"},
      {std::regex(R"(\bREAL\b)"), "DOUBLE PRECISION"},
      {std::regex(R"(\bINTEGER\b)"), "BIGINT"},
  };
  std::string out = sql;
  for (const auto& [word, type] : kTypes) out = std::regex_replace(out, word, type);
  return out;
}

PgDb::PgDb(const std::string& conninfo) {
  // Given before the string, so that the string's own settings win.
  const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
  const char* values[] = {kConnectTimeoutSeconds, kApplicationName, conninfo.c_str(), nullptr};
  conn_ = PQconnectdbParams(keys, values, 1);
  if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
    const std::string reason = conn_ ? Trimmed(PQerrorMessage(conn_)) : "out of memory";
    PQfinish(conn_);
    throw ArchiveError(reason);
  }
  // The server's notices ("already exists, skipping") are not the user's concern.
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
}

PgDb::~PgDb() {
  PQfinish(conn_);
}

SqlStatement PgDb::Prepare(const std::string& sql) {
  return SqlStatement(std::make_unique<PgStatement>(*this, sql));
}

void PgDb::InsertRows(const std::string& table, const std::vector<std::string>& columns,
                      const std::vector<SqlValue>& values) {
  static const char kSignature[] = "PGCOPY\n\377\r\n";  // and its terminating zero
  std::string names;
  for (const std::string& column : columns) names += (names.empty() ? "" : ", ") + column;
  std::string data(kSignature, sizeof kSignature);
  AppendBig(data, 0, 4);  // flags
  AppendBig(data, 0, 4);  // no header extension
  const size_t width = columns.size();
  for (size_t row = 0; row + width <= values.size(); row += width) {
    AppendBig(data, width, 2);
    for (size_t c = 0; c < width; ++c) {
      const SqlValue& value = values[row + c];
      if (std::holds_alternative<std::monostate>(value)) {
        AppendBig(data, 0xffffffff, 4);
      } else if (const auto* i = std::get_if<int64_t>(&value)) {
        AppendBig(data, 8, 4);
        AppendBig(data, static_cast<uint64_t>(*i), 8);
      } else if (const auto* d = std::get_if<double>(&value)) {
        uint64_t bits;
        std::memcpy(&bits, d, sizeof bits);
        AppendBig(data, 8, 4);
        AppendBig(data, bits, 8);
      } else if (const auto* text = std::get_if<std::string>(&value)) {
        AppendBig(data, text->size(), 4);
        data += *text;
      } else {
        const auto& blob = std::get<std::vector<uint8_t>>(value);
        AppendBig(data, blob.size(), 4);
        data.append(blob.begin(), blob.end());
      }
    }
  }
  AppendBig(data, 0xffff, 2);  // the end
  PGresult* start =
      PQexec(conn_, ("COPY " + table + "(" + names + ") FROM STDIN (FORMAT binary)").c_str());
  if (PQresultStatus(start) != PGRES_COPY_IN) Check(start, conn_);
  PQclear(start);
  if (PQputCopyData(conn_, data.data(), static_cast<int>(data.size())) != 1 ||
      PQputCopyEnd(conn_, nullptr) != 1) {
    throw ArchiveError(Trimmed(PQerrorMessage(conn_)));
  }
  PGresult* done = PQgetResult(conn_);
  // Whatever else the server says is read, so that the connection is ready again.
  while (PGresult* more = PQgetResult(conn_)) PQclear(more);
  Check(done, conn_);
  PQclear(done);
  changes_ = static_cast<int64_t>(values.size() / std::max<size_t>(width, 1));
}

void PgDb::Exec(const std::string& sql) {
  PGresult* result = PQexec(conn_, PgSql(sql).c_str());
  Check(result, conn_);
  PQclear(result);
  changes_ = 0;
}

bool PgDb::InTransaction() const {
  const PGTransactionStatusType status = PQtransactionStatus(conn_);
  return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

// Asked of the catalog's rows, not its cache: a connection that waited for
// another's migration sees the table that one made.
bool PgDb::HasVersionTable() {
  return QueryInt(
             "SELECT EXISTS(SELECT 1 FROM pg_catalog.pg_class c "
             "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
             "WHERE c.relname = 'archive_version' AND n.nspname = current_schema())") != 0;
}

int PgDb::Version() {
  if (!HasVersionTable()) return 0;
  return static_cast<int>(QueryInt("SELECT coalesce(max(version), 0) FROM archive_version"));
}

void PgDb::SetVersion(int version) {
  Exec("DELETE FROM archive_version; INSERT INTO archive_version(version) VALUES(" +
       std::to_string(version) + ")");
}

void PgDb::LockSchema() {
  Exec("SELECT pg_advisory_xact_lock(" + std::to_string(kSchemaLockKey) + ")");
  // Made once, by the first migration; a role that may not create tables
  // still opens an archive that is up to date.
  if (!HasVersionTable()) {
    Exec("CREATE TABLE archive_version(version BIGINT NOT NULL)");
  }
}

void PgDb::Backup(const std::string&) {
  throw ArchiveError("a server's archive is backed up with the server's own tools");
}

void PgDb::SetReadOnly() {
  Exec("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
}

}  // namespace orti
