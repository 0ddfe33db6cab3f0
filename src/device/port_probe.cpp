#include "device/port_probe.h"

#include <cerrno>

namespace orti {

bool IsPortAvailable(SerialPort& port, int portNumber) {
  if (portNumber <= 0) return false;
  if (port.Open(portNumber)) {
    port.Close();
    return true;
  }
  const int error = port.LastError();
  port.ClearLastError();
  return error == EBUSY || error == EACCES;
}

}  // namespace orti
