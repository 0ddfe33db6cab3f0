#pragma once
// Who may use a device: the group that owns it and the user we run as, and
// which USB adapter a serial device is (from sysfs).

#include <optional>
#include <string>

namespace orti {

// The name of the group owning `path` (symbolic links followed), its number
// when the group has no name, empty when the path cannot be looked at.
std::string DeviceGroupName(const std::string& path);

// The login name of the effective user; empty when unknown.
std::string CurrentUserName();

struct UsbIdentity {
  std::string vendorId;   // "0403"
  std::string productId;  // "6001"
  std::string manufacturer;
  std::string product;
  std::string serial;
};

// The USB device behind serial device `path` (by-id links followed), read from
// `sysRoot`/class/tty/NAME/device and its parents; nothing for a port that is
// not on USB.
std::optional<UsbIdentity> UsbIdentityOf(const std::string& path,
                                         const std::string& sysRoot = "/sys");

// "USB 0403:6001 FTDI FT232R USB UART, серийный номер A1B2C3D4"; the parts
// the device does not report are left out.
std::string UsbIdentityText(const UsbIdentity& usb);

}  // namespace orti
