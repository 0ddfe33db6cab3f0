#include "device/device_link.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "device/frame_codec.h"
#include "device/permission_advice.h"
#include "device/win32_error.h"
#include "platform/device_access.h"

namespace orti {

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
  state_.timeout = 0;
  hooks_.StartReplyTimer();
}

void DeviceLink::EndTimer() {
  state_.timeout = 0;
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
  const std::string text =
      PermissionAdviceText(PortName(portNumber), path,
                           path.empty() ? std::string() : DeviceGroupName(path), CurrentUserName());
  log_.AddLogLine(text);
  hooks_.ShowMessage(text);
}

bool DeviceLink::Exchange(const char* request, size_t size) {
  ClearBuffer();
  replyLength_ = 0;
  const int portNumber = state_.currentPort;

  if (!port_.Open(portNumber)) {
    // A missing or busy port is silent (the port search tries them all); a
    // port we may not use is worth a line, or the operator never learns why.
    if (port_.LastError() == EACCES) {
      ReportPortError();
      AdviseOnPermission(portNumber);
    }
    port_.ClearLastError();
    EndTimer();
    return false;
  }
  if (!port_.Configure()) {
    ReportPortError();
    port_.Close();
    EndTimer();
    return false;
  }
  port_.ClearModemLines();
  port_.Purge();

  state_.deviceAddress = 1;
  StartTimer();
  if (hooks_.ConnectionWindowVisible()) hooks_.ShowPort(PortName(portNumber));

  for (int attempt = 0; attempt < kAttemptsPerExchange; ++attempt) {
    hooks_.ProcessMessages();
    if (hooks_.ConnectionWindowVisible()) hooks_.ShowAttempt(std::to_string(attempt));
    const char* stopLine = state_.timeout ? kTimeoutLine : state_.abort ? kAbortLine : nullptr;
    if (stopLine) {
      log_.AddLogLine(stopLine);
      EndTimer();
      port_.Close();
      return false;
    }
    if (Attempt(request, size) == AttemptResult::kReply) {
      port_.Close();
      EndTimer();
      return true;
    }
  }
  port_.Close();
  EndTimer();
  return false;
}

DeviceLink::AttemptResult DeviceLink::Attempt(const char* request, size_t size) {
  ClearBuffer();
  if (!port_.Write(request, size)) {
    ReportPortError();
    return AttemptResult::kNoReply;
  }
  clock_.Sleep(kPauseAfterWrite);

  // A reply may arrive over several reads; everything this attempt receives
  // is kept, in order, and searched as one block.
  size_t kept = 0;
  for (int read = 0; read < kReadsPerAttempt; ++read) {
    const size_t room = std::min(kReadChunk, kReplyBufferSize - 1 - kept);
    size_t received = 0;
    if (room > 0 && !port_.Read(buffer_ + kept, room, received)) {
      ReportPortError();
      received = 0;
    }
    if (received == 0) {
      clock_.Sleep(kPauseAfterEmptyRead);
      continue;
    }
    kept += std::min(received, room);
    if (IsCompleteReply(std::string_view(buffer_, kept))) {
      replyLength_ = kept;
      return AttemptResult::kReply;
    }
  }
  return AttemptResult::kNoReply;
}

}  // namespace orti
