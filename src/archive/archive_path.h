#pragma once
// Where the archive file lives: ORTI415_ARCHIVE when set, else archive.sqlite
// in the per-user data folder. Always a local disk: SQLite's locking is not
// safe on network folders, where the settings file may well be.

#include <string>

namespace orti {

constexpr const char* kArchiveVariable = "ORTI415_ARCHIVE";

struct ArchivePathSources {
  std::string override;     // ORTI415_ARCHIVE
  std::string xdgDataHome;  // XDG_DATA_HOME
  std::string home;         // HOME
};

// The file's path; its folder is created when it is the per-user one.
std::string ResolveArchivePath(const ArchivePathSources& sources);

ArchivePathSources CurrentArchivePathSources();

}  // namespace orti
