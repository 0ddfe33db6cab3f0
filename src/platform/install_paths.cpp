#include "platform/install_paths.h"

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <system_error>

namespace orti {

const char* const kExampleRuleFromProgramFolder = ORTI415_EXAMPLE_RULE_FROM_BINDIR;

std::string ExecutableFolder() {
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "";
  const std::string path(exe, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/'));
}

std::string InstalledFile(const std::string& folder, const std::string& relative) {
  if (folder.empty()) return "";
  const std::filesystem::path file = (std::filesystem::path(folder) / relative).lexically_normal();
  std::error_code error;
  return std::filesystem::is_regular_file(file, error) ? file.string() : "";
}

std::string InstalledExampleRule() {
  return InstalledFile(ExecutableFolder(), kExampleRuleFromProgramFolder);
}

}  // namespace orti
