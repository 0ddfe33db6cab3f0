#pragma once
// One request to the instrument and its reply. Every exchange opens the port,
// configures it, sends the request up to five times until a complete reply has
// arrived, and closes the port again; the port stays closed in between.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "device/exchanger.h"
#include "device/link_hooks.h"
#include "model/console_state.h"
#include "platform/clock.h"
#include "platform/log_sink.h"
#include "platform/serial_port.h"

namespace orti {

constexpr size_t kReplyBufferSize = 5000;  // the last character always stays zero
constexpr int kAttemptsPerExchange = 5;
constexpr int kReadsPerAttempt = 10;
constexpr size_t kReadChunk = 4096;
constexpr std::chrono::milliseconds kPauseAfterWrite{300};
constexpr std::chrono::milliseconds kPauseAfterEmptyRead{5};

constexpr const char* kTimeoutLine = "Превышено время ожидания";
constexpr const char* kAbortLine = "Запрос прерван";

// "COM" n: the name the operator sees for port number n.
std::string PortName(int portNumber);

class DeviceLink final : public Exchanger {
 public:
  DeviceLink(SerialPort& port, ConsoleState& state, LogSink& log, Clock& clock, LinkHooks& hooks);

  // Sends `request` over ConsoleState::currentPort. On success ReplyBlock()
  // holds the received characters and true is returned; failures are logged
  // as the work log expects and return false.
  bool Exchange(const char* request, size_t size);
  bool Exchange(std::string_view request) override {
    return Exchange(request.data(), request.size());
  }

  // What the attempt that completed the last successful exchange received.
  std::string_view ReplyBlock() const { return std::string_view(buffer_, replyLength_); }
  int ReplyLength() const { return static_cast<int>(replyLength_); }
  // The reply buffer up to its first zero character: after a failure, what
  // the last attempt received (usually nothing).
  std::string_view ReceivedText() const { return std::string_view(buffer_); }
  std::string_view ReplyBuffer() const override { return ReceivedText(); }

 private:
  enum class AttemptResult { kReply, kNoReply };

  AttemptResult Attempt(const char* request, size_t size);
  void ClearBuffer();
  void StartTimer();
  void EndTimer();
  void ReportPortError();
  void AdviseOnPermission(int portNumber);

  SerialPort& port_;
  ConsoleState& state_;
  LogSink& log_;
  Clock& clock_;
  LinkHooks& hooks_;
  char buffer_[kReplyBufferSize] = {};
  size_t replyLength_ = 0;
  bool permissionAdvised_ = false;  // once per run
};

}  // namespace orti
