#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/failure_report.h"
#include "device/frame_codec.h"
#include "device/identify.h"
#include "device/write_frames.h"
#include "platform/cp1251.h"
#include "support/recording_log.h"
#include "support/scripted_exchanger.h"

namespace orti {
namespace {

using test::ScriptedExchanger;

// An identification reply for `name` (cp1251 bytes), notepad at `notepad`.
std::string IdentityReply(const std::string& name, int notepad = 12800) {
  std::vector<uint8_t> bytes{0x01, 0x0F, 0x00, 0x00};
  for (char c : name) bytes.push_back(static_cast<uint8_t>(c));
  bytes.push_back('3');
  for (int block : {0x0100, 0x0200, 0x3000, 0x0000, notepad}) {
    bytes.push_back(static_cast<uint8_t>(block >> 8));
    bytes.push_back(static_cast<uint8_t>(block & 0xFF));
  }
  std::string frame = ":";
  for (uint8_t b : bytes) {
    frame += NibbleToHexDigit(b >> 4);
    frame += NibbleToHexDigit(b & 0xF);
  }
  const uint8_t lrc = ComputeLrc(bytes.data(), bytes.size());
  frame += NibbleToHexDigit(lrc >> 4);
  frame += NibbleToHexDigit(lrc & 0xF);
  return frame + "\r\n";
}

TEST(Identify, AcceptsTheInstrumentAndDecodesItsIdentity) {
  ScriptedExchanger link;
  ConsoleState state;
  state.link.currentPort = 5;
  test::RecordingLog log;
  DeviceIdentity identity;
  link.Reply(IdentityReply(Utf8ToCp1251("ОРТИ-415")));
  ASSERT_EQ(IdentityReply("12345678").size(), 51u);
  ASSERT_TRUE(Identify(link, state, identity, log));
  EXPECT_EQ(link.requests, (std::vector<std::string>{":010FF0\r\n"}));
  EXPECT_EQ(Cp1251ToUtf8(std::string(identity.name, 8)), "ОРТИ-415");
  EXPECT_EQ(std::string(identity.version), "3");
  EXPECT_EQ(identity.block[0], 0x0100);
  EXPECT_EQ(identity.block[2], 0x3000);
  EXPECT_EQ(identity.notepadAddress, 12800);
  EXPECT_TRUE(log.lines.empty());
}

TEST(Identify, NameMatchesWhenUpperCasedAndIdentityFieldsTakeLowerCaseDigits) {
  ScriptedExchanger link;
  ConsoleState state;
  test::RecordingLog log;
  DeviceIdentity identity;
  std::string reply = IdentityReply(Utf8ToCp1251("орти-415"), 0xFA00);
  reply[43] = 'f';
  reply[44] = 'a';
  link.Reply(reply);
  ASSERT_TRUE(Identify(link, state, identity, log));
  EXPECT_EQ(identity.notepadAddress, 0xFA00);
}

TEST(Identify, RefusalsAreLoggedWithThePort) {
  ScriptedExchanger link;
  ConsoleState state;
  state.link.currentPort = 7;
  test::RecordingLog log;
  DeviceIdentity identity;

  std::string reply109 = IdentityReply(Utf8ToCp1251("ОРТИ-415"));
  reply109.insert(0, 58, 'x');
  ASSERT_EQ(reply109.size(), 109u);
  std::string reply110 = "x" + reply109;
  reply110[reply110.size() - 3] ^= 1;  // its LRC broken: no identification came
  link.Reply(reply110);
  link.Reply(reply109);  // noise before the frame is no matter
  link.Reply(IdentityReply(Utf8ToCp1251("ОРТИ-416")));
  link.Reply(":018F026E\r\n");  // an error reply is not the instrument's name
  link.Reply(std::nullopt);     // silence logs nothing here
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Identify(link, state, identity, log), i == 1) << i;
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "Неправильная длина отклика прибора: порт=COM7",
                           "Неправильное имя прибора: порт=COM7",
                           "Неправильное имя прибора: порт=COM7",
                       }));
}

TEST(FailureReport, ShowsLengthAndTextWithItsLineEnd) {
  test::RecordingLog log;
  ReportFailedReply(log, std::string(":01820212345678\r\n") + '\0' + "junk");
  LogReadError(log, kErrHeaderNoReply, 7);
  LogReadError(log, kErrChunkErrorReply, 3);
  ReportFailedReply(log, "");
  // As the device reports them; the work log drops the leading blanks and
  // breaks the reply's line end into two lines.
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "Ошибка при выполнении операции",
                           " Длина ответа= 17",
                           " Ответ прибора ':01820212345678\r\n'",
                           " Err2 7",
                           "Err30 3",
                           "Ошибка при выполнении операции",
                           " Длина ответа= 0",
                           " Ответ прибора ''",
                       }));
}

TEST(WriteFrames, EraseHeaderAndRecordFramesOfAFolder) {
  auto model = std::make_unique<NotepadModel>();
  model->identity.notepadAddress = 0x3200;
  EXPECT_EQ(BuildEraseFrame(*model, 0), ":0112320000BB\r\n");
  const auto header = FolderHeaderBytes("ABC");
  EXPECT_EQ(header[0], 0x41);
  EXPECT_EQ(header[15], 0xFF);
  EXPECT_EQ(header[16], 0xCA);
  EXPECT_EQ(header[17], 0x0D);
  const std::string frame = BuildHeaderFrame(*model, 0, header.data());
  EXPECT_EQ(frame.size(), 51u);
  EXPECT_EQ(frame.substr(0, 17), ":0112320012414243");
  EXPECT_EQ(frame.substr(43, 4), "CA0D");

  SlotImage image;
  for (size_t b = 0; b < image.size(); ++b) image[b] = static_cast<uint8_t>(b % 251);
  const auto frames = BuildRecordFrames(*model, 0, image);
  EXPECT_EQ(frames[0].substr(0, 11), ":0112321213");
  EXPECT_EQ(frames[24].substr(0, 11), ":011233DA13");
  EXPECT_EQ(frames[25].substr(0, 11), ":011233ED13");
  for (const auto& f : frames) EXPECT_EQ(f.size(), 53u);
  EXPECT_EQ(ReplyByteAt(frames[1], 11), image[19]);
}

}  // namespace
}  // namespace orti
