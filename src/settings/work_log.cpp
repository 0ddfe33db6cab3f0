#include "settings/work_log.h"

#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "settings/file_error.h"

namespace orti {

void WorkLog::AddLogLine(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && static_cast<unsigned char>(text[start]) < 33) ++start;
  std::string rest = text.substr(start);
  size_t pos = 0;
  for (;;) {
    size_t brk = rest.find_first_of("\r\n", pos);
    std::string line = rest.substr(pos, brk == std::string::npos ? std::string::npos : brk - pos);
    lines_.push_back(line);
    if (appended_) appended_(line);
    if (brk == std::string::npos) break;
    pos = brk + ((rest[brk] == '\r' && brk + 1 < rest.size() && rest[brk + 1] == '\n') ? 2 : 1);
    if (pos >= rest.size()) break;  // a trailing line break adds no empty line
  }
}

void WorkLog::Clear() {
  lines_.clear();
  if (cleared_) cleared_();
}

void WorkLog::SetListeners(std::function<void(const std::string&)> appended,
                           std::function<void()> cleared) {
  appended_ = std::move(appended);
  cleared_ = std::move(cleared);
}

std::string WorkLogFileBytes(const WorkLog& log) {
  std::string text;
  for (const auto& line : log.Lines()) {
    text += line;
    text += "\r\n";
  }
  return Utf8ToCp1251(text);
}

void SaveWorkLog(const WorkLog& log, const ConsoleState& state, Dialogs& dialogs) {
  const std::string path = state.programFolder + kWorkLogFileName;
  FileResult result = ReplaceFile(path, WorkLogFileBytes(log));
  if (!result.ok) {
    ReportWriteFailure(dialogs, path, result);
    return;
  }
  dialogs.ShowMessage("Протокол сохранен в файле\n" + path);
}

}  // namespace orti
