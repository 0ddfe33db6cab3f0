#pragma once
// What to tell the operator when the system refuses a port for lack of
// permission: the group that owns the device and what to do about it. Beyond
// the console's documents: the "Win32 Error:" line alone names no remedy.

#include <string>

namespace orti {

// One line for the work log and the message box. `group` is the device's group
// as read from the device (empty: unknown); `user` the login name (may be empty);
// `exampleRule` the installed example udev rule (empty: not installed, not named).
std::string PermissionAdviceText(const std::string& portName, const std::string& devicePath,
                                 const std::string& group, const std::string& user,
                                 const std::string& exampleRule);

}  // namespace orti
