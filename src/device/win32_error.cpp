#include "device/win32_error.h"

#include <cerrno>
#include <string>

#include "platform/atomic_file.h"

namespace orti {

void ReportWin32Error(int errorNumber, ConsoleState& state, LogSink& log,
                      const std::string& reason) {
  std::string text = std::to_string(errorNumber);
  if (errorNumber != 0) {
    const std::string message = FileErrorText({false, errorNumber, reason});
    if (!message.empty()) text += " - " + message;
  }
  log.AddLogLine("Win32 Error:" + text);
  state.link.lastErrorText = text;
}

void ReportWin32Error(ConsoleState& state, LogSink& log) {
  const int errorNumber = errno;
  ReportWin32Error(errorNumber, state, log);
  errno = 0;
}

}  // namespace orti
