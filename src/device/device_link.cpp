#include "device/device_link.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "device/frame_codec.h"
#include "device/permission_advice.h"
#include "device/win32_error.h"
#include "platform/device_access.h"
#include "platform/install_paths.h"

namespace orti {
namespace {

constexpr size_t kFunctionCodePosition = 3;

// Identification and reads may end early in a fast reading; a write is given
// the instrument's full pause, as it may be busy storing.
bool MayEndEarly(std::string_view request) {
  const uint8_t function = ReplyByteAt(request, kFunctionCodePosition);
  return function == kFuncIdentify || function == kFuncRead;
}

// The frame as one line of the work log.
std::string WithoutLineEnd(std::string_view frame) {
  while (!frame.empty() && (frame.back() == '\n' || frame.back() == '\r')) frame.remove_suffix(1);
  return std::string(frame);
}

}  // namespace

std::string PortName(int portNumber) {
  return "COM" + std::to_string(portNumber);
}

DeviceLink::DeviceLink(SerialPort& port, ConsoleState& state, LogSink& log, Clock& clock,
                       LinkHooks& hooks)
    : port_(port), state_(state), log_(log), clock_(clock), hooks_(hooks) {}

void DeviceLink::ClearBuffer() {
  std::memset(buffer_, 0, sizeof buffer_);
}

void DeviceLink::StartTimer() {
  state_.link.timeout = false;
  hooks_.StartReplyTimer();
}

void DeviceLink::EndTimer() {
  state_.link.timeout = false;
  hooks_.StopReplyTimer();
}

void DeviceLink::ReportPortError() {
  ReportWin32Error(port_.LastError(), state_, log_);
  port_.ClearLastError();
}

// Which group the device belongs to and what to do, once per run: in the work
// log and as a message.
void DeviceLink::AdviseOnPermission(int portNumber) {
  if (permissionAdvised_) return;
  permissionAdvised_ = true;
  const std::string path = port_.DevicePath(portNumber);
  const std::string text = PermissionAdviceText(
      PortName(portNumber), path, path.empty() ? std::string() : DeviceGroupName(path),
      CurrentUserName(), InstalledExampleRule());
  log_.AddLogLine(text);
  hooks_.ShowMessage(text);
}

ExchangeStatus DeviceLink::Finish(ExchangeStatus status) {
  port_.Close();
  EndTimer();
  return status;
}

ExchangeStatus DeviceLink::Exchange(std::string_view request) {
  ClearBuffer();
  reply_.clear();
  const int portNumber = state_.link.currentPort;

  if (!port_.Open(portNumber)) {
    // A missing or busy port is silent (the port search tries them all); a
    // port we may not use is worth a line, or the operator never learns why.
    if (port_.LastError() == EACCES) {
      ReportPortError();
      AdviseOnPermission(portNumber);
    }
    port_.ClearLastError();
    EndTimer();
    return ExchangeStatus::kPortError;
  }
  if (!port_.Configure()) {
    ReportPortError();
    return Finish(ExchangeStatus::kPortError);
  }
  port_.ClearModemLines();

  state_.link.deviceAddress = 1;
  StartTimer();
  if (hooks_.ConnectionWindowVisible()) hooks_.ShowPort(PortName(portNumber));

  bool anyWritten = false;
  std::string rejected;
  ReplyVerdict rejectedVerdict = ReplyVerdict::kNoFrame;
  for (int attempt = 0; attempt < kAttemptsPerExchange; ++attempt) {
    hooks_.ProcessMessages();
    if (hooks_.ConnectionWindowVisible()) hooks_.ShowAttempt(std::to_string(attempt));
    if (state_.link.timeout || state_.link.abort) {
      log_.AddLogLine(state_.link.timeout ? kTimeoutLine : kAbortLine);
      return Finish(state_.link.timeout ? ExchangeStatus::kTimedOut : ExchangeStatus::kAborted);
    }
    const AttemptResult result = Attempt(request, attempt);
    anyWritten = anyWritten || result.written;
    if (IsAcceptable(result.found.verdict)) {
      reply_ = std::string(result.found.frame);
      return Finish(result.found.verdict == ReplyVerdict::kValid ? ExchangeStatus::kReply
                                                                 : ExchangeStatus::kErrorReply);
    }
    if (result.found.verdict != ReplyVerdict::kNoFrame) {
      rejected = WithoutLineEnd(result.found.frame);
      rejectedVerdict = result.found.verdict;
    }
  }
  if (!rejected.empty()) {
    log_.AddLogLine(std::string("Неверный ответ прибора (") + RejectionReason(rejectedVerdict) +
                    "): " + rejected);
    return Finish(ExchangeStatus::kMalformed);
  }
  return Finish(anyWritten ? ExchangeStatus::kNoReply : ExchangeStatus::kPortError);
}

bool DeviceLink::ReadMore(size_t& kept) {
  const size_t room = std::min(kReadChunk, kReplyBufferSize - 1 - kept);
  size_t received = 0;
  if (room > 0 && !port_.Read(buffer_ + kept, room, received)) {
    ReportPortError();
    received = 0;
  }
  kept += std::min(received, room);
  return received > 0;
}

DeviceLink::AttemptResult DeviceLink::Attempt(std::string_view request, int attempt) {
  AttemptResult result;
  ClearBuffer();
  // Whatever is still on its way from an earlier request must not be taken
  // for the reply to this one.
  port_.Purge();
  if (trace_) trace_->Sent(state_.link.currentPort, attempt, request);
  if (!port_.Write(request.data(), request.size())) {
    ReportPortError();
    return result;
  }
  result.written = true;

  // A reply may arrive over several reads; everything this attempt receives
  // is kept, in order, and searched as one block.
  size_t kept = 0;
  auto answered = [&] {
    result.found = FindReply(request, std::string_view(buffer_, kept));
    return IsAcceptable(result.found.verdict);
  };
  bool done = false;
  // LinkState::fastRead: identification and read attempts end as soon as
  // their reply is complete instead of always pausing; writes keep the pause.
  if (state_.link.fastRead && MayEndEarly(request)) {
    const auto deadline = clock_.Now() + kPauseAfterWrite;
    for (auto now = clock_.Now(); !done && now < deadline; now = clock_.Now()) {
      if (!port_.WaitForInput(deadline - now)) break;
      if (ReadMore(kept)) {
        done = answered();
      } else {
        clock_.Sleep(kPauseAfterEmptyRead);
      }
    }
  } else {
    clock_.Sleep(kPauseAfterWrite);
  }
  for (int read = 0; read < kReadsPerAttempt && !done; ++read) {
    if (ReadMore(kept)) {
      done = answered();
    } else {
      clock_.Sleep(kPauseAfterEmptyRead);
    }
  }
  if (trace_) {
    trace_->Received(state_.link.currentPort, attempt, std::string_view(buffer_, kept),
                     VerdictName(result.found.verdict));
  }
  return result;
}

}  // namespace orti
