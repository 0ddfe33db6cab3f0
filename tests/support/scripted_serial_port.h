#pragma once
// A serial port that plays a script: what each write is answered with, read
// by read, and which calls fail with which errno. It records what was sent.

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_port.h"

namespace orti::test {

class ScriptedSerialPort final : public SerialPort {
 public:
  // What the reads after one write return, in order; std::nullopt is a read
  // that fails with EIO. Reads past the end return nothing.
  using Answer = std::vector<std::optional<std::string>>;

  // Answers for the coming writes, one per write, in order; a write without
  // an answer is met with silence.
  void AnswerNextWrite(Answer reads) { answers_.push_back(std::move(reads)); }

  int openError = 0;       // nonzero: Open fails with it
  int configureError = 0;  // nonzero: Configure fails with it
  int writeError = 0;      // nonzero: every Write fails with it
  // A write that takes this long on `clock` (a slow line or a stuck driver).
  std::chrono::milliseconds writeTakes{0};
  Clock* clock = nullptr;

  bool Open(int portNumber) override;
  bool Configure() override;
  void ClearModemLines() override { ++modemLineClears; }
  void Purge() override { ++purges; }
  bool Write(const char* data, size_t size) override;
  bool Read(char* buffer, size_t capacity, size_t& received) override;
  void Close() override;
  int LastError() const override { return lastError_; }
  std::string DevicePath(int) const override { return devicePath; }
  std::string devicePath;  // what DevicePath answers for every port
  void ClearLastError() override { lastError_ = 0; }

  // What happened.
  std::vector<int> openedPorts;  // every Open, failed ones too
  int successfulOpens = 0;
  int closes = 0;
  int configures = 0;
  int modemLineClears = 0;
  int purges = 0;
  int reads = 0;
  bool isOpen = false;
  std::vector<std::string> writes;

 private:
  std::deque<Answer> answers_;
  Answer current_;
  size_t nextRead_ = 0;
  int lastError_ = 0;
};

}  // namespace orti::test
