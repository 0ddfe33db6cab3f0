#include "sim/fault_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "device/frame_codec.h"
#include "sim/line_with_faults.h"
#include "sim/request_framer.h"
#include "sim/sim_options.h"

namespace orti::sim {
namespace {

using std::chrono::milliseconds;
using test::LineWithFaults;
using test::Rule;

TEST(FaultRuleText, ParsesKindsAndOptions) {
  FaultRule r = Rule("no-reply,on=read,nth=3");
  EXPECT_EQ(r.kind, FaultKind::kNoReply);
  EXPECT_EQ(r.on, RequestKind::kRead);
  EXPECT_EQ(r.nth, 3);

  r = Rule("error,on=write,code=2");
  EXPECT_EQ(r.kind, FaultKind::kErrorReply);
  EXPECT_EQ(r.errorCode, 2);
  EXPECT_EQ(r.nth, 0);

  r = Rule("split");
  EXPECT_EQ(r.duration, kDefaultSplitPause);
  EXPECT_FALSE(r.on.has_value());
  EXPECT_EQ(Rule("split,ms=50").duration, milliseconds(50));
  EXPECT_EQ(Rule("latency,ms=120,on=identify").on, RequestKind::kIdentify);
  EXPECT_EQ(Rule("name").text, "ОРТИ-416");
  EXPECT_EQ(Rule("name,name=PH-METER").text, "PH-METER");
  EXPECT_EQ(Rule("garbage,text=xyz").text, "xyz");
  EXPECT_EQ(Rule("overlong,on=any").kind, FaultKind::kOverlongReply);
}

TEST(FaultRuleText, ParsesTheNewKindsAndTheirOptions) {
  const struct {
    const char* text;
    FaultKind kind;
  } kinds[] = {
      {"short,n=7", FaultKind::kShortReply},         {"lrc", FaultKind::kWrongLrc},
      {"echo,field=device", FaultKind::kWrongEcho},  {"late,ms=120", FaultKind::kLateReply},
      {"noise,text=ab", FaultKind::kNoise},          {"unapplied", FaultKind::kUnapplied},
      {"unanswered", FaultKind::kUnanswered},        {"gone,nth=2,on=write", FaultKind::kGone},
      {"random,rate=15,seed=99", FaultKind::kRandom}};
  for (const auto& k : kinds) EXPECT_EQ(Rule(k.text).kind, k.kind) << k.text;
  EXPECT_EQ(Rule("short,n=7").count, 7);
  EXPECT_EQ(Rule("echo,field=device").field, EchoField::kDevice);
  EXPECT_EQ(Rule("late,ms=120").duration, milliseconds(120));
  EXPECT_EQ(Rule("noise,text=ab").text, "ab");
  // The write faults count writes whether on= says so or not.
  EXPECT_EQ(Rule("unapplied").on, RequestKind::kWrite);
  EXPECT_EQ(Rule("gone,nth=2,on=write").nth, 2);
  const FaultRule random = Rule("random,rate=15,seed=99");
  EXPECT_EQ(random.ratePercent, 15);
  EXPECT_EQ(random.seed, 99u);
}

TEST(FaultRuleText, RefusesWhatItDoesNotKnow) {
  const char* const bad[] = {"",
                             "slow",
                             "error,code=256",
                             "error,code=-1",
                             "no-reply,nth=0",
                             "no-reply,nth=x",
                             "no-reply,on=erase",
                             "latency,ms=60001",
                             "split,ms",
                             "error,colour=red",
                             "short,n=0",
                             "lrc,n=2",
                             "echo,field=lrc",
                             "split,field=size",
                             "unapplied,on=read",
                             "gone,on=any",
                             "random",
                             "random,seed=3",
                             "random,rate=101",
                             "random,rate=5,seed=-1",
                             "noise,rate=5"};
  for (const char* text : bad) {
    FaultRule rule;
    std::string error;
    EXPECT_FALSE(ParseFaultRule(text, rule, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(FaultPlanCounting, NthCountsRequestsOfTheNamedKindOnly) {
  FaultPlan plan;
  plan.Add(Rule("no-reply,on=read,nth=3"));
  plan.Add(Rule("error,nth=2"));  // the 2nd request of any kind
  EXPECT_FALSE(plan.Next(RequestKind::kIdentify).noReply);
  EXPECT_EQ(plan.Next(RequestKind::kRead).errorCode, 1);  // 2nd of all
  EXPECT_FALSE(plan.Next(RequestKind::kWrite).noReply);
  EXPECT_FALSE(plan.Next(RequestKind::kRead).noReply);  // 2nd read
  const ReplyFaults third = plan.Next(RequestKind::kRead);
  EXPECT_TRUE(third.noReply);
  EXPECT_FALSE(third.errorCode.has_value());
  EXPECT_FALSE(plan.Next(RequestKind::kRead).noReply);  // only the 3rd
}

TEST(FaultPlanCounting, LatenciesAddUp) {
  FaultPlan plan;
  plan.Add(Rule("latency,ms=100"));
  plan.Add(Rule("latency,ms=20,on=read"));
  EXPECT_EQ(plan.Next(RequestKind::kRead).latency, milliseconds(120));
  EXPECT_EQ(plan.Next(RequestKind::kIdentify).latency, milliseconds(100));
}

// The faults chosen for one request, one letter each, so that runs compare.
std::string Letters(const ReplyFaults& f) {
  std::string s;
  if (f.noReply) s += 'n';
  if (f.errorCode) s += 'e';
  if (f.otherName) s += 'N';
  if (f.overlong) s += 'o';
  if (f.splitPause) s += 's';
  if (f.leadingGarbage == kDefaultGarbage) s += 'g';
  if (!f.leadingGarbage.empty() && f.leadingGarbage != kDefaultGarbage) s += 'z';
  if (f.latency.count() > 0) s += 'l';
  if (f.shortDigits > 0) s += 'h';
  if (f.wrongLrc) s += 'c';
  if (f.wrongEcho) s += 'E';
  if (f.late) s += 'L';
  if (f.unapplied || f.unanswered || f.gone) s += 'W';
  return s;
}

std::vector<std::string> FaultRun(FaultPlan plan, int requests) {
  std::vector<std::string> run;
  for (int i = 0; i < requests; ++i) {
    run.push_back(Letters(plan.Next(i % 3 == 0 ? RequestKind::kWrite : RequestKind::kRead)));
  }
  return run;
}

TEST(RandomFaultPlan, PicksOneOfTheTenFaultsThatSpareTheMemory) {
  const std::vector<std::string> run = FaultRun(FaultPlan(RandomFaults{100, 11}), 3000);
  std::map<std::string, int> seen;
  for (const std::string& faults : run) ++seen[faults];
  // Each request gets exactly one; every one of the ten turns up; no error,
  // other name or write fault ever does.
  std::string kinds;
  for (const auto& [faults, count] : seen) kinds += faults + " ";
  EXPECT_EQ(kinds, "E L c g h l n o s z ");
}

TEST(RandomFaultPlan, RepeatsWithItsSeedAndDisturbsItsShare) {
  for (int rate : {0, 10, 35, 100}) {
    const std::vector<std::string> run = FaultRun(FaultPlan(RandomFaults{rate, 7}), 4000);
    // The rule text gives the same plan as the constructor.
    FaultPlan fromText;
    fromText.Add(Rule("random,rate=" + std::to_string(rate) + ",seed=7"));
    EXPECT_EQ(FaultRun(fromText, 4000), run) << rate;
    const long disturbed =
        std::count_if(run.begin(), run.end(), [](auto& f) { return !f.empty(); });
    EXPECT_NEAR(disturbed / 40.0, rate, 2.5) << rate;
  }
  EXPECT_NE(FaultRun(FaultPlan(RandomFaults{10, 7}), 400),
            FaultRun(FaultPlan(RandomFaults{10, 8}), 400));
}

TEST(RequestFraming, CutsFramesAndDropsNoise) {
  RequestFramer framer;
  EXPECT_TRUE(framer.Feed("xx:010F").empty());
  auto frames = framer.Feed("F0\r\n\r\n:0102320012B9\r");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], ":010FF0\r\n");
  frames = framer.Feed("\n");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], ":0102320012B9\r\n");
  // A new ":" starts over; a frame that never ends is dropped.
  frames = framer.Feed(":0102:010FF0\r\n");
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], ":010FF0\r\n");
  EXPECT_TRUE(framer.Feed(":" + std::string(kMaxRequestLength + 10, '0')).empty());
  EXPECT_TRUE(framer.Feed("\r\n").empty());
}

