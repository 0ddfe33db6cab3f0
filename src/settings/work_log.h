#pragma once
// The work log: every part of the console appends its progress and failure
// lines here. It lives in memory; the operator may save it to a file.

#include <functional>
#include <string>
#include <vector>

#include "model/console_state.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"

namespace orti {

constexpr const char* kWorkLogFileName = "orti-415.txt";

class WorkLog final : public LogSink {
 public:
  // Drops every leading character below code 33 (blanks, control characters)
  // and appends the rest; a text with line breaks becomes several lines.
  void AddLogLine(const std::string& text) override;
  void Clear();

  const std::vector<std::string>& Lines() const { return lines_; }

  // The window showing the log follows it through these.
  void SetListeners(std::function<void(const std::string& line)> appended,
                    std::function<void()> cleared);

 private:
  std::vector<std::string> lines_;
  std::function<void(const std::string&)> appended_;
  std::function<void()> cleared_;
};

// The whole log as the file holds it: cp1251, every line ended by CR LF.
std::string WorkLogFileBytes(const WorkLog& log);

// Saves the log as "orti-415.txt" in the program folder, replacing the file,
// and tells the operator where it went, or why it could not be written (the
// old file is then left as it was).
void SaveWorkLog(const WorkLog& log, const ConsoleState& state, Dialogs& dialogs);

}  // namespace orti
