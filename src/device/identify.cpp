#include "device/identify.h"

#include <string>

#include "device/frame_codec.h"
#include "platform/cp1251.h"

namespace orti {

bool DecodeIdentity(std::string_view block, DeviceIdentity& identity) {
  identity = DeviceIdentity{};
  for (int i = 0; i < 8; ++i) {
    identity.name[i] = static_cast<char>(ReplyByteAt(block, 9 + 2 * i));
  }
  const std::string name(identity.name, 8);
  if (Cp1251ToUpper(name) != Utf8ToCp1251(kInstrumentName)) return false;
  identity.version[0] = static_cast<char>(ReplyByteAt(block, 25));
  identity.extra[0] = ReplyByteAt(block, 5);
  identity.extra[1] = ReplyByteAt(block, 7);
  char digits[4];
  auto word = [&](size_t pos) {
    for (size_t i = 0; i < 4; ++i) digits[i] = BlockChar(block, pos + i);
    return static_cast<int32_t>(ParseWord16(digits));
  };
  for (int b = 0; b < 4; ++b) identity.block[b] = word(27 + 4 * static_cast<size_t>(b));
  identity.notepadAddress = word(43);
  return true;
}

bool Identify(Exchanger& link, const ConsoleState& state, DeviceIdentity& identity, LogSink& log) {
  const ExchangeStatus status = link.Exchange(BuildIdentifyRequest(kDefaultDeviceAddress));
  const std::string port = std::to_string(state.link.currentPort);
  if (status != ExchangeStatus::kReply && status != ExchangeStatus::kErrorReply) {
    // Something long came back, but nothing that answers the identification.
    if (link.ReplyBuffer().size() >= kIdentifyReplyLimit) {
      log.AddLogLine("Неправильная длина отклика прибора: порт=COM" + port);
    }
    return false;
  }
  identity = DeviceIdentity{};
  // An error reply carries no name: it fails the name check below.
  if (status == ExchangeStatus::kErrorReply || !DecodeIdentity(link.Reply(), identity)) {
    identity = DeviceIdentity{};
    log.AddLogLine("Неправильное имя прибора: порт=COM" + port);
    return false;
  }
  return true;
}

}  // namespace orti
