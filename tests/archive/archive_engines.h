#pragma once
// The archive's behaviour tests run on every engine: a workstation's SQLite
// file and a fresh database on the tests' own PostgreSQL server.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "archive/server_archive.h"
#include "archive/sqlite_archive.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

namespace orti::test {

enum class Engine { kSqlite, kPostgres };

class OnEachEngine : public ::testing::TestWithParam<Engine> {
 protected:
  // A fresh, empty archive of the test's engine.
  std::unique_ptr<ArchiveStore> NewStore() {
    if (GetParam() == Engine::kSqlite) {
      return std::make_unique<SqliteArchive>(dir.File(std::to_string(++files_) + ".sqlite"));
    }
    return OpenServerArchive(SharedPgServer().NewDatabase());
  }

  TempDir dir;

 private:
  int files_ = 0;
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
