#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

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
  EXPECT_EQ(ResolveProgramFolder(s).path, dir.File("home/"));
  EXPECT_TRUE(FileExists(dir.File("home")));
  EXPECT_EQ(ResolveProgramFolder(s).problem, "");

  // The executable's folder only for a portable copy that already holds its settings.
  s.homeOverride.clear();
  EXPECT_EQ(ResolveProgramFolder(s).path, dir.File("user/orti415/"));
  WriteBytes(dir.File("orti415.ini"), "");
  EXPECT_EQ(ResolveProgramFolder(s).path, dir.Path());
  s.executableDir = "/usr/bin";  // never an installed program's folder, whoever starts it
  EXPECT_EQ(ResolveProgramFolder(s).path, dir.File("user/orti415/"));

  s.executableDir = dir.File("does-not-exist");
  EXPECT_EQ(ResolveProgramFolder(s).path, dir.File("user/orti415/"));
  struct stat st {};
  ASSERT_EQ(stat(dir.File("user/orti415").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u) << "a per-user folder is the user's alone";

  // No home at all: no folder, never a shared one; ORTI415_HOME naming a file: a problem to say.
  s.userDataDir.clear();
  EXPECT_EQ(ResolveProgramFolder(s).path, "");
  s.homeOverride = dir.File("orti415.ini");
  EXPECT_NE(ResolveProgramFolder(s).problem.find("это не папка"), std::string::npos);
}

TEST(ProgramFolder, OneHomeRuleForEveryPerUserFile) {
  struct Case {
    HomeSources sources;
    const char* dataHome;
  } cases[] = {
      {{"/home/a", "", "/home/db"}, "/home/a/.local/share"},
      {{"/home/a/", "/data/x", "/home/db"}, "/data/x"},
      {{"/home/a", "relative/x", ""}, "/home/a/.local/share"},  // a relative one is ignored
      {{"", "", "/home/db"}, "/home/db/.local/share"},          // HOME unset: the user database
      {{"", "", ""}, ""},
      {{"relative", "", "/home/db"}, "/home/db/.local/share"},
  };
  for (const Case& c : cases) EXPECT_EQ(DataHome(c.sources), c.dataHome) << c.sources.home;
}

TEST(ProgramFolder, ExportsStartInDocumentsOnlyWhenTheProgramFolderIsTheHiddenOne) {
  TempDir dir;
  const std::string user = dir.File("user/orti415");
  const std::string documents = dir.File("Документы");
  const std::string home = dir.File("home");
  EXPECT_EQ(ExportStartFolder(user + "/", user, documents, home), home + "/");  // no documents
  ::mkdir(documents.c_str(), 0755);
  EXPECT_EQ(ExportStartFolder(user + "/", user, documents, home), documents + "/");
  EXPECT_EQ(ExportStartFolder(user + "/", user, "", home), home + "/");
  // ORTI415_HOME or a portable copy: the program folder, as on Windows.
  EXPECT_EQ(ExportStartFolder(dir.File("stick/"), user, documents, home), dir.File("stick/"));
  EXPECT_EQ(ExportStartFolder(dir.File("stick"), "", documents, home), dir.File("stick/"));
}

}  // namespace
}  // namespace orti

namespace orti {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t Mode(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_ino;
}

TEST(ReplaceFile, ASymbolicLinkStaysALinkAndItsTargetIsReplaced) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("shared").c_str(), 0755), 0);
  const std::string target = dir.File("shared/orti415.ini");
  WriteBytes(target, "old");
  chmod(target.c_str(), 0640);
  const std::string link = dir.File("orti415.ini");
  ASSERT_EQ(symlink("shared/orti415.ini", link.c_str()), 0);  // relative, as users make them
  const std::string chain = dir.File("chain.ini");
  ASSERT_EQ(symlink(link.c_str(), chain.c_str()), 0);

  ASSERT_TRUE(ReplaceFile(chain, "new").ok);
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(lstat(chain.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(Mode(target), 0640u) << "the target keeps its permission bits";
  EXPECT_EQ(Entries(dir.File("shared")), std::vector<std::string>{"orti415.ini"});

  // A link to nothing, as one planted at a predictable name: refused, in the
  // console's own words, and nothing created where it points.
  const std::string dangling = dir.File("dangling.csv");
  ASSERT_EQ(symlink("shared/new.csv", dangling.c_str()), 0);
  const FileResult planted = ReplaceFile(dangling, "x");
  EXPECT_FALSE(planted.ok);
  EXPECT_NE(FileErrorText(planted).find("ссылка"), std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("shared/new.csv")));

  // A cycle is refused.
  ASSERT_EQ(symlink(dir.File("loop2").c_str(), dir.File("loop1").c_str()), 0);
  ASSERT_EQ(symlink(dir.File("loop1").c_str(), dir.File("loop2").c_str()), 0);
  EXPECT_EQ(ReplaceFile(dir.File("loop1"), "x").errorNumber, ELOOP);
}

