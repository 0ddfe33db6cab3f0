#pragma once
// Every request and reply of the serial link, written to a file when the
// operator asks for it (ORTI415_TRACE=FILE, or the command line's --trace).
// The exchange is the one place that feeds it.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace orti {

constexpr const char* kTraceVariable = "ORTI415_TRACE";

class TrafficTrace {
 public:
  virtual ~TrafficTrace() = default;
  virtual void Sent(int port, int attempt, std::string_view text) = 0;
  // What one attempt received, and what the exchange made of it.
  virtual void Received(int port, int attempt, std::string_view text, const char* verdict) = 0;
  // What the exchange did beyond sending and receiving: an attempt's start
  // and how long it reads, the turnaround measured, answers dropped.
  virtual void Note(int port, int attempt, std::string_view text) {
    (void)port;
    (void)attempt;
    (void)text;
  }
};

// Where the traffic goes: `requested` when given, else ORTI415_TRACE, else
// nowhere (empty).
std::string TraceFile(const std::string& requested = {});

// "HH:MM:SS.mmm COMn attempt > text", "... < text [verdict]" or "... * note"; bytes outside
// printable ASCII as \xNN. `msOfDay` is the local time of day in milliseconds.
std::string TraceLine(long long msOfDay, int port, int attempt, char direction,
                      std::string_view text, const char* verdict);

// Appends to a file, one flushed line a frame.
class FileTrafficTrace final : public TrafficTrace {
 public:
  // Null when the file cannot be opened for appending, `error` (when given)
  // saying why. Only a regular file or a character device (/dev/stderr) is
  // taken: a pipe would hang the exchange once nobody reads it.
  static std::unique_ptr<FileTrafficTrace> Open(const std::string& path,
                                                std::string* error = nullptr);
  ~FileTrafficTrace() override;

  void Sent(int port, int attempt, std::string_view text) override;
  void Received(int port, int attempt, std::string_view text, const char* verdict) override;
  void Note(int port, int attempt, std::string_view text) override;

 private:
  explicit FileTrafficTrace(std::FILE* file) : file_(file) {}
  void Write(const std::string& line);
  std::FILE* file_;
};

}  // namespace orti
