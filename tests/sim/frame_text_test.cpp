// The simulator encodes the protocol with code of its own, not the console's:
// both must give the protocol's worked examples, so that a mistake shared by
// both cannot hide behind the other.

#include "sim/frame_text.h"

#include <gtest/gtest.h>

#include "device/frame_codec.h"
#include "device/write_frames.h"
#include "sim/record_encoding.h"

namespace orti {
namespace {

struct FrameExample {
  const char* what;
  std::vector<uint8_t> bytes;  // before the LRC
  std::string console;
  std::string text;
};

TEST(BothEncoders, BuildTheWorkedExampleFrames) {
  const std::vector<FrameExample> examples = {
      {"identify", {0x01, 0x0F}, BuildIdentifyRequest(1), ":010FF0\r\n"},
      {"read 18 at 0x3200",
       {0x01, 0x02, 0x32, 0x00, 0x12},
       BuildReadRequest(1, 0x3200, 18),
       ":0102320012B9\r\n"},
      {"erase 0x3200",
       {0x01, 0x12, 0x32, 0x00, 0x00},
       BuildWriteRequest(1, 0x3200, nullptr, 0),
       ":0112320000BB\r\n"},
  };
  for (const FrameExample& e : examples) {
    EXPECT_EQ(sim::EncodeFrame(e.bytes), e.text) << e.what;
    EXPECT_EQ(e.console, e.text) << e.what;
    // The simulator's decoder gives the bytes back, the LRC last.
    auto decoded = sim::FrameBytes(e.text);
    ASSERT_TRUE(decoded) << e.what;
    EXPECT_TRUE(sim::LrcHolds(*decoded)) << e.what;
    decoded->pop_back();
    EXPECT_EQ(*decoded, e.bytes) << e.what;
  }
}

TEST(BothEncoders, ComputeTheWorkedExampleLrcs) {
  const struct {
    std::vector<uint8_t> bytes;
    uint8_t lrc;
  } examples[] = {{{0x01, 0x0F}, 0xF0}, {{}, 0x00}, {{0x01, 0x02, 0x03}, 0xFA}};
  for (const auto& e : examples) {
    EXPECT_EQ(sim::FrameLrc(e.bytes), e.lrc) << e.bytes.size() << " bytes";
    EXPECT_EQ(ComputeLrc(e.bytes.data(), e.bytes.size()), e.lrc) << e.bytes.size() << " bytes";
  }
}

TEST(BothEncoders, BuildTheSameFolderHeaderAndItsWriteFrame) {
  const std::string abc = "ABC";
  const sim::FolderHeaderBytes header = sim::EncodeFolderHeader(abc);
  const std::vector<uint8_t> expected = {0x41, 0x42, 0x43, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                         0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xCA, 0x0D};
  EXPECT_EQ(std::vector<uint8_t>(header.begin(), header.end()), expected);
  // Beyond the worked example: a full name, and one whose sum carries into the high byte.
  for (const std::string& name : {abc, std::string("0123456789ABCDEF"),
                                  std::string("\xC2\xEE\xE4\xE0 \xF1\xFB\xF0\xE0\xFF\xFE")}) {
    const sim::FolderHeaderBytes ours = sim::EncodeFolderHeader(name);
    const auto consoles = FolderHeaderBytes(name.c_str());
    EXPECT_TRUE(std::equal(ours.begin(), ours.end(), consoles.begin(), consoles.end())) << name;
    std::vector<uint8_t> write = {0x01, 0x12, 0x32, 0x00, sim::kFolderHeaderSize};
    write.insert(write.end(), ours.begin(), ours.end());
    EXPECT_EQ(sim::EncodeFrame(write),
              BuildWriteRequest(1, 0x3200, consoles.data(), kFolderHeaderSize))
        << name;
  }
}

}  // namespace
}  // namespace orti
