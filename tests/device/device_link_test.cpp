#include "device/device_link.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "device/frame_codec.h"
#include "device/permission_advice.h"
#include "device/win32_error.h"
#include "platform/device_access.h"
#include "platform/install_paths.h"
#include "platform/system_error.h"
#include "support/device_group.h"
#include "support/fake_clock.h"
#include "support/recording_log.h"
#include "support/scripted_serial_port.h"
#include "support/temp_dir.h"

namespace orti {
namespace {

using std::chrono::milliseconds;
using Reads = test::ScriptedSerialPort::Answer;

// The connection window as the exchange sees it, with the reply timer of the
// clock hooks.
class RecordingHooks final : public ClockLinkHooks {
 public:
  using ClockLinkHooks::ClockLinkHooks;
  void StartReplyTimer(milliseconds interval) override {
    ++starts;
    intervals.push_back(interval);
    ClockLinkHooks::StartReplyTimer(interval);
  }
  void StopReplyTimer() override {
    ++stops;
    ClockLinkHooks::StopReplyTimer();
  }
  void ProcessMessages() override {
    ++pumps;
    ClockLinkHooks::ProcessMessages();
    if (pumps == abortAtPump) state_.link.abort = true;  // "Прервать" clicked meanwhile
  }
  bool ConnectionWindowVisible() override { return visible; }
  void ShowPort(const std::string& name) override { ports.push_back(name); }
  void ShowAttempt(const std::string& attempt) override { attempts.push_back(attempt); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }

  bool visible = true;
  int abortAtPump = 0;
  int starts = 0, stops = 0, pumps = 0;
  std::vector<std::string> ports, attempts, messages;
  std::vector<milliseconds> intervals;
};

// A read of two bytes at 0x3200 and the instrument's reply to it.
const std::string kRequest = BuildReadRequest(1, 0x3200, 2);
const std::string kReply = EncodeFrame({0x01, 0x02, 0x32, 0x00, 0x02, 0xAB, 0xCD});
const std::vector<std::string> kAllAttempts = {"0", "1", "2", "3", "4"};

class Exchanging : public ::testing::Test {
 protected:
  Exchanging() {
    state.link.currentPort = 3;
    port.clock = &clock;
  }

  bool Run() { return Status() == ExchangeStatus::kReply; }
  ExchangeStatus Status() { return link->Exchange(kRequest); }

  // After any exchange the port is closed and the timer is off.
  void ExpectTidy() {
    EXPECT_FALSE(port.isOpen);
    EXPECT_EQ(port.closes, port.successfulOpens);
    EXPECT_FALSE(hooks.TimerRunning());
    EXPECT_GE(hooks.stops, 1);
    EXPECT_FALSE(state.link.timeout);
  }

  std::string Win32Line(int error) {
    return "Win32 Error:" + std::to_string(error) + " - " + SystemErrorText(error);
  }

