#include "platform/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/install_paths.h"

namespace orti {
namespace {

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

bool IsWritableDir(const std::string& dir) {
  struct stat st {};
  return !dir.empty() && stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         access(dir.c_str(), W_OK) == 0;
}

void MakeDirs(const std::string& dir) {
  for (size_t pos = 1; pos <= dir.size(); ++pos) {
    if (pos == dir.size() || dir[pos] == '/') mkdir(dir.substr(0, pos).c_str(), 0755);
  }
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

}  // namespace

std::string ResolveProgramFolder(const ProgramFolderSources& s) {
  if (!s.homeOverride.empty()) {
    MakeDirs(s.homeOverride);
    return WithSlash(s.homeOverride);
  }
  if (IsPortableFolder(s.executableDir)) return WithSlash(s.executableDir);
  MakeDirs(s.userDataDir);
  return WithSlash(s.userDataDir);
}

ProgramFolderSources CurrentProgramFolderSources() {
  ProgramFolderSources s;
  if (const char* home = std::getenv("ORTI415_HOME")) s.homeOverride = home;
  s.executableDir = ExecutableFolder();
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    s.userDataDir = std::string(xdg) + "/orti415";
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    s.userDataDir = std::string(home) + "/.local/share/orti415";
  } else {
    s.userDataDir = "/tmp/orti415";
  }
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
