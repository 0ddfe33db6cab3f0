#include "archive/archive_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/atomic_file.h"
#include "platform/program_folder.h"

namespace orti {

std::string ResolveArchivePath(const ArchivePathSources& s) {
  if (!s.override.empty()) {
    std::string target;
    return ResolveLinks(s.override, target).ok ? target : s.override;
  }
  if (s.dataHome.empty()) return {};
  const std::string folder = s.dataHome + "/orti415";
  MakeFolders(folder, 0700);
  const std::string path = folder + "/" + kArchiveFileName;
  // A file or link already there stays as it is: SQLite refuses a link.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0) close(fd);
  return path;
}

ArchivePathSources CurrentArchivePathSources() {
  const char* value = std::getenv(kArchiveVariable);
  return {value ? value : "", DataHome(CurrentHomeSources())};
}

}  // namespace orti
