// The identification reply as any instrument (or impostor) may send it: its
// decoding and its rows in the summary grid hold up against any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/identify.h"
#include "device/identity_display.h"
#include "fuzz_support.h"

using orti::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orti;
  const std::string_view block(reinterpret_cast<const char*>(data), size);
  DeviceIdentity identity;
  if (!DecodeIdentity(block, identity)) return 0;
  Check(identity.name[sizeof identity.name - 1] == '\0');
  StringGrid totalData(2, 1, 1);
  ConsoleState state;
  ShowIdentity(identity, totalData, state);
  Check(totalData.RowCount() >= 1);
  return 0;
}
