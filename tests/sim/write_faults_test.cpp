// The write faults hit the N-th write (an erase is one, a read is none) and
// leave the memory as their rule says; a soak's random faults never do.

#include <gtest/gtest.h>

#include "sim/frame_text.h"
#include "sim/line_with_faults.h"
#include "sim/record_encoding.h"

namespace orti::sim {
namespace {

using test::Rule;

constexpr uint16_t kFolder = 0x3200;
constexpr Micros kForever = Micros(3600000000LL);

std::string WriteFrame(uint16_t address, const uint8_t* data, uint8_t size) {
  std::vector<uint8_t> bytes{0x01, kFuncWrite, static_cast<uint8_t>(address >> 8),
                             static_cast<uint8_t>(address & 0xFF), size};
  bytes.insert(bytes.end(), data, data + size);
  return EncodeFrame(bytes);
}

TEST(WriteFaults, HitTheNthWriteAndLeaveTheMemoryAsTheirRuleSays) {
  const FolderHeaderBytes header = EncodeFolderHeader("ABC");
  const RecordBytes record = EncodeRecord(Measurement{});
  const std::string erase = WriteFrame(kFolder, nullptr, 0);
  const std::string read = EncodeFrame({0x01, kFuncRead, 0x32, 0x00, 18});
  const std::string headerWrite = WriteFrame(kFolder, header.data(), kFolderHeaderSize);
  const std::string recordWrite =
      WriteFrame(kFolder + kFolderHeaderSize, record.data(), kRecordSize);
  const std::string identify = EncodeFrame({0x01, kFuncIdentify});

  const struct {
    const char* rule;
    bool eraseApplied, eraseAnswered;
    bool headerApplied, headerAnswered;
    bool recordApplied;
    bool afterwardsAnswered;  // the record write, then an identify
  } cases[] = {
      {"unapplied,nth=2", true, true, false, true, true, true},
      {"unanswered,nth=2", true, true, true, false, true, true},
      {"gone,nth=2", true, true, true, false, false, false},
      {"gone,nth=1", true, false, false, false, false, false},
      {"unapplied", false, true, false, true, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    MemoryImage zeros{};
    Instrument instrument(zeros, InstrumentIdentity{});
    Instrument clean(zeros, InstrumentIdentity{});
    FaultPlan plan;
    plan.Add(Rule(c.rule));
    InstrumentLine line(instrument, plan);
    auto ask = [&](const std::string& request) {
      line.Receive(request, Micros(0));
      return line.TakeArrived(kForever, SIZE_MAX);
    };

    EXPECT_EQ(ask(erase), c.eraseAnswered ? clean.HandleFrame(erase) : "");
    EXPECT_EQ(instrument.Memory()[kFolder + 100], c.eraseApplied ? kErased : 0);
    // A read between the writes neither counts as one nor suffers their faults.
    if (!line.Gone()) EXPECT_EQ(ask(read), instrument.HandleFrame(read));
    EXPECT_EQ(ask(headerWrite), c.headerAnswered ? clean.HandleFrame(headerWrite) : "");
    EXPECT_EQ(instrument.Memory()[kFolder], c.headerApplied ? 'A' : c.eraseApplied ? kErased : 0);
    const std::string recordReply = ask(recordWrite);
    EXPECT_EQ(recordReply.empty(), !c.afterwardsAnswered);
    EXPECT_EQ(instrument.Memory()[kFolder + kFolderHeaderSize] == record[0], c.recordApplied);
    EXPECT_EQ(ask(identify).empty(), !c.afterwardsAnswered);
    EXPECT_EQ(line.Gone(), !c.afterwardsAnswered);
  }
}

// Whatever a soak disturbs, a write is carried out exactly when some reply to
// it comes back: the console is never told "done" for a write that was not.
TEST(RandomFaults, NeverAnswerAWriteThatWasNotCarriedOut) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    Instrument instrument(MemoryImage{}, InstrumentIdentity{});
    FaultPlan plan(RandomFaults{100, seed});
    InstrumentLine line(instrument, plan);
    const std::chrono::seconds apart(2);  // more than any random hold-back
    for (uint16_t i = 0; i < 200; ++i) {
      const uint8_t value = static_cast<uint8_t>(i | 1);
      const uint16_t address = static_cast<uint16_t>(kFolder + i);
      const Micros sent = apart * i;
      line.Receive(WriteFrame(address, &value, 1), sent);
      const std::string reply = line.TakeArrived(sent + apart - Micros(1), SIZE_MAX);
      const bool answered = reply.find(':') != std::string::npos;
      EXPECT_EQ(instrument.Memory()[address] == value, answered)
          << "seed " << seed << " write " << i;
    }
  }
}

}  // namespace
}  // namespace orti::sim
