#pragma once
// Where the archive file lives: ORTI415_ARCHIVE when set, else archive.sqlite
// in the per-user data folder (the XDG data home; never ORTI415_HOME nor a
// portable copy's folder). Always a local disk: SQLite's locking is not safe
// on network folders, where the settings file may well be.

#include <string>

namespace orti {

constexpr const char* kArchiveVariable = "ORTI415_ARCHIVE";
constexpr const char* kArchiveFileName = "archive.sqlite";

struct ArchivePathSources {
  std::string override;  // ORTI415_ARCHIVE
  std::string dataHome;  // DataHome(): empty without a home
};

// The file's path; empty when it is the default one and there is no home.
// ORTI415_ARCHIVE is taken as given, its links resolved (the archive is
// opened without following links). The default file is made here when
// missing: its folder 0700, the file 0600, created exclusively and never
// through a link. Nothing existing changes its mode.
std::string ResolveArchivePath(const ArchivePathSources& sources);

ArchivePathSources CurrentArchivePathSources();

}  // namespace orti
