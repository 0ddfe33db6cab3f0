#include "platform/port_map.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <set>
#include <tuple>

namespace orti {
namespace {

// In this order; the kinds after the first three were added later and come after them.
constexpr const char* kDeviceFamilies[] = {"ttyS",   "ttyUSB",   "ttyACM",
                                           "ttyAMA", "ttyXRUSB", "rfcomm"};
constexpr int kDeviceFamilyCount = sizeof kDeviceFamilies / sizeof kDeviceFamilies[0];
constexpr const char* kDeviceFolder = "/dev/";

// "3" -> 3; anything but 1..63 written as plain digits -> 0.
int ParsePortNumber(const std::string& text) {
  if (text.empty() || text.size() > 2) return 0;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= kPortMapHighest ? n : 0;
}

// Family rank and number of a serial device path; false for other paths.
bool SerialDeviceKey(const std::string& path, int& family, long& number) {
  if (path.rfind(kDeviceFolder, 0) != 0) return false;
  const std::string name = path.substr(std::char_traits<char>::length(kDeviceFolder));
  for (int f = 0; f < kDeviceFamilyCount; ++f) {
    const std::string prefix = kDeviceFamilies[f];
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    family = f;
    number = std::strtol(digits.c_str(), nullptr, 10);
    return true;
  }
  return false;
}

void AddExplicitEntries(const std::string& variable, std::map<int, std::string>& entries) {
  size_t start = 0;
  while (start <= variable.size()) {
    size_t end = variable.find(',', start);
    if (end == std::string::npos) end = variable.size();
    const std::string item = variable.substr(start, end - start);
    const size_t equals = item.find('=');
    if (equals != std::string::npos) {
      const int n = ParsePortNumber(item.substr(0, equals));
      const std::string path = item.substr(equals + 1);
      if (n != 0 && !path.empty()) entries[n] = path;
    }
    start = end + 1;
  }
}

bool TtySHasHardware(const std::string& path) {
  const std::string name = path.substr(path.rfind('/') + 1);
  std::ifstream typeFile("/sys/class/tty/" + name + "/type");
  int type = 0;
  if (typeFile >> type) return type != PORT_UNKNOWN;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return true;  // cannot tell: let the probe decide
  serial_struct info{};
  const bool known = ::ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type != PORT_UNKNOWN;
  ::close(fd);
  return known;
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

PortMap::PortMap(const PortMapSources& sources) {
  AddExplicitEntries(sources.portsVariable, entries_);
  auto fileOf = [&sources](const std::string& path) {
    return sources.resolve ? sources.resolve(path) : path;
  };
  std::set<std::string> taken;
  for (const auto& entry : entries_) taken.insert(fileOf(entry.second));

  std::vector<std::tuple<int, long, std::string>> found;
  for (const std::string& path : sources.deviceNodes) {
    int family = 0;
    long number = 0;
    if (!SerialDeviceKey(path, family, number) || taken.count(fileOf(path))) continue;
    if (family == 0 && sources.hasHardware && !sources.hasHardware(path)) continue;
    found.emplace_back(family, number, path);
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());

  int next = 1;
  for (const auto& device : found) {
    while (next <= kPortMapHighest && entries_.count(next)) ++next;
    if (next > kPortMapHighest) break;
    entries_[next++] = std::get<2>(device);
  }
}

std::string PortMap::DevicePath(int portNumber) const {
  const auto it = entries_.find(portNumber);
  return it == entries_.end() ? std::string() : it->second;
}

PortMapSources CurrentPortMapSources() {
  PortMapSources sources;
  if (const char* variable = std::getenv("ORTI415_PORTS")) sources.portsVariable = variable;
  if (DIR* dir = ::opendir(kDeviceFolder)) {
    while (const dirent* entry = ::readdir(dir)) {
      sources.deviceNodes.push_back(std::string(kDeviceFolder) + entry->d_name);
    }
    ::closedir(dir);
  }
  sources.hasHardware = TtySHasHardware;
  sources.resolve = RealPath;
  return sources;
}

}  // namespace orti
