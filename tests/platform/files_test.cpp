#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/atomic_file.h"
#include "platform/program_folder.h"
#include "support/temp_dir.h"

namespace orti {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(AtomicFile, ReplacesContentAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("a.txt");
  WriteBytes(path, "old content that is longer");
  ASSERT_TRUE(WriteFileAtomically(path, "new").ok);
  EXPECT_EQ(ReadBytes(path), "new");
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes).ok);
  EXPECT_EQ(bytes, "new");
}

TEST(AtomicFile, FailureReportsErrnoAndKeepsTheOldFile) {
  TempDir dir;
  FileResult r = WriteFileAtomically(dir.File("missing/x.txt"), "data");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errorNumber, ENOENT);

  // A folder where the file's name is taken by a directory: rename fails.
  const std::string path = dir.File("taken");
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  WriteBytes(path + "/inside", "keep");
  EXPECT_FALSE(WriteFileAtomically(path, "data").ok);
  EXPECT_EQ(ReadBytes(path + "/inside"), "keep");

  std::string bytes;
  EXPECT_FALSE(ReadWholeFile(dir.File("nothing"), bytes).ok);
}

TEST(ProgramFolder, OverrideThenWritableExecutableFolderThenUserData) {
  TempDir dir;
  ProgramFolderSources s;
  s.homeOverride = dir.File("home");
  s.executableDir = dir.Path();
  s.userDataDir = dir.File("user/orti415");
  EXPECT_EQ(ResolveProgramFolder(s), dir.File("home/"));
  EXPECT_TRUE(FileExists(dir.File("home")));

  s.homeOverride.clear();
  EXPECT_EQ(ResolveProgramFolder(s), dir.Path());

  s.executableDir = dir.File("does-not-exist");
  EXPECT_EQ(ResolveProgramFolder(s), dir.File("user/orti415/"));
  EXPECT_TRUE(FileExists(dir.File("user/orti415")));
}

}  // namespace
}  // namespace orti
