#include "archive/origin.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace orti {

std::string NewOrigin(const std::string& workstation) {
  std::random_device random;
  const uint64_t bits = (uint64_t{random()} << 32) ^ random();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
  return workstation + ":" + hex;
}

}  // namespace orti
