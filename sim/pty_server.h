#pragma once
// Serves a simulated instrument on a pseudo-terminal: whatever a serial
// client writes into the device reaches the instrument, the replies come back
// when the line says they arrive.

#include <string>

#include "sim/instrument_line.h"

namespace orti::sim {

class PtyServer {
 public:
  PtyServer() = default;
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Holds SIGTERM and SIGINT for Serve, then creates the pseudo-terminal in
  // raw mode. False with a reason on failure.
  bool Open(std::string& error);
  // The device a client opens, e.g. /dev/pts/3.
  const std::string& DevicePath() const { return devicePath_; }
  // Runs until SIGTERM or SIGINT or the instrument is gone (true), or an I/O
  // failure (false, with a reason).
  bool Serve(InstrumentLine& line, std::string& error);

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open so the device lives while no client has it open
  int signals_ = -1;
  std::string devicePath_;
};

}  // namespace orti::sim
