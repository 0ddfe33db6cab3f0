#pragma once
// The work-log line of a failed port or file call. The console's operators and
// its support know these lines as "Win32 Error:" lines, so the wording stays.

#include <string>

#include "model/console_state.h"
#include "platform/log_sink.h"

namespace orti {

// Logs "Win32 Error:" + the code in decimal [+ " - " + the system's text, or
// `reason` when given] and keeps the text without the prefix as the last
// error text.
void ReportWin32Error(int errorNumber, ConsoleState& state, LogSink& log,
                      const std::string& reason = {});

// The same for the calling thread's errno, which is then reset to 0.
void ReportWin32Error(ConsoleState& state, LogSink& log);

}  // namespace orti
