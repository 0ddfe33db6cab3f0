#pragma once
// The program folder holds the settings file, the saved work log and the
// backups. On Windows it was always the executable's folder; here an
// installed executable's folder is usually not writable, so there is an order.
// Per-user files go under the XDG data home, found by one rule.

#include <sys/types.h>

#include <string>

namespace orti {

constexpr const char* kProgramSettingsFileName = "orti415.ini";

// Without a home the console has nowhere of its own to keep its files, and
// refuses to start rather than pick a shared folder.
constexpr const char* kNoHomeMessage =
    "Не найдена домашняя папка пользователя. Задайте переменную окружения HOME "
    "(или XDG_DATA_HOME абсолютным путем; ORTI415_HOME и ORTI415_ARCHIVE задают папку программы "
    "и файл архива).";

struct HomeSources {
  std::string home;          // HOME
  std::string xdgDataHome;   // XDG_DATA_HOME
  std::string databaseHome;  // the user database's home of the effective user, when it exists
};

// Reads the environment and the user database.
HomeSources CurrentHomeSources();

// XDG_DATA_HOME when it is absolute (a relative one is ignored, as the XDG
// rules say), else ".local/share" in the home: HOME when set (absolute), else
// the user database's; empty when no absolute home is known.
std::string DataHome(const HomeSources& sources);

struct ProgramFolderSources {
  std::string homeOverride;   // ORTI415_HOME, empty when unset
  std::string executableDir;  // folder of the running executable
  std::string userDataDir;    // DataHome()/orti415, empty without a home
};

struct ProgramFolder {
  std::string path;     // with a trailing '/'; empty when there is none at all (no home)
  std::string problem;  // why the folder cannot be used (a file, not writable); empty when it can
};

// Picks the folder: ORTI415_HOME when set (created when missing); else the
// executable's folder when it already holds "orti415.ini", is writable and is
// not under /usr (a portable copy, e.g. on a stick); else the per-user data
// folder, created (0700). So an installed program keeps its settings in the
// same place whoever starts it.
ProgramFolder ResolveProgramFolder(const ProgramFolderSources& sources);

// Reads the sources from the environment, the user database and /proc/self/exe.
ProgramFolderSources CurrentProgramFolderSources();

// Where the export dialog starts, with a trailing '/'. Exports started in the
// program folder; when that is the per-user data folder (hidden under
// ~/.local/share, where nobody looks for a spreadsheet) they start in
// `documentsDir`, the desktop's documents folder, when it is a writable
// folder, else in
// `homeDir`. A folder the user chose (ORTI415_HOME, a portable copy) stays.
std::string ExportStartFolder(const std::string& programFolder, const std::string& userDataDir,
                              const std::string& documentsDir, const std::string& homeDir);

// Creates the missing folders of `dir` with `mode` (less the umask); existing
// ones keep theirs.
void MakeFolders(const std::string& dir, mode_t mode);

}  // namespace orti
