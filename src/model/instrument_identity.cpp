#include "model/instrument_identity.h"

#include <cstring>

#include "platform/cp1251.h"

namespace orti {
namespace {

template <typename T>
void Append(std::vector<uint8_t>& bytes, const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  bytes.insert(bytes.end(), p, p + sizeof(value));
}

}  // namespace

std::vector<uint8_t> IdentityBytes(const DeviceIdentity& identity) {
  std::vector<uint8_t> bytes;
  Append(bytes, identity.name);
  Append(bytes, identity.version);
  Append(bytes, identity.extra);
  Append(bytes, identity.block);
  Append(bytes, identity.notepadAddress);
  return bytes;
}

std::string InstrumentText(const DeviceIdentity& identity) {
  const std::string name = Cp1251ToUtf8(std::string(identity.name, strnlen(identity.name, 9)));
  return name + " " + std::string(identity.version, strnlen(identity.version, 2));
}

}  // namespace orti
