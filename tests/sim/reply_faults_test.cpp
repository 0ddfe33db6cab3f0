// Each reply fault shapes the instrument's reply as its rule says, read back
// with the simulator's own decoder, and a late reply keeps its moment on the
// line whatever the console sends meanwhile.

#include <gtest/gtest.h>

#include <functional>

#include "sim/frame_text.h"
#include "sim/line_with_faults.h"

namespace orti::sim {
namespace {

using std::chrono::milliseconds;
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

// The reply with only `index` changed, and an LRC that fits.
std::vector<uint8_t> With(std::vector<uint8_t> clean, size_t index, uint8_t value) {
  clean.pop_back();
  clean[index] = value;
  clean.push_back(FrameLrc(clean));
  return clean;
}

TEST_F(LineWithFaults, EachReplyFaultShapesTheFrameAsItsRuleSays) {
  using Check = std::function<void(const std::vector<uint8_t>& clean, const std::string& got)>;
  const struct {
    const char* rule;
    std::string request;
    Check check;
  } cases[] = {
      {"short,on=read", kRead18,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         // One data byte fewer, and an LRC right for what is left.
         const std::vector<uint8_t> bytes = Decode(got);
         ASSERT_EQ(bytes.size(), clean.size() - 1);
         EXPECT_TRUE(LrcHolds(bytes));
         EXPECT_TRUE(std::equal(bytes.begin(), bytes.end() - 1, clean.begin()));
       }},
      {"short,n=5", kRead18,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         // An odd count leaves half a byte; the LRC covers the whole bytes before it.
         EXPECT_EQ(got.size(), 2 * clean.size() + 3 - 5);
         EXPECT_FALSE(FrameBytes(got));
         std::vector<uint8_t> whole;
         for (size_t pos = 1; pos + 1 < got.size() - 4; pos += 2)
           whole.push_back(*FrameByteAt(got, pos));
         EXPECT_EQ(whole.size(), (2 * (clean.size() - 1) - 5) / 2);
         EXPECT_TRUE(std::equal(whole.begin(), whole.end(), clean.begin()));
         EXPECT_EQ(FrameByteAt(got, got.size() - 4), FrameLrc(whole));
       }},
      {"short,n=1000", kErase,
       [](const std::vector<uint8_t>&, const std::string& got) {
         // Never shorter than the device address and function code.
         EXPECT_EQ(Decode(got), (std::vector<uint8_t>{0x01, kFuncWrite, 0xED}));
       }},
      {"lrc", kRead18,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         const std::vector<uint8_t> bytes = Decode(got);
         ASSERT_EQ(bytes.size(), clean.size());
         EXPECT_FALSE(LrcHolds(bytes));
         EXPECT_TRUE(std::equal(bytes.begin(), bytes.end() - 1, clean.begin()));
       }},
      {"echo", kRead18,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         EXPECT_EQ(Decode(got), With(clean, 2, 0x34));  // the next folder's block
       }},
      {"echo,field=size", kRead18,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         EXPECT_EQ(Decode(got), With(clean, 4, 19));  // with the 18 data bytes still
       }},
      {"echo,field=size", kErase,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         EXPECT_EQ(Decode(got), With(clean, 4, 1));
       }},
      {"echo,field=function", kRead18,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         EXPECT_EQ(Decode(got), With(clean, 1, kFuncWrite));
       }},
      {"echo,field=function", kErase,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         EXPECT_EQ(Decode(got), With(clean, 1, kFuncRead));
       }},
      {"echo,field=device", kIdentify,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         EXPECT_EQ(Decode(got), With(clean, 0, 0x02));
       }},
      {"echo,field=address", kIdentify,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         EXPECT_EQ(Decode(got), clean);  // an identification echoes no address
       }},
      {"noise,text=\x01\r\n~", kIdentify,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         EXPECT_EQ(got, "\x01\r\n~" + EncodeFrame({clean.begin(), clean.end() - 1}));
       }},
      {"noise", kRead18,
       [](const std::vector<uint8_t>& clean, const std::string& got) {
         const size_t colon = got.find(':');
         EXPECT_GE(colon, 1u);
         EXPECT_LE(colon, kMaxNoiseLength);
         EXPECT_EQ(Decode(got.substr(colon)), clean);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    Instrument instrument(test::ErasedImage(), InstrumentIdentity{});
    FaultPlan plan;
    plan.Add(Rule(c.rule));
    InstrumentLine line(instrument, plan);
    line.Receive(c.request, Micros(0));
    c.check(Decode(instrument.HandleFrame(c.request)), line.TakeArrived(kForever, SIZE_MAX));
  }
}

TEST_F(LineWithFaults, RandomNoiseDiffersFromReplyToReply) {
  plan_.Add(Rule("noise"));
  const std::string first = Ask(kIdentify);
  const std::string second = Ask(kIdentify);
  EXPECT_NE(first.substr(0, first.find(':')), second.substr(0, second.find(':')));
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
  line_.Receive(kRead95, Ms(5));  // 205 characters: on the line until about 240 ms
  const std::string second = instrument_.HandleFrame(kRead95);
  EXPECT_EQ(line_.TakeArrived(Ms(5) + CharacterTime(second.size()), SIZE_MAX), second);
  EXPECT_EQ(line_.TakeArrived(kForever, SIZE_MAX), instrument_.HandleFrame(kRead18));
}

}  // namespace
}  // namespace orti::sim
