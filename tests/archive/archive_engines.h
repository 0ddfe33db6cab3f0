#pragma once
// The archive's behaviour tests run on every engine: a workstation's SQLite
// file and a fresh database on the tests' own PostgreSQL server.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "archive/pg_db.h"
#include "archive/server_archive.h"
#include "archive/sqlite_archive.h"
#include "archive/sqlite_db.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

namespace orti::test {

enum class Engine { kSqlite, kPostgres };

class OnEachEngine : public ::testing::TestWithParam<Engine> {
 protected:
  // A fresh, empty archive of the test's engine.
  std::unique_ptr<ArchiveStore> NewStore() {
    if (GetParam() == Engine::kSqlite) {
      last_ = dir.File(std::to_string(++files_) + ".sqlite");
      return std::make_unique<SqliteArchive>(last_);
    }
    last_ = SharedPgServer().NewDatabase();
    return OpenServerArchive(last_);
  }
  // A connection of its own to the last store made, for what the store does not show.
  std::unique_ptr<SqlDb> Connect() const {
    if (GetParam() == Engine::kSqlite) return std::make_unique<SqliteDb>(last_, false);
    return std::make_unique<PgDb>(last_);
  }

  TempDir dir;

 private:
  int files_ = 0;
  std::string last_;
};

inline std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::kSqlite ? "sqlite" : "postgresql";
}

}  // namespace orti::test

#define ORTI_ON_EACH_ENGINE(suite)                                                       \
  INSTANTIATE_TEST_SUITE_P(                                                              \
      Engines, suite,                                                                    \
      ::testing::Values(::orti::test::Engine::kSqlite, ::orti::test::Engine::kPostgres), \
      ::orti::test::EngineName)
