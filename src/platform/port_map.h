#pragma once
// Which device a port number ("COM" n, 1 to 63) stands for. ORTI415_PORTS
// assigns numbers explicitly ("3=/dev/pts/4,7=/dev/ttyUSB1"); the remaining
// numbers go, lowest first, to the serial devices found: /dev/ttyS*, then
// /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyAMA*, /dev/ttyXRUSB* and /dev/rfcomm*,
// each in numeric order.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orti {

constexpr int kPortMapHighest = 63;

struct PortMapSources {
  std::string portsVariable;             // value of ORTI415_PORTS, empty when unset
  std::vector<std::string> deviceNodes;  // device paths present, in any order
  // Whether a /dev/ttyS node has a UART behind it; most of them are placeholders.
  std::function<bool(const std::string& path)> hasHardware;
  // The file a path finally names (links followed); the path itself when unset
  // or unresolved. A found device that is a mapped path's file keeps the mapped
  // number only: /dev/serial/by-id/... and its /dev/ttyUSB0 are one port.
  std::function<std::string(const std::string& path)> resolve;
};

class PortMap {
 public:
  PortMap() = default;
  explicit PortMap(const PortMapSources& sources);

  // The device of port `portNumber`; empty when the number stands for nothing.
  std::string DevicePath(int portNumber) const;
  const std::map<int, std::string>& Entries() const { return entries_; }

 private:
  std::map<int, std::string> entries_;
};

// Reads ORTI415_PORTS and lists /dev; a ttyS node counts as hardware unless
// sysfs or TIOCGSERIAL says its UART type is unknown; paths resolve through realpath.
PortMapSources CurrentPortMapSources();

}  // namespace orti
