#include "platform/program_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/system_error.h"

#include "platform/install_paths.h"

namespace orti {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;  // as the XDG rules ask for the data home
constexpr mode_t kSharedFolderMode = 0755;

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

bool IsAbsolute(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

bool IsWritableDir(const std::string& dir) {
  struct stat st {};
  return !dir.empty() && stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         access(dir.c_str(), W_OK) == 0;
}

// A portable copy: the folder already holds the settings file, may be
// written, and is not part of the system's installed software.
bool IsPortableFolder(const std::string& dir) {
  if (!IsWritableDir(dir)) return false;
  const std::string withSlash = WithSlash(dir);
  if (withSlash.rfind("/usr/", 0) == 0) return false;
  struct stat st {};
  return stat((withSlash + kProgramSettingsFileName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Why the folder cannot hold the console's files; empty when it can.
std::string FolderProblem(const std::string& dir) {
  struct stat st {};
  std::string reason;
  if (stat(dir.c_str(), &st) != 0) {
    reason = SystemErrorText(errno);
  } else if (!S_ISDIR(st.st_mode)) {
    reason = "это не папка";
  } else if (access(dir.c_str(), W_OK) != 0) {
    reason = "нет права записи";
  } else {
    return {};
  }
  return "Папка программы " + dir + " не может быть использована: " + reason +
         ". Настройки, протокол и резервные копии не могут быть сохранены в ней.";
}

}  // namespace

void MakeFolders(const std::string& dir, mode_t mode) {
  for (size_t pos = 1; pos <= dir.size(); ++pos) {
    if (pos == dir.size() || dir[pos] == '/') mkdir(dir.substr(0, pos).c_str(), mode);
  }
}

HomeSources CurrentHomeSources() {
  auto text = [](const char* value) { return std::string(value ? value : ""); };
  HomeSources s{text(std::getenv("HOME")), text(std::getenv("XDG_DATA_HOME")), {}};
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  // Only a home that is there: system users get "/nonexistent".
  struct stat st {};
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && stat(found->pw_dir, &st) == 0 && S_ISDIR(st.st_mode)) {
    s.databaseHome = found->pw_dir;
  }
  return s;
}

std::string DataHome(const HomeSources& s) {
  if (IsAbsolute(s.xdgDataHome)) return s.xdgDataHome;
  const std::string& home = IsAbsolute(s.home) ? s.home : s.databaseHome;
  if (!IsAbsolute(home)) return {};
  return WithSlash(home) + ".local/share";
}

ProgramFolder ResolveProgramFolder(const ProgramFolderSources& s) {
  if (!s.homeOverride.empty()) {
    MakeFolders(s.homeOverride, kSharedFolderMode);
    return {WithSlash(s.homeOverride), FolderProblem(s.homeOverride)};
  }
  if (IsPortableFolder(s.executableDir)) return {WithSlash(s.executableDir), {}};
  if (s.userDataDir.empty()) return {};
  MakeFolders(s.userDataDir, kPrivateFolderMode);
  return {WithSlash(s.userDataDir), FolderProblem(s.userDataDir)};
}

ProgramFolderSources CurrentProgramFolderSources() {
  ProgramFolderSources s;
  if (const char* home = std::getenv("ORTI415_HOME")) s.homeOverride = home;
  s.executableDir = ExecutableFolder();
  const std::string data = DataHome(CurrentHomeSources());
  if (!data.empty()) s.userDataDir = data + "/orti415";
  return s;
}

std::string ExportStartFolder(const std::string& programFolder, const std::string& userDataDir,
                              const std::string& documentsDir, const std::string& homeDir) {
  if (userDataDir.empty() || WithSlash(programFolder) != WithSlash(userDataDir)) {
    return WithSlash(programFolder);
  }
  return WithSlash(IsWritableDir(documentsDir) ? documentsDir : homeDir);
}

}  // namespace orti
