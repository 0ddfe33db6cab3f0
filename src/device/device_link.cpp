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

void DeviceLink::StartTimer() {
  state_.link.timeout = false;
  hooks_.StartReplyTimer(patience_.ExchangeLimit(kReplyTimerInterval));
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
  received_.clear();
  reply_.clear();
  sent_ = framesIn_ = 0;
  inFrame_ = false;
  frameLength_ = 0;
  firstRequestEnd_.reset();
  readTimes_.clear();
  dropped_ = 0;
  const int portNumber = state_.link.currentPort;
  if (portNumber != patiencePort_) {
    patience_.Forget();
    patiencePort_ = portNumber;
  }

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
  // Whatever came before this exchange answers nothing of it. Dropped once:
  // from here on everything is kept, so a late reply to the first copy of the
  // request is as good as one to the last.
  port_.Purge();

  state_.link.deviceAddress = 1;
  StartTimer();
  if (hooks_.ConnectionWindowVisible()) hooks_.ShowPort(PortName(portNumber));

  bool anyWritten = false;
  std::string rejected;
  ReplyVerdict rejectedVerdict = ReplyVerdict::kNoFrame;
  int attempt = 0;
  std::optional<ExchangeStatus> status;
  for (; attempt < kAttemptsPerExchange && !status; ++attempt) {
    hooks_.ProcessMessages();
    if (hooks_.ConnectionWindowVisible()) hooks_.ShowAttempt(std::to_string(attempt));
    if (state_.link.timeout || state_.link.abort) {
      log_.AddLogLine(state_.link.timeout ? kTimeoutLine : kAbortLine);
      status = state_.link.timeout ? ExchangeStatus::kTimedOut : ExchangeStatus::kAborted;
      break;
    }
    const AttemptResult result = Attempt(request, attempt);
    anyWritten = anyWritten || result.written;
    if (IsAcceptable(result.found.verdict)) {
      reply_ = std::string(result.found.frame);
      replyStart_ = dropped_ + static_cast<size_t>(result.found.frame.data() - received_.data());
      status = result.found.verdict == ReplyVerdict::kValid ? ExchangeStatus::kReply
                                                            : ExchangeStatus::kErrorReply;
    } else if (result.found.verdict != ReplyVerdict::kNoFrame) {
      rejected = WithoutLineEnd(result.found.frame);
      rejectedVerdict = result.found.verdict;
    }
  }
  const std::optional<Millis> turnaround = MeasuredTurnaround();
  // The answers still owed are waited for with what the line has shown so far.
  DrainBacklog(attempt, patience_.Turnaround().value_or(turnaround.value_or(kPauseAfterWrite)));
  if (turnaround) {
    patience_.Measured(*turnaround);
    if (trace_) {
      trace_->Note(portNumber, attempt - 1,
                   "turnaround " + std::to_string(turnaround->count()) + " ms");
    }
  }
  if (status) return Finish(*status);
  if (!rejected.empty()) {
    log_.AddLogLine(std::string("Неверный ответ прибора (") + RejectionReason(rejectedVerdict) +
                    "): " + rejected);
    return Finish(ExchangeStatus::kMalformed);
  }
  return Finish(anyWritten ? ExchangeStatus::kNoReply : ExchangeStatus::kPortError);
}

bool DeviceLink::ReadMore() {
  char chunk[kReadChunk];
  size_t received = 0;
  if (!port_.Read(chunk, sizeof chunk, received)) {
    ReportPortError();
    return false;
  }
  received = std::min(received, sizeof chunk);
  if (received == 0) return false;
  readTimes_.emplace_back(dropped_ + received_.size(), clock_.Now());
  // Frames are counted as they complete, so that the answers still owed are known.
  for (size_t i = 0; i < received; ++i) {
    const char c = chunk[i];
    if (c == ':') {
      inFrame_ = true;
      frameLength_ = 0;
    } else if (inFrame_ && c == '\n' && !received_.empty() && received_.back() == '\r') {
      ++framesIn_;
      inFrame_ = false;
    }
    if (inFrame_) ++frameLength_;
    received_ += c;
  }
  attemptInput_.append(chunk, received);
  if (received_.size() > kReplyBufferSize) {
    const size_t excess = received_.size() - kReplyBufferSize;
    received_.erase(0, excess);
    dropped_ += excess;
  }
  return true;
}

bool DeviceLink::Judge(std::string_view request, AttemptResult& result) const {
  result.found = FindReply(request, received_);
  return IsAcceptable(result.found.verdict);
}

bool DeviceLink::ReadUntil(Millis deadline, std::string_view request, AttemptResult& result) {
  for (Millis now = clock_.Now(); now < deadline; now = clock_.Now()) {
    if (!port_.WaitForInput(deadline - now)) return false;
    if (ReadMore()) {
      if (Judge(request, result)) return true;
    } else {
      clock_.Sleep(kPauseAfterEmptyRead);
    }
  }
  return false;
}

