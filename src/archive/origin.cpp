#include "archive/origin.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace orti {

std::string NewOrigin(const std::string& workstation) {
  std::random_device device;
  const uint64_t value = (uint64_t{device()} << 32) | device();
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(value));
  return workstation + ":" + digits;
}

}  // namespace orti
