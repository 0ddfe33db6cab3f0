#include "folders/backup_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace orti {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

}  // namespace

NewBackupName NewBackupPath(const std::string& programFolder, int& errorNumber) {
  const std::string folder = programFolder + kBackupsFolder;
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
    errorNumber = errno;
    return {};
  }
  using namespace std::chrono;
  auto now = time_point_cast<milliseconds>(system_clock::now());
  for (;; now += milliseconds(1)) {
    const std::time_t seconds = system_clock::to_time_t(now);
    const int ms = static_cast<int>(now.time_since_epoch().count() % 1000);
    std::tm t{};
    localtime_r(&seconds, &t);
    char name[64], created[32];
    std::snprintf(name, sizeof name, "%s%04d%02d%02d-%02d%02d%02d-%03d%s", kBackupPrefix,
                  t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, ms,
                  kBackupExtension);
    std::snprintf(created, sizeof created, "%02d.%02d.%04d %02d:%02d:%02d.%03d", t.tm_mday,
                  t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec, ms);
    const std::string path = folder + name;
    // A name taken by anything, a link to nowhere included, is skipped.
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return {path, created};
      errorNumber = errno;  // e.g. a file where the folder should be
      return {};
    }
  }
}

FileResult SaveBackup(const std::string& path, const Backup& backup) {
  return WriteFileAtomically(path, FormatBackup(backup));
}

bool LoadBackup(const std::string& path, Backup& backup, std::string& error) {
  std::string bytes;
  const FileResult read = ReadWholeFile(path, bytes);
  if (!read.ok) {
    error = FileErrorText(read);
    return false;
  }
  return ParseBackup(bytes, backup, error);
}

std::vector<std::string> BackupFiles(const std::string& programFolder) {
  std::vector<std::string> files;
  std::error_code ignored;
  for (const auto& entry :
       std::filesystem::directory_iterator(programFolder + kBackupsFolder, ignored)) {
    const std::string name = entry.path().filename().string();
    if (StartsWith(name, kBackupPrefix) && EndsWith(name, kBackupExtension)) {
      files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

void PruneCompletedBackups(const std::string& programFolder) {
  const std::vector<std::string> files = BackupFiles(programFolder);
  int kept = 0;
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    Backup backup;
    std::string error;
    if (!LoadBackup(*it, backup, error) || !backup.completed) continue;
    if (++kept > kKeptCompletedBackups) unlink(it->c_str());
  }
}

}  // namespace orti
