#pragma once
// The serial port as the exchange with the instrument needs it, and nothing
// more. Implemented on POSIX termios (real ports and pseudo-terminals) and by
// the in-process instrument of the simulator.

#include <chrono>
#include <cstddef>
#include <string>

namespace orti {

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens the device that port number `portNumber` ("COM" n) stands for, for
  // exclusive use. On failure LastError() tells why.
  virtual bool Open(int portNumber) = 0;
  // 9600 baud, 8 data bits, even parity, 1 stop bit, raw; reads return at once
  // with what has arrived. On failure LastError() tells why.
  virtual bool Configure() = 0;
  // Clears break, DTR and RTS. A device that refuses (a pseudo-terminal) is no failure.
  virtual void ClearModemLines() = 0;
  // Drops whatever has arrived and not been read; what is being sent goes on.
  virtual void Purge() = 0;
  // Writes all of `data` within 100 ms + 10 ms per character.
  virtual bool Write(const char* data, size_t size) = 0;
  // Reads at most `capacity` characters that have arrived, without waiting;
  // `received` may be 0.
  virtual bool Read(char* buffer, size_t capacity, size_t& received) = 0;
  // Waits at most `timeout` for input to arrive; false when none did. A port
  // that cannot wait answers true at once and the caller paces its reads.
  virtual bool WaitForInput(std::chrono::milliseconds timeout) {
    (void)timeout;
    return true;
  }
  virtual void Close() = 0;
  // errno of the last failed call (0: none), and its reset.
  virtual int LastError() const = 0;
  virtual void ClearLastError() = 0;
  // The device path port `portNumber` stands for, for messages; empty when unknown.
  virtual std::string DevicePath(int portNumber) const {
    (void)portNumber;
    return {};
  }
};

}  // namespace orti
