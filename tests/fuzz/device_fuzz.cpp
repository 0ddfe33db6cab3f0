// Bytes from the serial line: reply recognition, the exchange's reply buffer
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
#include "platform/date_time.h"

namespace {

using namespace orti;

class VirtualClock final : public Clock {
 public:
  std::chrono::milliseconds Now() override { return now_; }
  void Sleep(std::chrono::milliseconds d) override { now_ += d; }

 private:
  std::chrono::milliseconds now_{0};
};

class QuietDialogs final : public Dialogs {
 public:
  DialogAnswer Ask(const std::string&, const std::string&, DialogIcon, DialogButtons) override {
    return DialogAnswer::kOk;
  }
  void ShowMessage(const std::string&) override {}
};

class NullLog final : public LogSink {
 public:
  void AddLogLine(const std::string&) override {}
};

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

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view block(reinterpret_cast<const char*>(data), size);

  // Recognition against the plainest reading of the rule.
  bool expected = false;
  for (size_t colon = 0; colon < size && !expected; ++colon) {
    if (block[colon] != ':') continue;
    for (size_t i = colon + 1; i + 1 < size; ++i) {
      if (block[i] == '\r' && block[i + 1] == '\n') expected = true;
    }
  }
  Check(IsCompleteReply(block) == expected);
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
  state.currentPort = 1;
  NullLog log;
  ClockLinkHooks hooks(clock, state);
  InputPort port(block);
  DeviceLink link(port, state, log, clock, hooks);
  if (link.Exchange(BuildIdentifyRequest(1))) {
    Check(link.ReplyLength() > 0 && static_cast<size_t>(link.ReplyLength()) < kReplyBufferSize);
    Check(IsCompleteReply(link.ReplyBlock()));
  }
  Check(link.ReceivedText().size() < kReplyBufferSize);
  Check(!hooks.TimerRunning());
  return 0;
}