TEST_F(LineWithFaults, NoReplyToExactlyTheThirdRead) {
  plan_.Add(Rule("no-reply,on=read,nth=3"));
  const std::string read = BuildReadRequest(1, 0x3200, 18);
  EXPECT_EQ(Ask(":010FF0\r\n").size(), 51u);
  EXPECT_FALSE(Ask(read).empty());
  EXPECT_FALSE(Ask(read).empty());
  EXPECT_EQ(Ask(read), "");
  EXPECT_FALSE(Ask(read).empty());
}

TEST_F(LineWithFaults, ErrorReplyLeavesTheMemoryAlone) {
  plan_.Add(Rule("error,on=write,code=2"));
  EXPECT_EQ(Ask(BuildWriteRequest(1, 0x3200, (const uint8_t*)"\x41", 1)),
            BuildErrorReply(1, 0x12, 2));
  EXPECT_EQ(instrument_.Memory()[0x3200], 0xFF);
  // A lost write is not carried out either.
  FaultPlan lost;
  lost.Add(Rule("no-reply"));
  InstrumentLine line(instrument_, lost);
  line.Receive(BuildWriteRequest(1, 0x3200, (const uint8_t*)"\x41", 1), Micros(0));
  EXPECT_FALSE(line.NextArrival().has_value());
  EXPECT_EQ(instrument_.Memory()[0x3200], 0xFF);
}