  test::FakeClock clock;
  ConsoleState state;
  test::RecordingLog log;
  test::ScriptedSerialPort port;
  RecordingHooks hooks{clock, state};
  std::unique_ptr<DeviceLink> link = std::make_unique<DeviceLink>(port, state, log, clock, hooks);
};

TEST_F(Exchanging, FirstAttemptReply) {
  port.AnswerNextWrite({kReply});
  ASSERT_TRUE(Run());
  EXPECT_EQ(link->Reply(), kReply);
  EXPECT_EQ(link->ReplyBuffer(), kReply);
  EXPECT_EQ(port.openedPorts, std::vector<int>{3});
  EXPECT_EQ(port.configures, 1);
  EXPECT_EQ(port.modemLineClears, 1);
  EXPECT_EQ(port.purges, 1);
  EXPECT_EQ(port.writes, std::vector<std::string>{kRequest});
  EXPECT_EQ(state.link.deviceAddress, 1);
  EXPECT_EQ(hooks.ports, std::vector<std::string>{"COM3"});
  EXPECT_EQ(hooks.attempts, std::vector<std::string>{"0"});
  EXPECT_EQ(hooks.starts, 1);
  EXPECT_EQ(clock.Slept(), milliseconds(300));
  EXPECT_TRUE(log.lines.empty());
  ExpectTidy();
}

TEST_F(Exchanging, ReplyOnTheThirdAttempt) {
  port.AnswerNextWrite({});
  port.AnswerNextWrite({":0102\r"});  // CR alone at the end is not complete
  port.AnswerNextWrite({"", "", kReply});
  ASSERT_TRUE(Run());
  EXPECT_EQ(hooks.attempts, (std::vector<std::string>{"0", "1", "2"}));
  EXPECT_EQ(port.writes.size(), 3u);
  // The begun ":0102" CR is waited on until the line has been silent 20 ms;
  // the two answers still owed are waited for until the turnaround measured
  // from the first request to the reply (1012 ms) and the margin have passed
  // since the last request.
  EXPECT_EQ(clock.Slept(), milliseconds(300 + 10 * 5 + (300 + 10 * 5 + 20) + (300 + 2 * 5) + 870));
  ExpectTidy();
}

TEST_F(Exchanging, StrayCharactersBeforeTheFrameAreIgnored) {
  port.AnswerNextWrite({std::string("\0\x7F:zz", 5) + kReply});
  ASSERT_TRUE(Run());
  EXPECT_EQ(link->Reply(), kReply);
}

TEST_F(Exchanging, ReplySplitOverReadsIsJoined) {
  port.AnswerNextWrite({"xx" + kReply.substr(0, 7), "", kReply.substr(7, 10), kReply.substr(17)});
  ASSERT_TRUE(Run());
  EXPECT_EQ(link->Reply(), kReply);
  EXPECT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.reads, 4);
}

TEST_F(Exchanging, WrongFramesAreNoReplyAndTheRequestIsSentAgain) {
  std::string badLrc = kReply;
  badLrc[15] = badLrc[15] == '0' ? '1' : '0';
  const std::string other = EncodeFrame({0x01, 0x02, 0x32, 0x12, 0x02, 0xAB, 0xCD});
  const std::string shortData = EncodeFrame({0x01, 0x02, 0x32, 0x00, 0x02, 0xAB});
  struct Case {
    std::string frame;
    const char* reason;
  } cases[] = {{badLrc, "контрольная сумма"},
               {other, "ответ на другой запрос"},
               {shortData, "длина ответа"}};
  for (const Case& c : cases) {
    log.lines.clear();
    for (int i = 0; i < 5; ++i) port.AnswerNextWrite({c.frame});
    EXPECT_EQ(Status(), ExchangeStatus::kMalformed) << c.reason;
    EXPECT_EQ(log.lines,
              std::vector<std::string>{std::string("Неверный ответ прибора (") + c.reason +
                                       "): " + c.frame.substr(0, c.frame.size() - 2)});
    EXPECT_TRUE(link->Reply().empty());
  }
  // A wrong frame, then the right one in a later attempt.
  port.AnswerNextWrite({other});
  port.AnswerNextWrite({badLrc, kReply});
  EXPECT_EQ(Status(), ExchangeStatus::kReply);
  EXPECT_EQ(link->Reply(), kReply);
  ExpectTidy();
}

TEST_F(Exchanging, TheLastFrameThatAnswersIsTheReply) {
  // A late reply to an earlier request, then this request's own, then noise.
  const std::string late = EncodeFrame({0x01, 0x02, 0x31, 0xEE, 0x02, 0x11, 0x22});
  const std::string lower = ":0102320002abcd" + kReply.substr(15);
  port.AnswerNextWrite({late + kReply + ":01\r\n"});
  ASSERT_TRUE(Run());
  EXPECT_EQ(link->Reply(), kReply);
  // Lower-case digits are the same digits.
  port.AnswerNextWrite({lower});
  ASSERT_TRUE(Run());
  EXPECT_EQ(link->Reply(), lower);
  EXPECT_EQ(ReplyByteAt(link->Reply(), 11), 0xAB);
  EXPECT_EQ(port.purges, 2);  // pending input dropped before every send
}

TEST_F(Exchanging, ErrorReplyIsCheckedForAddressFunctionAndLrc) {
  port.AnswerNextWrite({EncodeFrame({0x01, 0x82, 0x02})});
  EXPECT_EQ(Status(), ExchangeStatus::kErrorReply);
  EXPECT_TRUE(IsErrorReply(link->Reply()));
  for (int i = 0; i < 5; ++i) port.AnswerNextWrite({EncodeFrame({0x02, 0x82, 0x02})});
  EXPECT_EQ(Status(), ExchangeStatus::kMalformed);  // another device's refusal
}

TEST_F(Exchanging, FastReadingEndsWhenTheReplyIsComplete) {
  state.link.fastRead = true;  // as the settings page's «Быстрое чтение» sets it
  port.AnswerNextWrite({"", kReply.substr(0, 9), kReply.substr(9)});
  ASSERT_TRUE(Run());
  EXPECT_EQ(clock.Slept(), milliseconds(5));  // one empty read, no 300 ms pause
  // Writes keep the full pause.
  const std::string write = BuildWriteRequest(1, 0x3200, nullptr, 0);
  port.AnswerNextWrite({EncodeFrame({0x01, 0x12, 0x32, 0x00, 0x00})});
  EXPECT_EQ(link->Exchange(write), ExchangeStatus::kReply);
  EXPECT_EQ(clock.Slept(), milliseconds(5 + 300));
}

class RecordingTrace final : public TrafficTrace {
 public:
  void Sent(int port, int attempt, std::string_view text) override {
    lines.push_back(TraceLine(0, port, attempt, '>', text, nullptr));
  }
  void Received(int port, int attempt, std::string_view text, const char* verdict) override {
    lines.push_back(TraceLine(0, port, attempt, '<', text, verdict));
  }
  std::vector<std::string> lines;
};

TEST_F(Exchanging, TraceHoldsEveryFrameAndItsVerdict) {
  RecordingTrace trace;
  link->SetTrace(&trace);
  port.AnswerNextWrite({"\x01" + kReply.substr(0, 5) + "\r\n"});
  port.AnswerNextWrite({kReply});
  ASSERT_TRUE(Run());
  const std::string request = kRequest.substr(0, kRequest.size() - 2);
  const std::string reply = kReply.substr(0, kReply.size() - 2);
  EXPECT_EQ(trace.lines,
            (std::vector<std::string>{
                "00:00:00.000 COM3 0 > " + request + "\\x0D\\x0A",
                "00:00:00.000 COM3 0 < \\x01" + kReply.substr(0, 5) + "\\x0D\\x0A [bad-length]",
                "00:00:00.000 COM3 1 > " + request + "\\x0D\\x0A",
                "00:00:00.000 COM3 1 < " + reply + "\\x0D\\x0A [ok]"}));
  EXPECT_EQ(TraceLine(((13 * 60 + 5) * 60 + 9) * 1000LL + 42, 12, 4, '<', "a\\", "no-frame"),
            "13:05:09.042 COM12 4 < a\\x5C [no-frame]");
}

TEST_F(Exchanging, IncompleteBlocksAreNoReply) {
  for (int i = 0; i < 5; ++i) {
    port.AnswerNextWrite({i % 2 ? "0102\r\n:" : "\r\n:01\n\r"});
  }
  EXPECT_FALSE(Run());
  EXPECT_EQ(port.writes.size(), 5u);
  // Kept across attempts, the pieces join only into ":" CR LF, too short to answer.
  EXPECT_EQ(log.lines, std::vector<std::string>{"Неверный ответ прибора (длина ответа): :"});
  ExpectTidy();
}

TEST_F(Exchanging, FiveSilentAttemptsFailWithoutALine) {
  EXPECT_FALSE(Run());
  EXPECT_EQ(port.writes.size(), 5u);
  // One read in each pause, ten after it; then 120 ms for the answers owed,
  // until an unmeasured turnaround (300 ms) and the margin have passed.
  EXPECT_EQ(port.reads, 5 * 11 + 25);
  EXPECT_EQ(hooks.attempts, kAllAttempts);
  EXPECT_EQ(clock.Slept(), milliseconds(5 * (300 + 10 * 5) + 120));
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(link->ReplyBuffer(), "");
  ExpectTidy();
}

TEST_F(Exchanging, TimerFiredBeforeAnAttempt) {
  // A write that takes 500 ms: attempts start at 0, 850, 1700 and 2550 ms.
  port.writeTakes = milliseconds(500);
  EXPECT_FALSE(Run());
  EXPECT_EQ(log.lines, std::vector<std::string>{"Превышено время ожидания"});
  EXPECT_EQ(hooks.attempts, (std::vector<std::string>{"0", "1", "2", "3"}));
  EXPECT_EQ(port.writes.size(), 3u);
  ExpectTidy();
}

TEST_F(Exchanging, TimeoutFlagFromAnEarlierExchangeIsCleared) {
  state.link.timeout = true;
  port.AnswerNextWrite({kReply});
  EXPECT_TRUE(Run());
}

TEST_F(Exchanging, AbortFailsAtOnceEveryTime) {
  state.link.abort = true;
  for (int run = 0; run < 2; ++run) {
    EXPECT_FALSE(Run());
  }
  EXPECT_EQ(log.lines, (std::vector<std::string>{"Запрос прерван", "Запрос прерван"}));
  EXPECT_TRUE(port.writes.empty());
  EXPECT_EQ(port.configures, 2);  // opened and configured before the flag is seen
  EXPECT_EQ(hooks.attempts, (std::vector<std::string>{"0", "0"}));
  EXPECT_TRUE(state.link.abort);  // only the connection workflow clears it
  ExpectTidy();
}

TEST_F(Exchanging, AbortClickedDuringAnExchangeEndsItAtTheNextAttempt) {
  hooks.abortAtPump = 3;
  EXPECT_FALSE(Run());
  EXPECT_EQ(hooks.attempts, (std::vector<std::string>{"0", "1", "2"}));
  EXPECT_EQ(port.writes.size(), 2u);
  EXPECT_EQ(log.lines, std::vector<std::string>{"Запрос прерван"});
  ExpectTidy();
}

TEST_F(Exchanging, FailingWriteLogsEachAttempt) {
  port.writeError = EIO;
  EXPECT_FALSE(Run());
  EXPECT_EQ(log.lines, std::vector<std::string>(5, Win32Line(EIO)));
  EXPECT_EQ(hooks.attempts, kAllAttempts);
  EXPECT_EQ(port.reads, 0);
  EXPECT_EQ(clock.Slept(), milliseconds(0));
  EXPECT_EQ(state.link.lastErrorText, std::to_string(EIO) + " - " + SystemErrorText(EIO));
  EXPECT_EQ(port.LastError(), 0);
  ExpectTidy();
}

TEST_F(Exchanging, FailingReadStillCountsAndTheNextOneMayReply) {
  port.AnswerNextWrite({std::nullopt, kReply});
  EXPECT_TRUE(Run());
  EXPECT_EQ(log.lines, std::vector<std::string>{Win32Line(EIO)});
  EXPECT_EQ(port.reads, 2);
}

TEST_F(Exchanging, MissingOrBusyPortIsSilent) {
  for (int error : {ENOENT, EBUSY}) {
    port.openError = error;
    EXPECT_FALSE(Run()) << error;
  }
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(hooks.ports.empty());
  EXPECT_EQ(port.configures, 0);
  EXPECT_EQ(port.LastError(), 0);
  EXPECT_EQ(hooks.stops, 2);
  ExpectTidy();
}

TEST_F(Exchanging, PortWithoutPermissionIsLoggedWithTheDevicesGroupOncePerRun) {
  // A device of a group of its own (as root we may chown; open is scripted).
  test::TempDir dir;
  port.devicePath = dir.File("ttyUSB0");
  test::WriteBytes(port.devicePath, "");
  const std::string group = test::GiveToAnotherGroup(port.devicePath);
  if (group.empty()) GTEST_SKIP() << "no other group to give the device to";

  port.openError = EACCES;
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Run());
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[0], Win32Line(EACCES));
  const std::string advice = log.lines[1];
  EXPECT_EQ(advice, PermissionAdviceText("COM3", port.devicePath, group, CurrentUserName(),
                                         InstalledExampleRule()));
  EXPECT_NE(advice.find("группе «" + group + "»"), std::string::npos) << advice;
  EXPECT_NE(advice.find("войдите в систему заново"), std::string::npos) << advice;
  EXPECT_EQ(log.lines[2], Win32Line(EACCES));
  EXPECT_EQ(hooks.messages, std::vector<std::string>{advice});
}

