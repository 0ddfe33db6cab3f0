#pragma once
// Asking a port whether the instrument is behind it.

#include "device/exchanger.h"
#include "model/console_state.h"
#include "model/notepad_model.h"
#include "platform/log_sink.h"

namespace orti {

constexpr const char* kInstrumentName = "ОРТИ-415";
constexpr size_t kIdentifyReplyLimit = 110;  // a block this long is not an identification

// Sends the identification request on the current port. True, with `identity`
// filled, when the instrument answered with its name; otherwise the reason
// (when there was a reply) is in the log.
bool Identify(Exchanger& link, const ConsoleState& state, DeviceIdentity& identity, LogSink& log);

// Decodes an identification reply; false when its name is not the instrument's.
bool DecodeIdentity(std::string_view block, DeviceIdentity& identity);

}  // namespace orti
