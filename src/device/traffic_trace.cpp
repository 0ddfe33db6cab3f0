#include "device/traffic_trace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>

#include "device/device_link.h"
#include "platform/system_error.h"

namespace orti {
namespace {

long long LocalMsOfDay() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const long long ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return ((local.tm_hour * 60LL + local.tm_min) * 60 + local.tm_sec) * 1000 + ms;
}

}  // namespace

std::string TraceFile(const std::string& requested) {
  if (!requested.empty()) return requested;
  const char* variable = std::getenv(kTraceVariable);
  return variable ? variable : "";
}

std::string TraceLine(long long msOfDay, int port, int attempt, char direction,
                      std::string_view text, const char* verdict) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02lld:%02lld:%02lld.%03lld", msOfDay / 3600000,
                msOfDay / 60000 % 60, msOfDay / 1000 % 60, msOfDay % 1000);
  std::string line = std::string(stamp) + " " + PortName(port) + " " + std::to_string(attempt) +
                     " " + direction + " ";
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      line += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      line += escaped;
    }
  }
  if (verdict) line += std::string(" [") + verdict + "]";
  return line;
}

std::unique_ptr<FileTrafficTrace> FileTrafficTrace::Open(const std::string& path,
                                                         std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error) *error = why;
    return nullptr;
  };
  constexpr const char* kNoFile = "не обычный файл и не символьное устройство";
  auto acceptable = [](const struct stat& st) {
    return S_ISREG(st.st_mode) || S_ISCHR(st.st_mode);
  };
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && !acceptable(st)) return fail(kNoFile);
  // Non-blocking, so that a pipe put there meanwhile fails at once instead of waiting.
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return fail(SystemErrorText(errno));
  if (fstat(fd, &st) != 0 || !acceptable(st)) {
    close(fd);
    return fail(kNoFile);
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "ab");
  if (!file) {
    close(fd);
    return fail(SystemErrorText(errno));
  }
  return std::unique_ptr<FileTrafficTrace>(new FileTrafficTrace(file));
}

FileTrafficTrace::~FileTrafficTrace() {
  std::fclose(file_);
}

void FileTrafficTrace::Sent(int port, int attempt, std::string_view text) {
  Write(TraceLine(LocalMsOfDay(), port, attempt, '>', text, nullptr));
}

void FileTrafficTrace::Received(int port, int attempt, std::string_view text, const char* verdict) {
  Write(TraceLine(LocalMsOfDay(), port, attempt, '<', text, verdict));
}

void FileTrafficTrace::Note(int port, int attempt, std::string_view text) {
  Write(TraceLine(LocalMsOfDay(), port, attempt, '*', text, nullptr));
}

void FileTrafficTrace::Write(const std::string& line) {
  std::fputs(line.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace orti
