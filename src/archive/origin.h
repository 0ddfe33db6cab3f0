#pragma once
// A reading's or a change's id across workstations: the workstation, a colon
// and 16 random hexadecimal digits, so that a server tells apart what two
// workstations made and knows what it has been sent already.

#include <string>

namespace orti {

std::string NewOrigin(const std::string& workstation);

}  // namespace orti
