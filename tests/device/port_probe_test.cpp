// The port probe and one exchange on pseudo-terminals, with the real port code.
#include "device/port_probe.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "device/device_link.h"
#include "device/frame_codec.h"
#include "platform/posix_serial_port.h"
#include "support/recording_log.h"
#include "support/scripted_serial_port.h"

namespace orti {
namespace {

// The master side of a pseudo-terminal; the slave is what the console opens.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
      slave_ = ::ptsname(master_);
    }
  }
  ~PseudoTerminal() {
    if (master_ >= 0) ::close(master_);
  }
  int Master() const { return master_; }
  const std::string& SlavePath() const { return slave_; }

  // Reads from the master until CR LF has come or `timeout` has passed.
  std::string ReadRequest(std::chrono::milliseconds timeout) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (text.find("\r\n") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      char buffer[256];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) text.append(buffer, static_cast<size_t>(n));
    }
    return text;
  }

  void Write(const std::string& text) {
    ASSERT_EQ(::write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

 private:
  int master_ = -1;
  std::string slave_;
};

class PortsOnPseudoTerminals : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GE(pty.Master(), 0);
    ASSERT_FALSE(pty.SlavePath().empty());
    sources.portsVariable = "5=" + pty.SlavePath() + ",6=/dev/pts/no-such-terminal";
  }
  PortMap Map() const { return PortMap(sources); }

  PseudoTerminal pty;
  PortMapSources sources;
};

TEST_F(PortsOnPseudoTerminals, FreeBusyAndAbsentPorts) {
  PosixSerialPort prober(Map());
  EXPECT_TRUE(IsPortAvailable(prober, 5));
  EXPECT_FALSE(IsPortAvailable(prober, 6));
  EXPECT_FALSE(IsPortAvailable(prober, 7));

  PosixSerialPort holder(Map());
  ASSERT_TRUE(holder.Open(5));
  EXPECT_FALSE(prober.Open(5));
  EXPECT_EQ(prober.LastError(), EBUSY);
  EXPECT_TRUE(IsPortAvailable(prober, 5));
  holder.Close();
  ASSERT_TRUE(prober.Open(5));  // free again once the holder lets go
  prober.Close();
}

TEST_F(PortsOnPseudoTerminals, ConfigureAndModemCallsSucceedOnAPseudoTerminal) {
  PosixSerialPort port(Map());
  ASSERT_TRUE(port.Open(5));
  EXPECT_TRUE(port.Configure()) << port.LastError();
  port.ClearModemLines();
  port.Purge();
  EXPECT_EQ(port.LastError(), 0);
  size_t received = 99;
  char buffer[16];
  EXPECT_TRUE(port.Read(buffer, sizeof buffer, received));  // returns at once
  EXPECT_EQ(received, 0u);
}

TEST_F(PortsOnPseudoTerminals, EnvironmentAssignsThePort) {
  ::setenv("ORTI415_PORTS", sources.portsVariable.c_str(), 1);
  PosixSerialPort port{PortMap(CurrentPortMapSources())};
  ::unsetenv("ORTI415_PORTS");
  EXPECT_TRUE(IsPortAvailable(port, 5));
}

TEST(PortProbe, PortZeroTouchesNothing) {
  test::ScriptedSerialPort port;
  EXPECT_FALSE(IsPortAvailable(port, 0));
  EXPECT_TRUE(port.openedPorts.empty());
}

TEST(PortProbe, HeldOrForbiddenPortsCountAsPresent) {
  test::ScriptedSerialPort port;
  for (int error : {EBUSY, EACCES}) {
    port.openError = error;
    EXPECT_TRUE(IsPortAvailable(port, 4)) << error;
    EXPECT_EQ(port.LastError(), 0);
  }
  for (int error : {ENOENT, ENXIO, EIO}) {
    port.openError = error;
    EXPECT_FALSE(IsPortAvailable(port, 4)) << error;
  }
  port.openError = 0;
  EXPECT_TRUE(IsPortAvailable(port, 4));
  EXPECT_FALSE(port.isOpen);
}

TEST_F(PortsOnPseudoTerminals, ExchangeWithAResponderOnTheMasterSide) {
  const std::string request = BuildReadRequest(1, 0x3200, 18);
  std::vector<uint8_t> header = {0x01, 0x02, 0x32, 0x00, 0x12, 0x41, 0x42, 0x43};
  header.resize(5 + 16, 0x00);
  header.insert(header.end(), {0xCA, 0x0D});
  const std::string reply = EncodeFrame(header);
  std::string seen;
  std::thread responder([&] {
    seen = pty.ReadRequest(std::chrono::seconds(3));
    // The reply leaves in two pieces, as a slow line delivers it.
    pty.Write(reply.substr(0, 20));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pty.Write(reply.substr(20));
  });

  SystemClock clock;
  ConsoleState state;
  state.link.currentPort = 5;
  test::RecordingLog log;
  ClockLinkHooks hooks(clock, state);
  PosixSerialPort port(Map());
  DeviceLink link(port, state, log, clock, hooks);
  const auto started = std::chrono::steady_clock::now();
  const bool ok = link.Exchange(request) == ExchangeStatus::kReply;
  const auto took = std::chrono::steady_clock::now() - started;
  responder.join();

  EXPECT_TRUE(ok);
  EXPECT_EQ(seen, request);
  EXPECT_EQ(link.Reply(), reply);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_GE(took, std::chrono::milliseconds(299));  // the pause, to the clock's millisecond
  EXPECT_LT(took, std::chrono::milliseconds(1500));
  // The exchange closed the port: it can be opened again at once.
  EXPECT_TRUE(port.Open(5));
}

}  // namespace
}  // namespace orti
