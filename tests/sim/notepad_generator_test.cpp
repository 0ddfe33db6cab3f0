#include "sim/notepad_generator.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/cp1251.h"
#include "sim/image_file.h"
#include "sim/record_encoding.h"
#include "support/temp_dir.h"

namespace orti::sim {
namespace {

// A decoding written from the record layout alone, independent of the encoder.
struct Decoded {
  uint8_t mode;
  unsigned day, units;
  float temperature, emf, ph;
};

float FloatAt(const uint8_t* p) {
  uint32_t bits = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

Decoded DecodeSlot(const uint8_t* p) {
  return {p[0],           p[1] + 256u * p[2], p[3] + 256u * p[4],
          FloatAt(p + 5), FloatAt(p + 9),     FloatAt(p + 13)};
}

std::string Hex(const uint8_t* p, size_t n) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

TEST(RecordEncoding, MatchesAHandComputedSlot) {
  Measurement m;
  m.mode = kModePh;
  m.dayOfYear = 45;
  m.timeUnits = 22648;  // 12:34:56
  m.temperature = 23.5f;
  m.emf = -120.0f;
  m.ph = 7.25f;
  const RecordBytes b = EncodeRecord(m);
  EXPECT_EQ(Hex(b.data(), b.size()), "012D0078580000BC410000F0C20000E840FFFF");
}

TEST(RecordEncoding, FolderHeaderPadsAndSums) {
  const FolderHeaderBytes h = EncodeFolderHeader("ABC");
  EXPECT_EQ(Hex(h.data(), h.size()), "414243FFFFFFFFFFFFFFFFFFFFFFFFFFCA0D");
  // Sixteen characters fill the field; more are cut; the sum wraps at 65536.
  const FolderHeaderBytes full = EncodeFolderHeader(std::string(20, '\xFF'));
  EXPECT_EQ(full[15], 0xFF);
  EXPECT_EQ(full[16] + 256 * full[17], (17 + 16 * 255) % 65536);
  const FolderHeaderBytes sixteen = EncodeFolderHeader("0123456789ABCDEF");
  EXPECT_EQ(std::string(sixteen.begin(), sixteen.begin() + 16), "0123456789ABCDEF");
}

class GeneratedNotepad : public ::testing::Test {
 protected:
  static constexpr int kToday = 200;
  GeneratorSettings Settings(uint32_t seed) {
    GeneratorSettings s;
    s.seed = seed;
    s.today = kToday;
    return s;
  }
};

TEST_F(GeneratedNotepad, EveryFolderAndRecordDecodesToPlausibleValues) {
  for (uint32_t seed : {1u, 2u, 77u, 123456u}) {
    const MemoryImage memory = GenerateNotepad(Settings(seed));
    int used = 0, freeFolders = 0, deleted = 0, slot25 = 0, records = 0;
    bool modes[4] = {};
    for (uint32_t f = 0; f < FolderCount(kDefaultNotepadAddress); ++f) {
      const uint8_t* block = &memory[FolderBase(kDefaultNotepadAddress, f)];
      if (block[0] == 0xFF) {
        ++freeFolders;
        for (uint32_t i = 0; i < kFolderBlockSize; ++i) ASSERT_EQ(block[i], 0xFF);
        continue;
      }
      ++used;
      unsigned sum = 17;
      for (int i = 0; i < 16; ++i) sum += block[i];
      EXPECT_EQ(block[16] + 256u * block[17], sum % 65536) << "folder " << f;
      size_t nameLength = 0;
      while (nameLength < 16 && block[nameLength] != 0xFF) ++nameLength;
      const std::string name =
          Cp1251ToUtf8(std::string(reinterpret_cast<const char*>(block), nameLength));
      EXPECT_NE(name.find(' '), std::string::npos) << name;  // a word, a blank, a number

      bool emptySeen = false;
      for (uint32_t s = 0; s < kSlotsPerFolder; ++s) {
        const uint8_t* slot = block + kFolderHeaderSize + kRecordSize * s;
        if (slot[0] == 0xFF) {
          emptySeen = true;
          continue;
        }
        EXPECT_FALSE(emptySeen) << "records are closed up, folder " << f;
        ++records;
        if (s == 25) ++slot25;
        const Decoded d = DecodeSlot(slot);
        if (d.mode == 0) {
          ++deleted;
        } else {
          ASSERT_GE(d.mode, 1);
          ASSERT_LE(d.mode, 3);
          modes[d.mode] = true;
        }
        EXPECT_GE(d.day, 1u);
        EXPECT_LE(d.day, static_cast<unsigned>(kToday));
        EXPECT_LT(d.units, 43200u);
        EXPECT_GE(d.temperature, 15.0f);
        EXPECT_LE(d.temperature, 35.0f);
        EXPECT_GE(d.ph, 2.0f);
        EXPECT_LE(d.ph, 12.0f);
        // Acid reads positive, alkaline negative, about 59 mV per pH unit.
        EXPECT_NEAR(d.emf, (7.0f - d.ph) * 59.16f * (273.15f + d.temperature) / 298.15f, 0.1f);
      }
    }
    EXPECT_GT(used, 10) << seed;
    EXPECT_GT(freeFolders, 0) << seed;
    EXPECT_GT(deleted, 0) << seed;
    EXPECT_GT(slot25, 0) << seed;
    EXPECT_GT(records, 100) << seed;
    EXPECT_TRUE(modes[1] && modes[2] && modes[3]) << seed;
  }
}

TEST_F(GeneratedNotepad, SameSeedSameBytesOtherSeedOtherBytes) {
  EXPECT_EQ(GenerateNotepad(Settings(5)), GenerateNotepad(Settings(5)));
  EXPECT_NE(GenerateNotepad(Settings(5)), GenerateNotepad(Settings(6)));
}

TEST_F(GeneratedNotepad, FollowsTheNotepadAddress) {
  GeneratorSettings s = Settings(1);
  s.notepadAddress = 63488;  // room for one folder
  const MemoryImage one = GenerateNotepad(s);
  EXPECT_NE(one[63488], 0xFF);  // the only folder is in use
  for (uint32_t a = 0; a < 63488; ++a) ASSERT_EQ(one[a], 0xFF) << a;

  s.notepadAddress = 64000;  // no folder at all
  MemoryImage erased{};
  erased.fill(0xFF);
  EXPECT_EQ(GenerateNotepad(s), erased);
}

TEST_F(GeneratedNotepad, OnTheFirstOfJanuaryEveryRecordIsDatedThatDay) {
  GeneratorSettings s = Settings(3);
  s.today = 1;
  const MemoryImage memory = GenerateNotepad(s);
  const Decoded d = DecodeSlot(&memory[SlotAddress(kDefaultNotepadAddress, 0, 0)]);
  EXPECT_EQ(d.day, 1u);
}

TEST(ImageFile, RoundTripKeepsEveryByte) {
  test::TempDir dir;
  GeneratorSettings s;
  s.seed = 9;
  MemoryImage saved = GenerateNotepad(s);
  saved[0] = 0x00;
  saved[65535] = 0x5A;
  std::string error;
  ASSERT_TRUE(SaveImageFile(dir.File("n.img"), saved, error)) << error;
  EXPECT_EQ(test::ReadBytes(dir.File("n.img")).size(), 65536u);
  MemoryImage loaded{};
  ASSERT_TRUE(LoadImageFile(dir.File("n.img"), loaded, error)) << error;
  EXPECT_EQ(loaded, saved);
}

TEST(ImageFile, RefusesAMissingOrTruncatedFile) {
  test::TempDir dir;
  MemoryImage memory{};
  memory.fill(0x11);
  std::string error;
  EXPECT_FALSE(LoadImageFile(dir.File("absent.img"), memory, error));
  EXPECT_NE(error.find("absent.img"), std::string::npos);
  test::WriteBytes(dir.File("short.img"), std::string(1000, '\0'));
  EXPECT_FALSE(LoadImageFile(dir.File("short.img"), memory, error));
  EXPECT_NE(error.find("1000"), std::string::npos);
  EXPECT_EQ(memory[0], 0x11);  // untouched
  EXPECT_FALSE(SaveImageFile(dir.File("no/such/dir.img"), memory, error));
}

}  // namespace
}  // namespace orti::sim
