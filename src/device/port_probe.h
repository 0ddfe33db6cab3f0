#pragma once
// Whether a serial port is worth listing for the instrument search.

#include "platform/serial_port.h"

namespace orti {

constexpr int kHighestPortNumber = 63;

// True when port `portNumber` opens, or exists but another program holds it,
// or exists but refuses us for lack of permission. Port 0 is never a port and
// is answered without touching the system.
bool IsPortAvailable(SerialPort& port, int portNumber);

}  // namespace orti
