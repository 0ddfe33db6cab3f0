#include "device/failure_report.h"

#include <string>

#include "platform/cp1251.h"

namespace orti {

void ReportFailedReply(LogSink& log, std::string_view replyBuffer) {
  const std::string_view text = replyBuffer.substr(0, replyBuffer.find('\0'));
  log.AddLogLine("Ошибка при выполнении операции");
  log.AddLogLine(" Длина ответа= " + std::to_string(text.size()));
  log.AddLogLine(" Ответ прибора '" + Cp1251ToUtf8(text) + "'");
}

void LogReadError(LogSink& log, const char* literal, int folder) {
  log.AddLogLine(literal + std::to_string(folder));
}

}  // namespace orti
