// Starts the real orti415-sim and talks to it through its pseudo-terminal.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "device/frame_codec.h"
#include "sim/sim_process.h"
#include "support/temp_dir.h"

namespace orti::sim {
namespace {

constexpr int kWaitMs = 5000;

// What any serial client does: open in raw mode, write, read until CR LF.
int OpenRaw(const std::string& device) {
  int fd = open(device.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return fd;
  termios tio{};
  tcgetattr(fd, &tio);
  cfmakeraw(&tio);
  tcsetattr(fd, TCSANOW, &tio);
  return fd;
}

// What arrives until `frames` frames have ended or `waitMs` have passed.
std::string ReadFrames(int fd, size_t frames, int waitMs = kWaitMs) {
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  char buffer[512];
  pollfd p{fd, POLLIN, 0};
  auto ended = [&] {
    size_t count = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
      ++count;
    }
    return count >= frames;
  };
  while (!ended() && std::chrono::steady_clock::now() < deadline && poll(&p, 1, 100) >= 0) {
    if (p.revents & POLLIN) {
      ssize_t n = read(fd, buffer, sizeof buffer);
      if (n > 0) text.append(buffer, static_cast<size_t>(n));
    }
  }
  return text;
}

bool WriteAll(int fd, const std::string& text) {
  return write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

std::string Exchange(const std::string& device, const std::string& request, int waitMs = kWaitMs) {
  int fd = OpenRaw(device);
  if (fd < 0) return "open failed";
  const std::string reply = WriteAll(fd, request) ? ReadFrames(fd, 1, waitMs) : "";
  close(fd);
  return reply;
}

TEST(SimProcessOnPty, AnswersIdentifyWith51Characters) {
  test::TempDir dir;
  const std::string link = dir.File("orti");
  SimProcess sim(ORTI415_SIM_PATH, {"--seed", "7", "--link", link});
  const std::string device = sim.FirstLine();
  ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;

  const std::string reply = Exchange(link, ":010FF0\r\n");
  ASSERT_EQ(reply.size(), 51u) << reply;
  EXPECT_EQ(reply.substr(0, 5), ":010F");
  EXPECT_EQ(reply.substr(9, 16), "CED0D2C82D343135");
  EXPECT_EQ(ParseWord16(&reply[43]), 12800);

  EXPECT_EQ(sim.Stop(SIGTERM), 0);
  struct stat st {};
  EXPECT_NE(lstat(link.c_str(), &st), 0) << "the link goes away with the simulator";
}

TEST(SimProcessOnPty, ImageFileKeepsWritesAcrossARestart) {
  test::TempDir dir;
  const std::string image = dir.File("notepad.img");
  const std::string erase = BuildWriteRequest(1, 0x3200, nullptr, 0);
  const std::string readHeader = BuildReadRequest(1, 0x3200, 18);
  {
    SimProcess sim(ORTI415_SIM_PATH, {"--image", image, "--notepad-address", "12800"});
    const std::string device = sim.FirstLine();
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(test::ReadBytes(image).size(), 65536u);  // generated and saved at once
    EXPECT_NE(Exchange(device, readHeader).substr(11, 2), "FF");
    EXPECT_EQ(Exchange(device, erase), erase);
    EXPECT_EQ(static_cast<uint8_t>(test::ReadBytes(image)[0x3200]), 0xFF);
    EXPECT_EQ(sim.Stop(SIGINT), 0);
  }
  SimProcess again(ORTI415_SIM_PATH, {"--image", image, "--seed", "99"});
  const std::string device = again.FirstLine();
  ASSERT_FALSE(device.empty());
  EXPECT_EQ(Exchange(device, readHeader).substr(11, 36), std::string(36, 'F'));
  EXPECT_EQ(again.Stop(SIGTERM), 0);
}

TEST(SimProcessOnPty, LateReplyStillComesAfterTheNextRequestsReply) {
  SimProcess sim(ORTI415_SIM_PATH, {"--fault", "late,on=read,nth=1,ms=300"});
  const std::string device = sim.FirstLine();
  ASSERT_FALSE(device.empty());
  int fd = OpenRaw(device);
  ASSERT_GE(fd, 0);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(WriteAll(fd, BuildReadRequest(1, 0x3200, 18)));
  usleep(50 * 1000);
  ASSERT_TRUE(WriteAll(fd, ":010FF0\r\n"));
  const std::string first = ReadFrames(fd, 1);
  const std::string second = ReadFrames(fd, 1);
  const auto waited = std::chrono::steady_clock::now() - start;
  close(fd);
  EXPECT_EQ(first.substr(0, 5), ":010F");
  EXPECT_EQ(first.size(), 51u);
  EXPECT_EQ(second.substr(0, 11), ":0102320012");
  EXPECT_GE(waited, std::chrono::milliseconds(300));
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

TEST(SimProcessOnPty, GoneAfterTheNthWriteKeepsTheImageAndEnds) {
  test::TempDir dir;
  const std::string image = dir.File("notepad.img");
  SimProcess sim(ORTI415_SIM_PATH, {"--image", image, "--fault", "gone,nth=2"});
  const std::string device = sim.FirstLine();
  ASSERT_FALSE(device.empty());
  const std::string erase = BuildWriteRequest(1, 0x3200, nullptr, 0);
  EXPECT_EQ(Exchange(device, erase), erase);
  const uint8_t name[] = {'A', 'B', 'C'};
  EXPECT_EQ(Exchange(device, BuildWriteRequest(1, 0x3200, name, 3), 500), "");
  EXPECT_EQ(sim.Stop(0), 0) << "ends by itself";
  const std::string saved = test::ReadBytes(image);
  ASSERT_EQ(saved.size(), 65536u);
  EXPECT_EQ(saved.substr(0x3200, 4), "ABC\xFF");
}

TEST(SimProcessOnPty, RefusesABrokenImageAndBadOptions) {
  test::TempDir dir;
  test::WriteBytes(dir.File("bad.img"), "short");
  SimProcess broken(ORTI415_SIM_PATH, {"--image", dir.File("bad.img")});
  EXPECT_EQ(broken.FirstLine(), "");
  EXPECT_EQ(broken.Stop(0), 1);
  // A device or a pipe as the image ends at once instead of reading forever.
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  for (const std::string& endless : {std::string("/dev/zero"), dir.File("fifo")}) {
    SimProcess device(ORTI415_SIM_PATH, {"--image", endless});
    EXPECT_EQ(device.FirstLine(), "") << endless;
    EXPECT_EQ(device.Stop(0), 1) << endless;
  }
  SimProcess unknown(ORTI415_SIM_PATH, {"--baud", "19200"});
  EXPECT_EQ(unknown.FirstLine(), "");
  EXPECT_EQ(unknown.Stop(0), 2);
}

}  // namespace
}  // namespace orti::sim
