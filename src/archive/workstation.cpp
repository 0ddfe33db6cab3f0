#include "archive/workstation.h"

#include <sys/utsname.h>

#include <cstdlib>

namespace orti {

std::string WorkstationName() {
  const char* variable = std::getenv(kWorkstationVariable);
  if (variable && *variable) return variable;
  utsname names{};
  if (uname(&names) != 0) return {};
  return names.nodename;
}

}  // namespace orti
