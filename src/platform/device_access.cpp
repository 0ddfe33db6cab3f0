#include "platform/device_access.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace orti {
namespace {

// The canonical path, or empty.
std::string RealPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return {};
  std::string result(resolved);
  std::free(resolved);
  return result;
}

// The first line of a sysfs attribute, or empty.
std::string Attribute(const std::string& folder, const char* name) {
  std::ifstream file(folder + "/" + name);
  std::string line;
  std::getline(file, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

}  // namespace

std::string DeviceGroupName(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  std::vector<char> buffer(16384);
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->gr_name) {
    return found->gr_name;
  }
  return std::to_string(st.st_gid);
}

std::string CurrentUserName() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_name) {
    return found->pw_name;
  }
  return {};
}

std::optional<UsbIdentity> UsbIdentityOf(const std::string& path, const std::string& sysRoot) {
  const std::string device = RealPath(path);
  if (device.empty()) return std::nullopt;
  const std::string name = device.substr(device.rfind('/') + 1);
  const std::string root = RealPath(sysRoot);
  std::string folder = RealPath(sysRoot + "/class/tty/" + name + "/device");
  if (root.empty() || folder.empty()) return std::nullopt;
  // Up from the tty's interface to the USB device that carries the ids.
  while (folder.size() > root.size() && folder.rfind(root, 0) == 0) {
    const std::string vendor = Attribute(folder, "idVendor");
    if (!vendor.empty()) {
      UsbIdentity usb;
      usb.vendorId = vendor;
      usb.productId = Attribute(folder, "idProduct");
      usb.manufacturer = Attribute(folder, "manufacturer");
      usb.product = Attribute(folder, "product");
      usb.serial = Attribute(folder, "serial");
      return usb;
    }
    folder.erase(folder.rfind('/'));
  }
  return std::nullopt;
}

std::string UsbIdentityText(const UsbIdentity& usb) {
  std::string text = "USB " + usb.vendorId + ":" + usb.productId;
  if (!usb.manufacturer.empty()) text += " " + usb.manufacturer;
  if (!usb.product.empty()) text += " " + usb.product;
  if (!usb.serial.empty()) text += ", серийный номер " + usb.serial;
  return text;
}

}  // namespace orti
