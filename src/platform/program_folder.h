#pragma once
// The program folder holds the settings file, the saved work log and the
// backups. On Windows it was always the executable's folder; here an
// installed executable's folder is usually not writable, so there is an order.

#include <string>

namespace orti {

struct ProgramFolderSources {
  std::string homeOverride;   // ORTI415_HOME, empty when unset
  std::string executableDir;  // folder of the running executable
  std::string userDataDir;    // per-user application-data folder for the console
};

constexpr const char* kProgramSettingsFileName = "orti415.ini";

// Picks the folder and returns it with a trailing '/': ORTI415_HOME when set
// (created when missing); else the executable's folder when it already holds
// "orti415.ini", is writable and is not under /usr (a portable copy, e.g. on
// a stick); else the per-user data folder, created. So an installed program
// keeps its settings in the same place whoever starts it.
std::string ResolveProgramFolder(const ProgramFolderSources& sources);

// Reads the sources from the environment and /proc/self/exe.
ProgramFolderSources CurrentProgramFolderSources();

// Where the export dialog starts, with a trailing '/'. Exports started in the
// program folder; when that is the per-user data folder (hidden under
// ~/.local/share, where nobody looks for a spreadsheet) they start in
// `documentsDir`, the desktop's documents folder, when it is a writable
// folder, else in
// `homeDir`. A folder the user chose (ORTI415_HOME, a portable copy) stays.
std::string ExportStartFolder(const std::string& programFolder, const std::string& userDataDir,
                              const std::string& documentsDir, const std::string& homeDir);

}  // namespace orti
