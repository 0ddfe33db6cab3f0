#pragma once
// The backups folder in the program folder: a new backup file for every
// write, the newest one found after a cut, the oldest completed ones removed.

#include <string>
#include <vector>

#include "folders/backup_file.h"
#include "platform/atomic_file.h"

namespace orti {

constexpr const char* kBackupsFolder = "backups/";
constexpr const char* kBackupPrefix = "orti415-backup-";
constexpr const char* kBackupExtension = ".txt";
constexpr int kKeptCompletedBackups = 50;

struct NewBackupName {
  std::string path;     // in the backups folder, not yet existing
  std::string created;  // "dd.mm.yyyy hh:nn:ss.zzz", the same moment
};

// Creates the backups folder when missing and picks a name from the local
// time to the millisecond ("orti415-backup-20261208-114005-123.txt"), the
// next millisecond when that name is taken. Empty path when the folder cannot
// be made (errno in `errorNumber`).
NewBackupName NewBackupPath(const std::string& programFolder, int& errorNumber);

// Replaces the file atomically; the first save creates it, never through a
// link and never over a file that appeared at its name meanwhile.
FileResult SaveBackup(const std::string& path, const Backup& backup);

// False with a reason (UTF-8) when the file cannot be read or parsed.
bool LoadBackup(const std::string& path, Backup& backup, std::string& error);

// Every backup file of the folder, oldest first (their names sort by time).
std::vector<std::string> BackupFiles(const std::string& programFolder);

// Removes the oldest completed backups beyond the most recent 50. A backup
// whose synchronisation did not complete is never removed here.
void PruneCompletedBackups(const std::string& programFolder);

}  // namespace orti
