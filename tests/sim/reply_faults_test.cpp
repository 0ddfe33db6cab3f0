// Each reply fault shapes the instrument's reply as its rule says, read back
// with the simulator's own decoder, and a late reply keeps its moment on the
// line whatever the console sends meanwhile.

#include <gtest/gtest.h>

#include "sim/frame_text.h"
#include "sim/line_with_faults.h"

namespace orti::sim {
namespace {

using test::LineWithFaults;
using test::Rule;

const std::string kIdentify = EncodeFrame({0x01, kFuncIdentify});
const std::string kRead18 = EncodeFrame({0x01, kFuncRead, 0x32, 0x00, 18});
const std::string kRead95 = EncodeFrame({0x01, kFuncRead, 0x32, 0x12, 95});
const std::string kErase = EncodeFrame({0x01, kFuncWrite, 0x32, 0x00, 0x00});

constexpr Micros Ms(long long ms) {
  return Micros(ms * 1000);
}
constexpr Micros kForever = Micros(3600000000LL);

std::vector<uint8_t> Decode(const std::string& frame) {
  auto bytes = FrameBytes(frame);
  EXPECT_TRUE(bytes) << frame;
  return bytes.value_or(std::vector<uint8_t>{});
}

std::string Clean(const std::string& request) {
  return Instrument(test::ErasedImage(), InstrumentIdentity{}).HandleFrame(request);
}

// All that arrives for `request` from an instrument with the one fault `rule`.
std::string Shaped(const char* rule, const std::string& request) {
  Instrument instrument(test::ErasedImage(), InstrumentIdentity{});
  FaultPlan plan;
  plan.Add(Rule(rule));
  InstrumentLine line(instrument, plan);
  line.Receive(request, Micros(0));
  return line.TakeArrived(kForever, SIZE_MAX);
}

TEST(ReplyFaults, EchoChangesTheNamedFieldOnlyAndKeepsTheLrcRight) {
  const struct {
    const char* rule;
    std::string request;
    size_t index;
    uint8_t value;
  } cases[] = {
      {"echo", kRead18, 2, 0x34},           // the next folder's block
      {"echo,field=size", kRead18, 4, 19},  // with the 18 data bytes still
      {"echo,field=size", kErase, 4, 1},    //
      {"echo,field=function", kRead18, 1, kFuncWrite},
      {"echo,field=function", kErase, 1, kFuncRead},
      {"echo,field=device", kIdentify, 0, 2},
      {"echo", kIdentify, 0, 1},  // an identification echoes no address: unchanged
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> expected = Decode(Clean(c.request));
    expected.pop_back();
    expected[c.index] = c.value;
    expected.push_back(FrameLrc(expected));
    EXPECT_EQ(Decode(Shaped(c.rule, c.request)), expected) << c.rule << " " << c.request;
  }
}

TEST(ReplyFaults, ShortLrcAndNoiseLeaveTheRestOfTheFrameAlone) {
  const std::string clean = Clean(kRead18);
  const std::vector<uint8_t> bytes = Decode(clean);
  // One data byte fewer, and an LRC right for what is left.
  std::vector<uint8_t> shortened(bytes.begin(), bytes.end() - 2);
  shortened.push_back(FrameLrc(shortened));
  EXPECT_EQ(Decode(Shaped("short,on=read", kRead18)), shortened);
  // An odd count leaves half a byte; the LRC covers the whole bytes before it.
  std::string odd = ":" + clean.substr(1, 2 * (bytes.size() - 1) - 5);
  AppendHexByte(odd, FrameLrc(bytes.data(), (odd.size() - 1) / 2));
  EXPECT_EQ(Shaped("short,n=5", kRead18), odd + "\r\n");
  // Never shorter than the device address and function code.
  EXPECT_EQ(Decode(Shaped("short,n=1000", kErase)), (std::vector<uint8_t>{0x01, kFuncWrite, 0xED}));

  std::vector<uint8_t> wrongLrc = bytes;
  ++wrongLrc.back();
  EXPECT_EQ(Decode(Shaped("lrc", kRead18)), wrongLrc);

  EXPECT_EQ(Shaped("noise,text=\x01\r\n~", kIdentify), "\x01\r\n~" + Clean(kIdentify));
  const std::string noisy = Shaped("noise", kRead18);
  const size_t colon = noisy.find(':');
  EXPECT_GE(colon, 1u);
  EXPECT_LE(colon, kMaxNoiseLength);
  EXPECT_EQ(noisy.substr(colon), clean);
}

TEST_F(LineWithFaults, LateReplyLandsAfterTheNextRequestsReply) {
  plan_.Add(Rule("late,on=read,nth=1"));
  line_.Receive(kRead18, Ms(0));
  const std::string clean = instrument_.HandleFrame(kRead18);
  EXPECT_EQ(line_.NextArrival(), Ms(400));
  // The console gives up and asks something else; that reply is not held up.
  line_.Receive(kIdentify, Ms(100));
  EXPECT_EQ(line_.TakeArrived(Ms(399), SIZE_MAX), instrument_.HandleFrame(kIdentify));
  EXPECT_EQ(line_.NextArrival(), Ms(400));
  // Discarding what has come so far does not discard what is still held back.
  line_.DropArrived(Ms(399));
  EXPECT_EQ(line_.TakeArrived(Ms(400), SIZE_MAX), clean);
  line_.Receive(kRead18, Ms(500));
  EXPECT_EQ(line_.TakeArrived(Ms(500), SIZE_MAX), clean) << "only the first read is late";
}

TEST_F(LineWithFaults, LateReplyWaitsForTheTransmitterInsteadOfInterleaving) {
  line_.SetPacing(true);
  plan_.Add(Rule("late,ms=10,on=read,nth=1"));
  line_.Receive(kRead18, Ms(0));
  line_.Receive(kRead95, Ms(5));  // in behind the first request, then 205 characters
  const std::string second = instrument_.HandleFrame(kRead95);
  const Micros requestsIn = 30 * CharacterTime(1);
  EXPECT_EQ(line_.TakeArrived(requestsIn + CharacterTime(second.size()), SIZE_MAX), second);
  EXPECT_EQ(line_.TakeArrived(kForever, SIZE_MAX), instrument_.HandleFrame(kRead18));
}

}  // namespace
}  // namespace orti::sim
