#include "sim/in_process_port.h"

#include <cerrno>
#include <cstring>

namespace orti::sim {

bool InProcessPort::Fail(int error) {
  lastError_ = error;
  return false;
}

bool InProcessPort::Open(int portNumber) {
  if (absent_) return Fail(ENOENT);
  if (open_) return Fail(EBUSY);
  open_ = true;
  portNumber_ = portNumber;
  // Whatever reached a closed port is gone.
  line_.DropArrived(Now());
  return true;
}

bool InProcessPort::Configure() {
  return open_ || Fail(EBADF);
}

void InProcessPort::Purge() {
  if (open_) line_.DropArrived(Now());
}

bool InProcessPort::Write(const char* data, size_t size) {
  if (!open_) return Fail(EBADF);
  if (writeFails_) return Fail(EIO);
  sent_.append(data, size);
  line_.Receive(std::string_view(data, size), Now());
  return true;
}

bool InProcessPort::Read(char* buffer, size_t capacity, size_t& received) {
  received = 0;
  if (!open_) return Fail(EBADF);
  const std::string arrived = line_.TakeArrived(Now(), capacity);
  std::memcpy(buffer, arrived.data(), arrived.size());
  received = arrived.size();
  return true;
}

bool InProcessPort::WaitForInput(std::chrono::milliseconds timeout) {
  const Micros now = Now();
  const std::optional<Micros> next = line_.NextArrival();
  if (next && *next <= now) return true;
  if (next && *next <= now + timeout) {
    clock_.Sleep(std::chrono::ceil<std::chrono::milliseconds>(*next - now));
    return true;
  }
  clock_.Sleep(timeout);
  return false;
}

}  // namespace orti::sim
