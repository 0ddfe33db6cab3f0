#include "sim/instrument.h"

#include <gtest/gtest.h>

#include "device/frame_codec.h"
#include "sim/record_encoding.h"

namespace orti::sim {
namespace {

MemoryImage ErasedMemory() {
  MemoryImage m{};
  m.fill(0xFF);
  return m;
}

std::string Write(uint16_t address, std::vector<uint8_t> data) {
  return BuildWriteRequest(1, address, data.data(), static_cast<uint8_t>(data.size()));
}

// Replaces the LRC of a frame by one that is off by one.
std::string WithBadLrc(std::string frame) {
  const size_t pos = frame.size() - 4;
  uint8_t lrc = static_cast<uint8_t>(ReplyByteAt(frame, pos) + 1);
  frame[pos] = NibbleToHexDigit(lrc >> 4);
  frame[pos + 1] = NibbleToHexDigit(lrc & 0x0F);
  return frame;
}

TEST(Instrument, IdentifyReplyHasTheConsolesLayout) {
  Instrument instrument(ErasedMemory(), InstrumentIdentity{});
  const std::string reply = instrument.HandleFrame(":010FF0\r\n");
  ASSERT_EQ(reply.size(), 51u);
  EXPECT_EQ(reply.substr(0, 5), ":010F");
  EXPECT_EQ(reply.substr(5, 4), "0100");               // the two extra bytes
  EXPECT_EQ(reply.substr(9, 16), "CED0D2C82D343135");  // "ОРТИ-415" in cp1251
  EXPECT_EQ(reply.substr(25, 2), "33");                // version '3'
  EXPECT_EQ(ParseWord16(&reply[27]), 0x0000);
  EXPECT_EQ(ParseWord16(&reply[31]), 0x0800);
  EXPECT_EQ(ParseWord16(&reply[35]), 0x1000);
  EXPECT_EQ(ParseWord16(&reply[39]), 0x2000);
  EXPECT_EQ(ParseWord16(&reply[43]), 12800);
  EXPECT_EQ(reply.substr(49), "\r\n");
  EXPECT_FALSE(IsErrorReply(reply));

  // The LRC covers every byte before it.
  std::vector<uint8_t> bytes;
  for (size_t i = 1; i < 47; i += 2) bytes.push_back(ReplyByteAt(reply, i));
  EXPECT_EQ(ReplyByteAt(reply, 47), ComputeLrc(bytes.data(), bytes.size()));
}

TEST(Instrument, IdentifyReportsTheConfiguredNotepadAddress) {
  InstrumentIdentity id;
  id.notepadAddress = 63488;
  Instrument instrument(ErasedMemory(), id);
  EXPECT_EQ(ParseWord16(&instrument.HandleFrame(":010FF0\r\n")[43]), 63488);
}

TEST(Instrument, ReadReturnsTheHeaderDigits) {
  MemoryImage memory = ErasedMemory();
  const FolderHeaderBytes header = EncodeFolderHeader("ABC");
  std::copy(header.begin(), header.end(), memory.begin() + 0x3200);
  Instrument instrument(memory, InstrumentIdentity{});

  const std::string reply = instrument.HandleFrame(":0102320012B9\r\n");
  ASSERT_EQ(reply.size(), 11u + 36 + 4);
  EXPECT_EQ(reply.substr(0, 11), ":0102320012");
  EXPECT_EQ(reply.substr(11, 36), "414243FFFFFFFFFFFFFFFFFFFFFFFFFFCA0D");
  EXPECT_EQ(reply.substr(reply.size() - 2), "\r\n");
}

TEST(Instrument, EraseMakesTheWholeFolderBlockFF) {
  MemoryImage memory{};  // all zero
  Instrument instrument(memory, InstrumentIdentity{});
  const std::string reply = instrument.HandleFrame(":0112320000BB\r\n");
  EXPECT_EQ(reply, BuildWriteRequest(1, 0x3200, nullptr, 0));  // echoes address and size 0
  for (uint32_t a = 0x3200; a < 0x3400; ++a) ASSERT_EQ(instrument.Memory()[a], 0xFF) << a;
  EXPECT_EQ(instrument.Memory()[0x31FF], 0x00);
  EXPECT_EQ(instrument.Memory()[0x3400], 0x00);
}

TEST(Instrument, HeaderWriteThenReadBack) {
  Instrument instrument(ErasedMemory(), InstrumentIdentity{});
  const FolderHeaderBytes header = EncodeFolderHeader("\xC2\xEE\xE4\xE0 7");  // "Вода 7"
  std::vector<uint8_t> data(header.begin(), header.end());
  const std::string reply = instrument.HandleFrame(Write(0x3400, data));
  EXPECT_EQ(reply.substr(0, 11), ":0112340012");
  EXPECT_EQ(reply.size(), 15u);

  const std::string read = instrument.HandleFrame(BuildReadRequest(1, 0x3400, 18));
  for (size_t i = 0; i < data.size(); ++i) EXPECT_EQ(ReplyByteAt(read, 11 + 2 * i), data[i]) << i;
}

TEST(Instrument, RecordWriteLandsInItsSlot) {
  Instrument instrument(ErasedMemory(), InstrumentIdentity{});
  const RecordBytes record = EncodeRecord(Measurement{});
  std::vector<uint8_t> data(record.begin(), record.end());
  // Slot 25 of folder 0 is the last 19 bytes of the block.
  EXPECT_FALSE(IsErrorReply(instrument.HandleFrame(Write(0x33ED, data))));
  EXPECT_TRUE(std::equal(record.begin(), record.end(), instrument.Memory().begin() + 0x33ED));
  EXPECT_EQ(instrument.Memory()[0x3400], 0xFF);
}

TEST(Instrument, BadRequestsGetErrorReplies) {
  MemoryImage memory = ErasedMemory();
  memory[0x3200] = 0x41;
  Instrument instrument(memory, InstrumentIdentity{});
  struct Case {
    std::string request;
    std::string reply;
  };
  const Case cases[] = {
      // Read beyond the end of memory: not allowed.
      {BuildReadRequest(1, 0xFFF0, 0x20), BuildErrorReply(1, 0x02, 2)},
      // Unknown function code.
      {":0105FA\r\n", BuildErrorReply(1, 0x05, 3)},
      // A wrong LRC.
      {WithBadLrc(":0102320012B9\r\n"), BuildErrorReply(1, 0x02, 1)},
      {WithBadLrc(":010FF0\r\n"), BuildErrorReply(1, 0x0F, 1)},
      // Not hexadecimal, or half a byte.
      {":0102ZZ0012B9\r\n", BuildErrorReply(1, 0x02, 1)},
      {":0102320012B\r\n", BuildErrorReply(1, 0x02, 1)},
      // A read with a missing size byte.
      {EncodeFrame({0x01, 0x02, 0x32, 0x00}), BuildErrorReply(1, 0x02, 1)},
      // Write whose size does not match its data.
      {EncodeFrame({0x01, 0x12, 0x32, 0x00, 0x02, 0xAA}), BuildErrorReply(1, 0x12, 1)},
      // Writes outside the notepad, and an erase not at a folder block.
      {Write(0x31FF, {0x00}), BuildErrorReply(1, 0x12, 2)},
      {Write(0xF9FF, {0x00, 0x00}), BuildErrorReply(1, 0x12, 2)},
      {BuildWriteRequest(1, 0x3210, nullptr, 0), BuildErrorReply(1, 0x12, 2)},
      {BuildWriteRequest(1, 0xFA00, nullptr, 0), BuildErrorReply(1, 0x12, 2)},
  };
  for (const Case& c : cases) {
    const std::string reply = instrument.HandleFrame(c.request);
    EXPECT_EQ(reply, c.reply) << c.request;
    EXPECT_TRUE(IsErrorReply(reply)) << c.request;
  }
  EXPECT_EQ(instrument.Memory(), memory);  // none of them changed anything
}

TEST(Instrument, ErrorReplyCarriesTheCodeAfterTheFunction) {
  // :01 82 02 LRC: the LRC is -(0x01 + 0x82 + 0x02).
  EXPECT_EQ(BuildErrorReply(1, 0x02, 2), ":0182027B\r\n");
}

TEST(Instrument, LastWritableBlockAndByteAreAccepted) {
  Instrument instrument(ErasedMemory(), InstrumentIdentity{});
  // The last folder block at notepad address 12800 begins at 64000 - 512.
  EXPECT_FALSE(IsErrorReply(instrument.HandleFrame(BuildWriteRequest(1, 63488, nullptr, 0))));
  EXPECT_FALSE(IsErrorReply(instrument.HandleFrame(Write(63999, {0x12}))));
  EXPECT_EQ(instrument.Memory()[63999], 0x12);
  EXPECT_FALSE(IsErrorReply(instrument.HandleFrame(BuildReadRequest(1, 0xFF00, 0xFF))));
}

TEST(Instrument, OtherDevicesRequestsAreNotAnswered) {
  Instrument instrument(ErasedMemory(), InstrumentIdentity{});
  EXPECT_EQ(instrument.HandleFrame(BuildIdentifyRequest(2)), "");
  EXPECT_EQ(instrument.HandleFrame(":\r\n"), "");
}

TEST(Instrument, AWriteThatCannotBeKeptIsUndoneAndReported) {
  Instrument instrument(ErasedMemory(), InstrumentIdentity{});
  int saves = 0;
  instrument.OnMemoryChanged([&saves](const MemoryImage& image) {
    ++saves;
    EXPECT_EQ(image[0x3200], 0x41);  // the callback sees the new content
    return false;
  });
  const std::string reply = instrument.HandleFrame(Write(0x3200, {0x41}));
  EXPECT_EQ(reply, BuildErrorReply(1, 0x12, kErrorExecution));
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(instrument.Memory()[0x3200], 0xFF);
}

TEST(Instrument, StrictEraseRefusesAWriteIntoBytesNotErased) {
  Instrument instrument(ErasedMemory(), InstrumentIdentity{});
  instrument.SetStrictErase(true);
  const std::vector<uint8_t> record{0x01, 0x20, 0x00};
  EXPECT_FALSE(IsErrorReply(instrument.HandleFrame(Write(0x3212, record))));
  // The same bytes again: a repeated request changes nothing and is answered.
  EXPECT_FALSE(IsErrorReply(instrument.HandleFrame(Write(0x3212, record))));
  // Other bytes over them, or zeros over part of them, are refused and not kept.
  EXPECT_EQ(instrument.HandleFrame(Write(0x3212, {0x02, 0x20, 0x00})),
            BuildErrorReply(1, 0x12, kErrorNotAllowed));
  EXPECT_EQ(instrument.HandleFrame(Write(0x3213, {0x00, 0x00, 0x00})),
            BuildErrorReply(1, 0x12, kErrorNotAllowed));
  EXPECT_EQ(instrument.Memory()[0x3212], 0x01);
  EXPECT_EQ(instrument.Memory()[0x3215], 0xFF);
  // After an erase the block takes anything.
  EXPECT_FALSE(IsErrorReply(instrument.HandleFrame(":0112320000BB\r\n")));
  EXPECT_FALSE(IsErrorReply(instrument.HandleFrame(Write(0x3212, {0x02, 0x20, 0x00}))));
}

TEST(Instrument, ClassifiesRequestsByFunctionCode) {
  EXPECT_EQ(ClassifyRequest(":010FF0\r\n"), RequestKind::kIdentify);
  EXPECT_EQ(ClassifyRequest(":0102320012B9\r\n"), RequestKind::kRead);
  EXPECT_EQ(ClassifyRequest(":0112320000BB\r\n"), RequestKind::kWrite);
  EXPECT_EQ(ClassifyRequest(":0105FA\r\n"), RequestKind::kOther);
  EXPECT_EQ(ClassifyRequest(":0"), RequestKind::kOther);
}

}  // namespace
}  // namespace orti::sim
