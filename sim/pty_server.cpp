#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/system_error.h"

namespace orti::sim {

namespace {

constexpr size_t kReadChunk = 4096;

Micros SteadyNow() {
  return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

bool Fail(std::string& error, const std::string& what) {
  error = what + ": " + SystemErrorText(errno);
  return false;
}

}  // namespace

PtyServer::~PtyServer() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  if (signals_ >= 0) close(signals_);
}

bool PtyServer::Open(std::string& error) {
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  if (sigprocmask(SIG_BLOCK, &stop, nullptr) != 0) return Fail(error, "sigprocmask");
  signals_ = signalfd(-1, &stop, SFD_CLOEXEC);
  if (signals_ < 0) return Fail(error, "signalfd");

  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return Fail(error, "posix_openpt");
  if (grantpt(master_) != 0) return Fail(error, "grantpt");
  if (unlockpt(master_) != 0) return Fail(error, "unlockpt");
  const char* name = ptsname(master_);
  if (name == nullptr) return Fail(error, "ptsname");
  devicePath_ = name;
  // A client that never reads must not stall the instrument: replies then
  // fall on the floor, as on a real line.
  if (fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
    return Fail(error, "fcntl");
  }

  slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) return Fail(error, devicePath_);
  // Raw, so that a client that does not configure the line still sees the
  // frames unchanged: no echo, no CR to LF, no line editing.
  termios tio{};
  if (tcgetattr(slave_, &tio) != 0) return Fail(error, "tcgetattr");
  cfmakeraw(&tio);
  cfsetispeed(&tio, B9600);
  cfsetospeed(&tio, B9600);
  tio.c_cflag |= PARENB | CS8 | CLOCAL | CREAD;
  tio.c_cflag &= ~(PARODD | CSTOPB);
  if (tcsetattr(slave_, TCSANOW, &tio) != 0) return Fail(error, "tcsetattr");
  return true;
}

bool PtyServer::Serve(InstrumentLine& line, std::string& error) {
  char buffer[kReadChunk];
  for (;;) {
    const std::string due = line.TakeArrived(SteadyNow(), SIZE_MAX);
    for (size_t done = 0; done < due.size();) {
      ssize_t n = write(master_, due.data() + done, due.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        break;  // the client's side is full: the rest is lost
      }
    }

    int timeout = -1;
    if (auto next = line.NextArrival()) {
      const auto wait = *next - SteadyNow();
      timeout = wait.count() <= 0 ? 0 : static_cast<int>((wait.count() + 999) / 1000);
    }
    pollfd fds[2] = {{master_, POLLIN, 0}, {signals_, POLLIN, 0}};
    if (poll(fds, 2, timeout) < 0) {
      if (errno == EINTR) continue;
      return Fail(error, "poll");
    }
    if (fds[1].revents & POLLIN) return true;
    if (fds[0].revents & POLLIN) {
      ssize_t n = read(master_, buffer, sizeof buffer);
      if (n > 0) {
        line.Receive(std::string_view(buffer, static_cast<size_t>(n)), SteadyNow());
        if (line.Gone()) return true;
      } else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
        return Fail(error, "read " + devicePath_);
      }
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      // No client on the other side; wait for one without spinning.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}

}  // namespace orti::sim
