// Bytes from the serial line: reply validation, the exchange's reply buffer
// and record decoding must hold up against anything the line delivers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "device/device_link.h"
#include "device/frame_codec.h"
#include "device/link_hooks.h"
#include "device/record_decoder.h"
#include "device/reply_validation.h"
#include "fuzz_support.h"
#include "platform/date_time.h"

namespace {

using namespace orti;
using namespace orti::fuzz;

// Hands the input out in pieces whose sizes come from the input itself; a
// piece may be far larger than one read asks for.
class InputPort final : public SerialPort {
 public:
  explicit InputPort(std::string_view input) : input_(input) {}
  bool Open(int) override { return true; }
  bool Configure() override { return true; }
  void ClearModemLines() override {}
  void Purge() override {}
  bool Write(const char*, size_t) override { return true; }
  bool Read(char* buffer, size_t capacity, size_t& received) override {
    received = 0;
    if (pos_ >= input_.size()) return true;
    const size_t want = 1 + static_cast<uint8_t>(input_[pos_]) * 37u;
    received = std::min({want, capacity, input_.size() - pos_});
    std::memcpy(buffer, input_.data() + pos_, received);
    pos_ += received;
    return true;
  }
  void Close() override {}
  int LastError() const override { return 0; }
  void ClearLastError() override {}

 private:
  std::string_view input_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view block(reinterpret_cast<const char*>(data), size);

  // Whatever is found lies inside the block and has the form of a frame.
  const std::string request = BuildReadRequest(1, 0x3200, 18);
  const FoundReply found = FindReply(request, block);
  if (found.verdict != ReplyVerdict::kNoFrame) {
    Check(found.frame.size() >= 3 && found.frame.front() == ':');
    Check(found.frame.substr(found.frame.size() - 2) == "\r\n");
    Check(found.frame.data() >= block.data() &&
          found.frame.data() + found.frame.size() <= block.data() + block.size());
  }
  IsErrorReply(block);
  ReplyByteAt(block, kReplyDataPosition);
  DeviceErrorText(BlockChar(block, 2));
  if (size >= 4) ParseWord16(block.data());

  QuietDialogs dialogs;
  NotepadRecord record;
  DecodeRecord(record, block, EncodeDate(2026, 1, 1), dialogs);
  Check(record.mode == 0xFF || record.mode <= 3);

  VirtualClock clock;
  ConsoleState state;
  state.link.currentPort = 1;
  NullLog log;
  ClockLinkHooks hooks(clock, state);
  InputPort port(block);
  DeviceLink link(port, state, log, clock, hooks);
  const ExchangeStatus status = link.Exchange(BuildIdentifyRequest(1));
  if (status == ExchangeStatus::kReply) {
    Check(FindReply(BuildIdentifyRequest(1), link.Reply()).verdict == ReplyVerdict::kValid);
  }
  Check(link.ReplyBuffer().size() < kReplyBufferSize);
  Check(!hooks.TimerRunning());
  return 0;
}