TEST(ReplaceFile, AReadOnlyFileIsRefusedAndLeftUnchanged) {
  TempDir dir;
  const std::string path = dir.File("export.csv");
  WriteBytes(path, "keep");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  FileResult r = ReplaceFile(path, "new");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errorNumber, EACCES);
  EXPECT_EQ(ReadBytes(path), "keep");
  EXPECT_EQ(Mode(path), 0444u);
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"export.csv"});
  // Extending is refused alike.
  EXPECT_EQ(ReplaceFile(path, "keepmore", nullptr, 4).errorNumber, EACCES);
  EXPECT_EQ(ReadBytes(path), "keep");
}

TEST(ReplaceFile, KeepsPermissionBitsAndNamesItsTemporaryFilesRecognisably) {
  TempDir dir;
  const std::string path = dir.File("a.txt");
  WriteBytes(path, "old");
  ASSERT_EQ(chmod(path.c_str(), 0604), 0);
  struct Seam final : ReplaceSeam {
    std::vector<std::string>* seen;
    std::string folder;
    int Before(ReplaceStep step) override {
      if (step == ReplaceStep::kRename) *seen = Entries(folder);
      return 0;
    }
  } seam;
  std::vector<std::string> seen;
  seam.seen = &seen;
  seam.folder = dir.Path();
  ASSERT_TRUE(ReplaceFile(path, "new", &seam).ok);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].rfind(".a.txt.orti415-", 0), 0u) << seen[0];
  EXPECT_EQ(seen[0].size(), std::string(".a.txt.orti415-XXXXXX").size());
  EXPECT_EQ(Mode(path), 0604u);
}

// The folder takes no new file but the file may be written: written in place.
TEST(ReplaceFile, AFolderThatTakesNoTemporaryFileGetsTheFileWrittenInPlace) {
  TempDir dir;
  const std::string path = dir.File("orti415.ini");
  WriteBytes(path, "old content, longer than the new");
  const ino_t before = Inode(path);
  struct Seam final : ReplaceSeam {
    int Before(ReplaceStep step) override {
      return step == ReplaceStep::kCreateTemporary ? EACCES : 0;  // as in a read-only folder
    }
  } seam;
  ASSERT_TRUE(ReplaceFile(path, "new", &seam).ok);
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_EQ(Inode(path), before) << "the same file, written in place";

  // A missing file cannot be created there: refused with the folder's reason.
  FileResult r = ReplaceFile(dir.File("missing.ini"), "x", &seam);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errorNumber, EACCES);
}

TEST(ReplaceFile, AReadOnlyFolderForReal) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("ro").c_str(), 0755), 0);
  const std::string path = dir.File("ro/orti415.ini");
  WriteBytes(path, "old");
  ASSERT_EQ(chmod(dir.File("ro").c_str(), 0555), 0);
  // Replaced (the superuser may write the folder) or written in place: either
  // way the new content, and nothing else left in the folder.
  EXPECT_TRUE(ReplaceFile(path, "new").ok);
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_EQ(Entries(dir.File("ro")), std::vector<std::string>{"orti415.ini"});
  chmod(dir.File("ro").c_str(), 0755);
}

