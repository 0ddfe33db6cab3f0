#include "archive/archive_path.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace orti {

std::string ResolveArchivePath(const ArchivePathSources& s) {
  if (!s.override.empty()) return s.override;
  const std::filesystem::path data = !s.xdgDataHome.empty()
                                         ? std::filesystem::path(s.xdgDataHome)
                                         : std::filesystem::path(s.home) / ".local" / "share";
  const std::filesystem::path folder = data / "orti415";
  std::error_code ignored;  // a folder that cannot be made shows when the file is opened
  std::filesystem::create_directories(folder, ignored);
  return (folder / "archive.sqlite").string();
}

ArchivePathSources CurrentArchivePathSources() {
  auto text = [](const char* value) { return std::string(value ? value : ""); };
  return {text(std::getenv(kArchiveVariable)), text(std::getenv("XDG_DATA_HOME")),
          text(std::getenv("HOME"))};
}

}  // namespace orti
