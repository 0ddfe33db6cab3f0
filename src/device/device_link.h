#pragma once
// One request to the instrument and its reply. Every exchange opens the port,
// configures it, sends the request up to five times until a reply that
// answers it has arrived, and closes the port again; the port stays closed in
// between.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "device/exchanger.h"
#include "device/link_hooks.h"
#include "device/reply_validation.h"
#include "device/traffic_trace.h"
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

  // Every request and what came back goes to `trace` too (none: no trace).
  void SetTrace(TrafficTrace* trace) { trace_ = trace; }

  // Sends `request` over LinkState::currentPort. The reply of an attempt
  // is the last frame it received that answers the request; pending input is
  // dropped before every send, so a late reply to an earlier request is never
  // taken for this one. Failures are logged as the work log expects.
  ExchangeStatus Exchange(std::string_view request) override;
  std::string_view Reply() const override { return reply_; }
  std::string_view ReplyBuffer() const override { return std::string_view(buffer_); }

 private:
  struct AttemptResult {
    bool written = false;
    FoundReply found;
  };

  AttemptResult Attempt(std::string_view request, int attempt);
  // Reads what has arrived behind what the attempt kept; false when nothing came.
  bool ReadMore(size_t& kept);
  void ClearBuffer();
  void StartTimer();
  void EndTimer();
  void ReportPortError();
  void AdviseOnPermission(int portNumber);
  ExchangeStatus Finish(ExchangeStatus status);

  SerialPort& port_;
  ConsoleState& state_;
  LogSink& log_;
  Clock& clock_;
  LinkHooks& hooks_;
  TrafficTrace* trace_ = nullptr;
  char buffer_[kReplyBufferSize] = {};
  std::string reply_;
  bool permissionAdvised_ = false;  // once per run
};

}  // namespace orti
