#pragma once
// One request to the instrument and its reply. Every exchange opens the port,
// configures it, sends the request up to five times until a reply that
// answers it has arrived, and closes the port again; the port stays closed in
// between. What arrives during an exchange is kept across its attempts, so a
// reply that starts late or comes in pieces is still read whole.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/exchanger.h"
#include "device/line_patience.h"
#include "device/link_hooks.h"
#include "device/reply_validation.h"
#include "device/traffic_trace.h"
#include "model/console_state.h"
#include "platform/clock.h"
#include "platform/log_sink.h"
#include "platform/serial_port.h"

namespace orti {

constexpr size_t kReplyBufferSize = 5000;  // what one exchange keeps; the oldest goes first
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

  // Sends `request` over LinkState::currentPort. The reply is the last frame
  // received during the exchange that answers the request, whichever of its
  // copies it answers. Input is dropped once, before the first attempt; when
  // more requests went out than frames came back, the answers still owed are
  // waited for and dropped at the end, so that they never meet the next
  // request. Failures are logged as the work log expects.
  ExchangeStatus Exchange(std::string_view request) override;
  std::string_view Reply() const override { return reply_; }
  std::string_view ReplyBuffer() const override { return received_; }

  // The instrument's turnaround on the current port, once measured.
  std::optional<Millis> Turnaround() const { return patience_.Turnaround(); }

 private:
  struct AttemptResult {
    bool written = false;
    FoundReply found;
  };

  AttemptResult Attempt(std::string_view request, int attempt);
  // Reads what has arrived behind what the exchange kept; false when nothing came.
  bool ReadMore();
  // Whether what the exchange has received holds the reply; `result` says what it found.
  bool Judge(std::string_view request, AttemptResult& result) const;
  // Reads as characters come until the reply is accepted or `deadline`.
  bool ReadUntil(Millis deadline, std::string_view request, AttemptResult& result);
  // Reads on while a begun frame trickles in; true when the reply is accepted.
  bool ReadBegunFrame(std::string_view request, AttemptResult& result);
  // Waits out the answers still owed to re-sent requests, and drops them:
  // at most the longest reply's time beyond `turnaround`.
  void DrainBacklog(int attempt, Millis turnaround);
  // From the first request's last character to the start of the frame that
  // answered: only an answer to this request counts, never a stale one.
  std::optional<Millis> MeasuredTurnaround() const;
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
  std::string received_;      // this exchange's input, at most kReplyBufferSize
  std::string attemptInput_;  // what the current attempt received, for the trace
  std::string reply_;
  bool permissionAdvised_ = false;  // once per run
  LinePatience patience_;
  int patiencePort_ = 0;

  // This exchange's count of requests out and frames in, and the moments its
  // turnaround is measured between.
  int sent_ = 0;
  int framesIn_ = 0;
  bool inFrame_ = false;
  size_t frameLength_ = 0;
  std::optional<Millis> firstRequestEnd_;
  // When each read's first character arrived, by its place in all that the
  // exchange received (received_ has lost `dropped_` characters at its front).
  std::vector<std::pair<size_t, Millis>> readTimes_;
  size_t dropped_ = 0;
  size_t replyStart_ = 0;  // where the reply starts, counted as readTimes_ counts
  Millis lastRequestEnd_{0};
};

}  // namespace orti