TEST(PermissionAdvice, NamesTheGroupAndWhatToDo) {
  const std::string rule = "/usr/local/share/doc/orti415/examples/60-orti415.rules";
  EXPECT_EQ(PermissionAdviceText("COM2", "/dev/ttyUSB0", "dialout", "ivanov", rule),
            "Нет прав на порт COM2 (/dev/ttyUSB0): устройство принадлежит группе «dialout». "
            "Добавьте пользователя ivanov в группу dialout (sudo usermod -aG dialout ivanov) и "
            "войдите в систему заново.");
  // A root-owned device needs a rule: the example is named where it was installed, if it was.
  EXPECT_NE(PermissionAdviceText("COM2", "/dev/ttyUSB0", "root", "ivanov", rule)
                .find("правилом udev с группой dialout (пример: " + rule + "), затем"),
            std::string::npos);
  EXPECT_EQ(PermissionAdviceText("COM2", "/dev/ttyUSB0", "root", "ivanov", "").find("пример"),
            std::string::npos);
  EXPECT_NE(PermissionAdviceText("COM2", "", "", "", rule).find("войдите в систему заново"),
            std::string::npos);
}

TEST(PermissionAdvice, TheExampleRuleIsFoundFromTheProgramsFolderUnderAnyPrefix) {
  test::TempDir prefix;
  const std::string rule = prefix.File("share/doc/orti415/examples/60-orti415.rules");
  EXPECT_EQ(InstalledFile(prefix.File("bin"), kExampleRuleFromProgramFolder), "");
  std::filesystem::create_directories(prefix.File("bin"));
  std::filesystem::create_directories(prefix.File("share/doc/orti415/examples"));
  test::WriteBytes(rule, "SUBSYSTEM==\"tty\"\n");
  EXPECT_EQ(InstalledFile(prefix.File("bin"), kExampleRuleFromProgramFolder), rule);
  EXPECT_EQ(InstalledFile(prefix.File("bin/"), kExampleRuleFromProgramFolder), rule);
  // A build tree has no installed documentation beside its programs.
  EXPECT_EQ(InstalledExampleRule(), "");
}

