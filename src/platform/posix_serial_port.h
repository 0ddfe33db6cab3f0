#pragma once
// The serial port on POSIX termios: real ports and pseudo-terminals alike.

#include "platform/port_map.h"
#include "platform/serial_port.h"

namespace orti {

class PosixSerialPort final : public SerialPort {
 public:
  explicit PosixSerialPort(PortMap map) : map_(std::move(map)) {}
  ~PosixSerialPort() override { Close(); }
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  // Exclusive: TIOCEXCL keeps other programs out, a non-blocking flock keeps
  // out a second opener that TIOCEXCL lets through (root, or this process).
  // A held port fails with EBUSY, an unknown number with ENOENT.
  bool Open(int portNumber) override;
  bool Configure() override;
  void ClearModemLines() override;
  void Purge() override;
  bool Write(const char* data, size_t size) override;
  bool Read(char* buffer, size_t capacity, size_t& received) override;
  bool WaitForInput(std::chrono::milliseconds timeout) override;
  void Close() override;
  int LastError() const override { return lastError_; }
  void ClearLastError() override { lastError_ = 0; }
  std::string DevicePath(int portNumber) const override { return map_.DevicePath(portNumber); }

 private:
  bool Fail();  // keeps errno, returns false

  PortMap map_;
  int fd_ = -1;
  int lastError_ = 0;
};

}  // namespace orti
