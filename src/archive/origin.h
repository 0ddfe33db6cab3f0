#pragma once
// The name of a reading or a change across workstations.

#include <string>

namespace orti {

// `workstation` + ":" + 16 random hex digits.
std::string NewOrigin(const std::string& workstation);

}  // namespace orti