// A temporary file another console holds (locked while it writes) is left to
// it, unless it has lain there for over an hour.
TEST(ReplaceFile, OnlyOurOwnLeftoversOfTheSameFileThatNobodyHoldsAreRemoved) {
  TempDir dir;
  const std::string path = dir.File("orti415.ini");
  WriteBytes(path, "old");
  WriteBytes(dir.File(".orti415.ini.orti415-a1B2c3"), "crash leftover");
  WriteBytes(dir.File(".orti415.ini.orti415-toolongname"), "not ours");
  WriteBytes(dir.File(".other.ini.orti415-a1B2c3"), "another file's");
  WriteBytes(dir.File("orti415.ini.XYZ123"), "not ours");
  const std::string held = dir.File(".orti415.ini.orti415-HELD01");
  const std::string stale = dir.File(".orti415.ini.orti415-STALE1");
  WriteBytes(held, "being written");
  WriteBytes(stale, "held for hours");
  const int heldFd = open(held.c_str(), O_RDONLY), staleFd = open(stale.c_str(), O_RDONLY);
  ASSERT_EQ(flock(heldFd, LOCK_EX), 0);
  ASSERT_EQ(flock(staleFd, LOCK_EX), 0);
  const timespec twoHoursAgo[2] = {{time(nullptr) - 7200, 0}, {time(nullptr) - 7200, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, stale.c_str(), twoHoursAgo, 0), 0);
  ASSERT_TRUE(ReplaceFile(path, "new").ok);
  close(heldFd);
  close(staleFd);
  EXPECT_EQ(
      Entries(dir.Path()),
      (std::vector<std::string>{".orti415.ini.orti415-HELD01", ".orti415.ini.orti415-toolongname",
                                ".other.ini.orti415-a1B2c3", "orti415.ini", "orti415.ini.XYZ123"}));
}

// What is read whole is a regular file within its limit: a device or a pipe
// is refused at once (never waited on), a larger file by its size.
TEST(ReadWholeFile, OnlyRegularFilesWithinTheLimit) {
  TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  WriteBytes(dir.File("eleven"), "eleven byte");
  struct Case {
    std::string path;
    size_t limit;
    bool ok;
    const char* reason;
  } cases[] = {
      {"/dev/zero", kMaxWholeFileBytes, false, "не обычный файл"},
      {dir.File("fifo"), kMaxWholeFileBytes, false, "не обычный файл"},
      {dir.Path(), kMaxWholeFileBytes, false, "не обычный файл"},
      {dir.File("eleven"), size_t{10}, false, "файл больше"},
      {dir.File("eleven"), size_t{11}, true, ""},
  };
  for (const Case& c : cases) {
    std::string bytes = "stale";
    const FileResult r = ReadWholeFile(c.path, bytes, c.limit);
    EXPECT_EQ(r.ok, c.ok) << c.path;
    EXPECT_EQ(FileErrorText(r).rfind(c.reason, 0), 0u) << c.path << ": " << FileErrorText(r);
    EXPECT_EQ(bytes, c.ok ? "eleven byte" : "") << c.path;
  }
}

// A replace stopped dead at any of its points leaves the old file or the new
// one, never a mix, and the next replace clears what the crash left.
TEST(ReplaceFile, ACrashAtEveryPointLeavesTheOldOrTheNewFile) {
  const std::string oldText(3 * kReplaceWriteChunk + 17, 'o');
  const std::string newText(2 * kReplaceWriteChunk + 5, 'n');
  struct Seam final : ReplaceSeam {
    int crashAt = 0;
    int calls = 0;
    int Before(ReplaceStep) override { return ++calls == crashAt ? kSimulatedCrash : 0; }
  };
  Seam count;
  {
    TempDir dir;
    WriteBytes(dir.File("f"), oldText);
    ASSERT_TRUE(ReplaceFile(dir.File("f"), newText, &count).ok);
  }
  ASSERT_GE(count.calls, 7);
  for (int point = 1; point <= count.calls; ++point) {
    TempDir dir;
    const std::string path = dir.File("f");
    WriteBytes(path, oldText);
    Seam seam;
    seam.crashAt = point;
    EXPECT_FALSE(ReplaceFile(path, newText, &seam).ok) << point;
    const std::string after = ReadBytes(path);
    EXPECT_TRUE(after == oldText || after == newText) << "crash at point " << point;
    ASSERT_TRUE(ReplaceFile(path, "next").ok);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"f"}) << point;
  }
}

}  // namespace
}  // namespace orti