TEST_F(LineWithFaults, AnotherNameOnIdentifyOnly) {
  plan_.Add(Rule("name,name=ОРТИ-999"));
  const std::string reply = Ask(":010FF0\r\n");
  ASSERT_EQ(reply.size(), 51u);
  EXPECT_EQ(reply.substr(9, 16), "CED0D2C82D393939");
  const std::string read = BuildReadRequest(1, 0x3200, 1);
  EXPECT_EQ(Ask(read), instrument_.HandleFrame(read));
}

TEST_F(LineWithFaults, OverlongReplyStillEndsInCrLf) {
  plan_.Add(Rule("overlong,on=identify"));
  const std::string reply = Ask(":010FF0\r\n");
  EXPECT_GE(reply.size(), 110u);
  EXPECT_EQ(reply.substr(0, 47), instrument_.HandleFrame(":010FF0\r\n").substr(0, 47));
  EXPECT_EQ(reply.substr(reply.size() - 2), "\r\n");
}

TEST_F(LineWithFaults, GarbageComesBeforeTheColon) {
  plan_.Add(Rule("garbage,text=##"));
  EXPECT_EQ(Ask(":010FF0\r\n").substr(0, 3), "##:");
}

TEST_F(LineWithFaults, SplitReplyArrivesInTwoHalves) {
  plan_.Add(Rule("split,ms=400"));
  line_.Receive(":010FF0\r\n", Micros(1000));
  EXPECT_EQ(line_.TakeArrived(Micros(999), SIZE_MAX), "");
  const std::string first = line_.TakeArrived(Micros(1000), SIZE_MAX);
  EXPECT_EQ(first.size(), 25u);
  EXPECT_EQ(line_.TakeArrived(Micros(400999), SIZE_MAX), "");
  const std::string second = line_.TakeArrived(Micros(401000), SIZE_MAX);
  EXPECT_EQ(first + second, instrument_.HandleFrame(":010FF0\r\n"));
}