bool DeviceLink::ReadBegunFrame(std::string_view request, AttemptResult& result) {
  // Bounded: a frame longer than any reply is no reply, and noise that keeps
  // coming must not hold the exchange.
  const size_t longest = 2 * kLongestReplyChars;
  const Millis deadline = clock_.Now() + WireTime(longest) + kLineSilence;
  Millis lastInput = clock_.Now();
  while (inFrame_ && frameLength_ <= longest) {
    const Millis now = clock_.Now();
    if (now >= deadline) break;
    if (ReadMore()) {
      lastInput = now;
      if (Judge(request, result)) return true;
    } else if (now - lastInput >= kLineSilence) {
      break;
    } else {
      clock_.Sleep(kPauseAfterEmptyRead);
    }
  }
  return false;
}

DeviceLink::AttemptResult DeviceLink::Attempt(std::string_view request, int attempt) {
  AttemptResult result;
  attemptInput_.clear();
  const Millis window =
      patience_.AttemptWindow(request.size(), ExpectedReplyLength(request), kPauseAfterWrite);
  if (trace_) {
    trace_->Note(state_.link.currentPort, attempt,
                 "attempt, reads for " + std::to_string(window.count()) + " ms");
    trace_->Sent(state_.link.currentPort, attempt, request);
  }
  if (!port_.Write(request.data(), request.size())) {
    ReportPortError();
    return result;
  }
  result.written = true;
  ++sent_;
  const Millis written = clock_.Now();
  lastRequestEnd_ = written + WireTime(request.size());
  if (!firstRequestEnd_) firstRequestEnd_ = lastRequestEnd_;

  const Millis pauseEnd = written + kPauseAfterWrite;
  bool done = false;
  // LinkState::fastRead: identification and read attempts end as soon as
  // their reply is complete instead of always pausing; writes keep the pause.
  if (state_.link.fastRead && MayEndEarly(request)) {
    done = ReadUntil(written + window, request, result);
  } else {
    // The pause; the first characters are taken as they come, so that the
    // turnaround can be measured.
    if (readTimes_.empty() && port_.WaitForInput(kPauseAfterWrite)) ReadMore();
    const Millis now = clock_.Now();
    if (now < pauseEnd) clock_.Sleep(pauseEnd - now);
    done = Judge(request, result);
    // A slow instrument is given its turnaround and reply time before a re-send.
    if (!done && window > kPauseAfterWrite) done = ReadUntil(written + window, request, result);
  }
  for (int read = 0; read < kReadsPerAttempt && !done; ++read) {
    if (ReadMore()) {
      done = Judge(request, result);
    } else {
      clock_.Sleep(kPauseAfterEmptyRead);
    }
  }
  // Judged once more at the end: what an earlier judgement pointed at may
  // have moved as more input came.
  if (!done && !ReadBegunFrame(request, result)) Judge(request, result);
  if (trace_) {
    trace_->Received(state_.link.currentPort, attempt, attemptInput_,
                     VerdictName(result.found.verdict));
  }
  return result;
}

std::optional<Millis> DeviceLink::MeasuredTurnaround() const {
  if (!firstRequestEnd_ || reply_.empty() || readTimes_.empty()) return std::nullopt;
  // The reply is the last acceptable frame received; where it starts tells
  // which read brought its first characters.
  Millis arrived = readTimes_.front().second;
  for (const auto& [offset, at] : readTimes_) {
    if (offset > replyStart_) break;
    arrived = at;
  }
  // Counted from the first request: the instrument answers in order, so an
  // answer to a later copy only makes the line look slower than it is.
  return std::max(Millis(0), arrived - *firstRequestEnd_);
}

void DeviceLink::DrainBacklog(int attempt, Millis turnaround) {
  if (framesIn_ >= sent_) return;
  attemptInput_.clear();
  const Millis limit = clock_.Now() + turnaround + WireTime(kLongestReplyChars) + kPatienceMargin;
  // An answer still owed starts within a turnaround of the last request.
  const Millis quietFrom = lastRequestEnd_ + turnaround + kPatienceMargin;
  Millis lastInput = clock_.Now();
  while (framesIn_ < sent_) {
    const Millis now = clock_.Now();
    if (now >= limit) break;
    if (ReadMore()) {
      lastInput = now;
    } else if (now >= quietFrom && now - lastInput >= kLineSilence) {
      break;
    } else {
      clock_.Sleep(kPauseAfterEmptyRead);
    }
  }
  if (trace_ && !attemptInput_.empty()) {
    trace_->Note(state_.link.currentPort, attempt - 1, "dropped " + attemptInput_);
  }
}

}  // namespace orti