TEST_F(Exchanging, FailingConfigurationClosesThePort) {
  port.configureError = EINVAL;
  EXPECT_FALSE(Run());
  EXPECT_EQ(log.lines, std::vector<std::string>{Win32Line(EINVAL)});
  EXPECT_TRUE(port.writes.empty());
  EXPECT_EQ(port.closes, 1);
  ExpectTidy();
}

TEST_F(Exchanging, HiddenConnectionWindowShowsNothing) {
  hooks.visible = false;
  port.AnswerNextWrite({kReply});
  EXPECT_TRUE(Run());
  EXPECT_TRUE(hooks.ports.empty());
  EXPECT_TRUE(hooks.attempts.empty());
}

TEST_F(Exchanging, FloodOfCharactersKeepsTheNewest) {
  // Far more than the buffer holds arrives ahead of the reply: the oldest
  // characters go, the reply stays.
  port.AnswerNextWrite({std::string(4096, 'x'), std::string(4096, 'y'), kReply});
  EXPECT_TRUE(Run());
  EXPECT_EQ(link->Reply(), kReply);
  EXPECT_EQ(link->ReplyBuffer().size(), kReplyBufferSize);
  EXPECT_EQ(link->ReplyBuffer().substr(kReplyBufferSize - kReply.size() - 3), "yyy" + kReply);

  for (int i = 0; i < 5; ++i)
    port.AnswerNextWrite({std::string(4096, 'x'), ":01" + std::string(4096, '0')});
  EXPECT_FALSE(Run());
  EXPECT_EQ(link->ReplyBuffer().size(), kReplyBufferSize);
}

TEST(Win32ErrorReport, LineAndLastErrorText) {
  ConsoleState state;
  test::RecordingLog log;
  ReportWin32Error(ENOENT, state, log);
  ReportWin32Error(0, state, log);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"Win32 Error:" + std::to_string(ENOENT) + " - " +
                                                     SystemErrorText(ENOENT),
                                                 "Win32 Error:0"}));
  EXPECT_EQ(state.link.lastErrorText, "0");

  errno = EACCES;
  ReportWin32Error(state, log);
  EXPECT_EQ(errno, 0);
  EXPECT_EQ(state.link.lastErrorText, std::to_string(EACCES) + " - " + SystemErrorText(EACCES));
}

}  // namespace
}  // namespace orti
