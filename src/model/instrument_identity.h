#pragma once
// The instrument as the archive and the audit trail know it: its identity
// bytes (what tells one instrument from another) and its shown name.

#include <cstdint>
#include <string>
#include <vector>

#include "model/notepad_model.h"

namespace orti {

std::vector<uint8_t> IdentityBytes(const DeviceIdentity& identity);
// Its reported name and software version, in UTF-8.
std::string InstrumentText(const DeviceIdentity& identity);

}  // namespace orti
