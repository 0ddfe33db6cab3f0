#include "archive/sql_db.h"

#include <type_traits>

namespace orti {

std::string SqlStatement::Text(int column) const {
  std::string text;
  engine_->TextInto(column, text);
  return text;
}

std::vector<uint8_t> SqlStatement::Blob(int column) const {
  std::vector<uint8_t> blob;
  engine_->BlobInto(column, blob);
  return blob;
}

int64_t SqlStatement::InsertedId() {
  if (!Step()) throw ArchiveError("row not kept");
  const int64_t id = Int(0);
  Reset();
  return id;
}

int64_t SqlDb::QueryInt(const std::string& sql) {
  SqlStatement query = Prepare(sql);
  return query.Step() ? query.Int(0) : 0;
}

void SqlDb::InsertRows(const std::string& table, const std::vector<std::string>& columns,
                       const std::vector<SqlValue>& values) {
  std::string names, marks;
  for (const std::string& column : columns) {
    names += (names.empty() ? "" : ", ") + column;
    marks += marks.empty() ? "?" : ", ?";
  }
  SqlStatement insert = Prepare("INSERT INTO " + table + "(" + names + ") VALUES(" + marks + ")");
  const size_t width = columns.size();
  for (size_t row = 0; row + width <= values.size(); row += width) {
    insert.Reset();
    for (size_t c = 0; c < width; ++c) {
      std::visit(
          [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
              insert.BindNull(static_cast<int>(c + 1));
            } else {
              insert.Bind(static_cast<int>(c + 1), v);
            }
          },
          values[row + c]);
    }
    insert.Run();
  }
}

SqlTransaction::SqlTransaction(SqlDb& db) : db_(db) {
  db_.Begin();
}

SqlTransaction::~SqlTransaction() {
  if (!open_) return;
  try {
    db_.Exec("ROLLBACK");
  } catch (const ArchiveError&) {
    // The engine may already have rolled back (full disk, connection lost).
  }
}

void SqlTransaction::Commit() {
  db_.Exec("COMMIT");
  open_ = false;
}

}  // namespace orti