TEST_F(LineWithFaults, PacedReplyTakesElevenBitsPerCharacter) {
  line_.SetPacing(true);
  line_.Receive(":010FF0\r\n", Micros(0));
  // The request's 9 characters come in first, then the reply's 51 go out:
  // 58.4 ms at 9600 baud.
  const Micros in = 9 * CharacterTime(1);
  EXPECT_EQ(line_.TakeArrived(in + CharacterTime(1) - Micros(1), SIZE_MAX), "");
  EXPECT_EQ(line_.TakeArrived(in + CharacterTime(10), SIZE_MAX).size(), 10u);
  EXPECT_EQ(*line_.NextArrival(), in + CharacterTime(11));
  EXPECT_EQ(line_.TakeArrived(in + Micros(58000), SIZE_MAX).size(), 40u);
  EXPECT_EQ(line_.TakeArrived(in + Micros(58500), SIZE_MAX).size(), 1u);
}

TEST_F(LineWithFaults, RepliesQueueBehindEachOther) {
  line_.SetPacing(true);
  line_.Receive(":010FF0\r\n:010FF0\r\n", Micros(0));
  const Micros firstIn = 9 * CharacterTime(1);
  EXPECT_EQ(line_.TakeArrived(firstIn + CharacterTime(51), SIZE_MAX).size(), 51u);
  // The second starts when the first has gone out.
  EXPECT_EQ(line_.TakeArrived(firstIn + CharacterTime(51) + CharacterTime(50), SIZE_MAX).size(),
            50u);
}

TEST(SimCommandLine, ReadsEveryOption) {
  const char* argv[] = {"orti415-sim",
                        "--seed",
                        "42",
                        "--image",
                        "/tmp/n.img",
                        "--pace",
                        "--latency",
                        "150",
                        "--fault",
                        "no-reply,on=read,nth=3",
                        "--link",
                        "/tmp/o",
                        "--notepad-address",
                        "0xF800"};
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions(std::size(argv), argv, o, error)) << error;
  EXPECT_EQ(o.seed, 42u);
  EXPECT_EQ(o.imagePath, "/tmp/n.img");
  EXPECT_TRUE(o.pacing);
  EXPECT_EQ(o.linkPath, "/tmp/o");
  EXPECT_EQ(o.notepadAddress, 63488);
  ASSERT_EQ(o.faults.size(), 2u);
  EXPECT_EQ(o.faults[0].kind, FaultKind::kLatency);
  EXPECT_EQ(o.faults[0].duration, milliseconds(150));
  EXPECT_EQ(o.faults[1].nth, 3);
}

TEST(SimCommandLine, OptionEqualsValueHelpAndVersion) {
  const char* argv[] = {
      "orti415-sim", "--seed=42", "--image=/tmp/a=b.img", "--fault=no-reply,nth=3",
      "-h",          "--version", "--strict-erase"};
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions(std::size(argv), argv, o, error)) << error;
  EXPECT_EQ(o.seed, 42u);
  EXPECT_EQ(o.imagePath, "/tmp/a=b.img");
  ASSERT_EQ(o.faults.size(), 1u);
  EXPECT_EQ(o.faults[0].nth, 3);
  EXPECT_TRUE(o.help);
  EXPECT_TRUE(o.version);
  EXPECT_TRUE(o.strictErase);
  const char* flagWithValue[] = {"orti415-sim", "--pace=1"};
  EXPECT_FALSE(ParseSimOptions(std::size(flagWithValue), flagWithValue, o, error));
}

TEST(SimCommandLine, RefusesBadValues) {
  for (std::vector<const char*> args :
       std::vector<std::vector<const char*>>{{"x", "--seed"},
                                             {"x", "--seed", "-1"},
                                             {"x", "--notepad-address", "64001"},
                                             {"x", "--notepad-address", "12800x"},
                                             {"x", "--latency", "abc"},
                                             {"x", "--fault", "nonsense"},
                                             {"x", "--verbose"}}) {
    SimOptions o;
    std::string error;
    EXPECT_FALSE(ParseSimOptions(static_cast<int>(args.size()), args.data(), o, error)) << args[1];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace orti::sim
