#pragma once
// A serial port that opens and takes every request but never answers: a line
// with no instrument behind it.

#include <cerrno>

#include "platform/serial_port.h"

namespace orti::test {

class SilentPort final : public SerialPort {
 public:
  // Port numbers above `highest` do not exist.
  explicit SilentPort(int highest = 1) : highest_(highest) {}
  bool Open(int n) override {
    if (n < 1 || n > highest_) {
      error_ = ENOENT;
      return false;
    }
    return true;
  }
  bool Configure() override { return true; }
  void ClearModemLines() override {}
  void Purge() override {}
  bool Write(const char*, size_t) override { return true; }
  bool Read(char*, size_t, size_t& received) override {
    received = 0;
    return true;
  }
  void Close() override {}
  int LastError() const override { return error_; }
  void ClearLastError() override { error_ = 0; }

 private:
  int highest_;
  int error_ = 0;
};

}  // namespace orti::test
