#pragma once
// The program folder holds the settings file, the saved work log and is where
// exports start. On Windows it was always the executable's folder; here an
// installed executable's folder is usually not writable, so there is an order.

#include <string>

namespace orti {

struct ProgramFolderSources {
  std::string homeOverride;    // ORTI415_HOME, empty when unset
  std::string executableDir;   // folder of the running executable
  std::string userDataDir;     // per-user application-data folder for the console
};

// Picks the folder and returns it with a trailing '/'. The per-user folder is
// created when it is the one chosen.
std::string ResolveProgramFolder(const ProgramFolderSources& sources);

// Reads the sources from the environment and /proc/self/exe.
ProgramFolderSources CurrentProgramFolderSources();

}  // namespace orti
