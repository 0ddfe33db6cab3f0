#include "platform/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace orti {
namespace {

// A write must be done within 100 ms plus 10 ms per character.
constexpr int kWriteTimeoutBaseMs = 100;
constexpr int kWriteTimeoutPerCharMs = 10;

// Slaves of UNIX 98 pseudo-terminals have majors 136 to 143.
constexpr unsigned kFirstPtsMajor = 136;
constexpr unsigned kLastPtsMajor = 143;

bool IsPseudoTerminal(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const unsigned deviceMajor = major(st.st_rdev);
  return deviceMajor >= kFirstPtsMajor && deviceMajor <= kLastPtsMajor;
}

}  // namespace

bool PosixSerialPort::Fail() {
  lastError_ = errno;
  return false;
}

bool PosixSerialPort::Open(int portNumber) {
  Close();
  const std::string path = map_.DevicePath(portNumber);
  if (path.empty()) {
    lastError_ = ENOENT;
    return false;
  }
  // Non-blocking: neither the open waits for carrier nor a read for data.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail();
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    lastError_ = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    return false;
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    lastError_ = errno;
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool PosixSerialPort::Configure() {
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) return Fail();
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | CSTOPB | PARODD | CRTSCTS);
  tio.c_cflag |= CS8 | PARENB | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::cfsetispeed(&tio, B9600) != 0 || ::cfsetospeed(&tio, B9600) != 0) return Fail();
  if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
    // A pseudo-terminal carries no parity: the kernel drops PARENB and the C
    // library reports the setting as refused. The rest of the line is kept.
    if (errno != EINVAL || !IsPseudoTerminal(fd_)) return Fail();
    tio.c_cflag &= ~PARENB;
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return Fail();
  }
  return true;
}

void PosixSerialPort::ClearModemLines() {
  // A pseudo-terminal has neither break nor modem lines and says so; that is fine.
  ::ioctl(fd_, TIOCCBRK);
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd_, TIOCMBIC, &lines);
}

void PosixSerialPort::Purge() {
  ::tcflush(fd_, TCIFLUSH);
}

bool PosixSerialPort::Write(const char* data, size_t size) {
  using std::chrono::steady_clock;
  const auto deadline = steady_clock::now() +
                        std::chrono::milliseconds(kWriteTimeoutBaseMs +
                                                  kWriteTimeoutPerCharMs * static_cast<long>(size));
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd_, data + done, size - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return Fail();
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
    if (left.count() <= 0) {
      lastError_ = ETIMEDOUT;
      return false;
    }
    pollfd p{fd_, POLLOUT, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return Fail();
  }
  return true;
}

bool PosixSerialPort::Read(char* buffer, size_t capacity, size_t& received) {
  received = 0;
  const ssize_t n = ::read(fd_, buffer, capacity);
  if (n >= 0) {
    received = static_cast<size_t>(n);
    return true;
  }
  if (errno == EAGAIN || errno == EINTR) return true;  // nothing has arrived yet
  return Fail();
}

bool PosixSerialPort::WaitForInput(std::chrono::milliseconds timeout) {
  pollfd wanted{fd_, POLLIN, 0};
  const int n = ::poll(&wanted, 1, static_cast<int>(timeout.count()));
  return n > 0;  // an interrupted wait reads once and waits again
}

void PosixSerialPort::Close() {
  if (fd_ < 0) return;
  // The exclusive mode belongs to the terminal, not to our descriptor.
  ::ioctl(fd_, TIOCNXCL);
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace orti
