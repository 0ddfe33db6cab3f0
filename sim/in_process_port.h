#pragma once
// A serial port wired straight to a simulated instrument, for unit tests with
// no pseudo-terminal: a write hands the request to the instrument, a read
// returns what has arrived by the clock's present moment, so latency, pacing
// and split replies play out in virtual time.

#include <chrono>
#include <string>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "sim/instrument_line.h"

namespace orti::sim {

class InProcessPort final : public SerialPort {
 public:
  InProcessPort(InstrumentLine& line, Clock& clock) : line_(line), clock_(clock) {}

  // An absent port: Open fails with ENOENT.
  void SetAbsent(bool absent) { absent_ = absent; }
  // A broken line: Write fails with EIO.
  void SetWriteFails(bool fails) { writeFails_ = fails; }

  bool Open(int portNumber) override;
  bool Configure() override;
  void ClearModemLines() override {}
  void Purge() override;
  bool Write(const char* data, size_t size) override;
  bool Read(char* buffer, size_t capacity, size_t& received) override;
  // Moves the clock on to the next character's arrival, or by `timeout`.
  bool WaitForInput(std::chrono::milliseconds timeout) override;
  void Close() override { open_ = false; }
  int LastError() const override { return lastError_; }
  void ClearLastError() override { lastError_ = 0; }

  bool IsOpen() const { return open_; }
  int OpenedPort() const { return portNumber_; }
  // Every request written, in order, as sent.
  const std::string& Sent() const { return sent_; }

 private:
  bool Fail(int error);
  Micros Now() { return std::chrono::duration_cast<Micros>(clock_.Now()); }

  InstrumentLine& line_;
  Clock& clock_;
  bool absent_ = false;
  bool writeFails_ = false;
  bool open_ = false;
  int portNumber_ = 0;
  int lastError_ = 0;
  std::string sent_;
};

}  // namespace orti::sim
