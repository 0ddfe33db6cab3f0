#include "sim/in_process_port.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "device/frame_codec.h"
#include "sim/notepad_generator.h"

namespace orti::sim {
namespace {

using std::chrono::milliseconds;

class VirtualClock final : public Clock {
 public:
  milliseconds Now() override { return now_; }
  void Sleep(milliseconds d) override { now_ += d; }

 private:
  milliseconds now_{100000};
};

class InProcess : public ::testing::Test {
 protected:
  InProcess()
      : instrument_(GenerateNotepad(GeneratorSettings{}), InstrumentIdentity{}),
        line_(instrument_, plan_),
        port_(line_, clock_) {}

  std::string ReadAll() {
    char buffer[4096];
    size_t n = 0;
    EXPECT_TRUE(port_.Read(buffer, sizeof buffer, n));
    return std::string(buffer, n);
  }
  void Send(const std::string& request) {
    ASSERT_TRUE(port_.Write(request.data(), request.size()));
  }
  void AddFault(const std::string& text) {
    FaultRule rule;
    std::string error;
    ASSERT_TRUE(ParseFaultRule(text, rule, error)) << error;
    plan_.Add(rule);
  }

  VirtualClock clock_;
  Instrument instrument_;
  FaultPlan plan_;
  InstrumentLine line_;
  InProcessPort port_;
};

TEST_F(InProcess, ReplyIsThereAtOnceWithoutPacing) {
  ASSERT_TRUE(port_.Open(3));
  EXPECT_EQ(port_.OpenedPort(), 3);
  ASSERT_TRUE(port_.Configure());
  Send(":010FF0\r\n");
  EXPECT_EQ(ReadAll().size(), 51u);
  EXPECT_EQ(ReadAll(), "");
  EXPECT_EQ(port_.Sent(), ":010FF0\r\n");
}

TEST_F(InProcess, LatencyPlaysOutInVirtualTime) {
  AddFault("latency,ms=250,on=read");
  ASSERT_TRUE(port_.Open(1));
  Send(BuildReadRequest(1, 0x3200, 18));
  clock_.Sleep(milliseconds(249));
  EXPECT_EQ(ReadAll(), "");
  clock_.Sleep(milliseconds(1));
  const std::string reply = ReadAll();
  EXPECT_EQ(reply.substr(0, 11), ":0102320012");
  // Identify is not delayed.
  Send(":010FF0\r\n");
  EXPECT_EQ(ReadAll().size(), 51u);
}

TEST_F(InProcess, SplitReplyComesInTwoReads) {
  AddFault("split,ms=400,on=identify,nth=1");
  ASSERT_TRUE(port_.Open(1));
  Send(":010FF0\r\n");
  clock_.Sleep(milliseconds(300));
  const std::string first = ReadAll();
  EXPECT_EQ(first.size(), 25u);
  EXPECT_EQ(first.find("\r\n"), std::string::npos);
  clock_.Sleep(milliseconds(99));
  EXPECT_EQ(ReadAll(), "");
  clock_.Sleep(milliseconds(1));
  const std::string second = ReadAll();
  EXPECT_EQ(first + second, instrument_.HandleFrame(":010FF0\r\n"));
  // The next identify is whole again.
  Send(":010FF0\r\n");
  EXPECT_EQ(ReadAll().size(), 51u);
}

TEST_F(InProcess, PacedReplyTrickles) {
  line_.SetPacing(true);
  ASSERT_TRUE(port_.Open(1));
  // The request's 15 characters take 17 ms to go in, the reply's 205 about 235 ms to come out.
  Send(BuildReadRequest(1, 0x3200 + 18, 95));
  clock_.Sleep(milliseconds(17 + 117));
  const size_t early = ReadAll().size();
  EXPECT_GT(early, 95u);
  EXPECT_LT(early, 110u);
  clock_.Sleep(milliseconds(119));
  EXPECT_EQ(early + ReadAll().size(), 205u);
}

TEST_F(InProcess, ReadHonoursCapacity) {
  ASSERT_TRUE(port_.Open(1));
  Send(":010FF0\r\n");
  char buffer[20];
  size_t n = 0;
  ASSERT_TRUE(port_.Read(buffer, sizeof buffer, n));
  EXPECT_EQ(n, 20u);
  EXPECT_EQ(ReadAll().size(), 31u);
}

TEST_F(InProcess, PurgeAndReopenDropWhatHasArrived) {
  ASSERT_TRUE(port_.Open(1));
  Send(":010FF0\r\n");
  port_.Purge();
  EXPECT_EQ(ReadAll(), "");
  Send(":010FF0\r\n");
  port_.Close();
  ASSERT_TRUE(port_.Open(1));
  EXPECT_EQ(ReadAll(), "");
  // A late reply still arrives after a purge.
  AddFault("latency,ms=50");
  Send(":010FF0\r\n");
  port_.Purge();
  clock_.Sleep(milliseconds(50));
  EXPECT_EQ(ReadAll().size(), 51u);
}

TEST_F(InProcess, AbsentPortAndClosedPortFail) {
  port_.SetAbsent(true);
  EXPECT_FALSE(port_.Open(7));
  EXPECT_EQ(port_.LastError(), ENOENT);
  port_.ClearLastError();
  EXPECT_EQ(port_.LastError(), 0);
  char c;
  size_t n = 1;
  EXPECT_FALSE(port_.Read(&c, 1, n));
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(port_.Write(":", 1));
  EXPECT_EQ(port_.LastError(), EBADF);
  EXPECT_EQ(port_.Sent(), "");

  port_.SetAbsent(false);
  ASSERT_TRUE(port_.Open(7));
  EXPECT_FALSE(port_.Open(7));
  EXPECT_EQ(port_.LastError(), EBUSY);
  port_.SetWriteFails(true);
  EXPECT_FALSE(port_.Write(":010FF0\r\n", 9));
  EXPECT_EQ(port_.LastError(), EIO);
  EXPECT_EQ(ReadAll(), "");
}

TEST_F(InProcess, WritesReachTheInstrumentsMemory) {
  ASSERT_TRUE(port_.Open(1));
  Send(BuildWriteRequest(1, 0x3200, nullptr, 0));
  EXPECT_EQ(ReadAll(), ":0112320000BB\r\n");
  for (uint32_t a = 0x3200; a < 0x3400; ++a) ASSERT_EQ(instrument_.Memory()[a], 0xFF);
}

}  // namespace
}  // namespace orti::sim
