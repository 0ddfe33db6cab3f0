#pragma once
// The workstation a reading or a change was made on, as the lab-wide archive
// names it. Set per machine, never in the settings file that workstations
// may share.

#include <string>

namespace orti {

constexpr const char* kWorkstationVariable = "ORTI415_WORKSTATION";

// ORTI415_WORKSTATION when set and not empty, else the host name.
std::string WorkstationName();

}  // namespace orti
