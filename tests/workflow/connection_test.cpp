#include "workflow/connection.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "device/device_link.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "settings/work_log.h"
#include "sim/in_process_port.h"
#include "sim/instrument.h"
#include "sim/notepad_generator.h"
#include "support/fake_clock.h"
#include "support/scripted_dialogs.h"

namespace orti {
namespace {

using Lines = std::vector<std::string>;

// One simulated device per port number; an instrument that never answers
// stands for a port with something else behind it.
struct Device {
  Device(test::FakeClock& clock, bool answers)
      : instrument(sim::GenerateNotepad({5, 12800, 100}), sim::InstrumentIdentity{}),
        line(instrument, faults),
        port(line, clock) {
    if (!answers) {
      sim::FaultRule silent;
      silent.kind = sim::FaultKind::kNoReply;
      faults.Add(silent);
    }
  }
  sim::FaultPlan faults;
  sim::Instrument instrument;
  sim::InstrumentLine line;
  sim::InProcessPort port;
};

class PortBank final : public SerialPort {
 public:
  std::map<int, std::unique_ptr<Device>> devices;
  bool Open(int n) override {
    auto it = devices.find(n);
    current_ = it == devices.end() ? nullptr : &it->second->port;
    if (!current_) return false;
    return current_->Open(n);
  }
  bool Configure() override { return current_->Configure(); }
  void ClearModemLines() override { current_->ClearModemLines(); }
  void Purge() override { current_->Purge(); }
  bool Write(const char* d, size_t n) override { return current_->Write(d, n); }
  bool Read(char* b, size_t c, size_t& r) override { return current_->Read(b, c, r); }
  void Close() override { current_->Close(); }
  int LastError() const override { return current_ ? current_->LastError() : ENOENT; }
  void ClearLastError() override {
    if (current_) current_->ClearLastError();
  }

 private:
  SerialPort* current_ = nullptr;
};

class Window final : public ConnectionWindow {
 public:
  int opened = 0, closed = 0;
  void Open() override { ++opened; }
  void Close() override { ++closed; }
};

// The operator presses "Прервать" during the third attempt on port 3.
class AbortingHooks final : public ClockLinkHooks {
 public:
  using ClockLinkHooks::ClockLinkHooks;
  int passes = 0;
  bool pressOnPort3 = false;
  void ProcessMessages() override {
    ClockLinkHooks::ProcessMessages();
    if (pressOnPort3 && state_.link.currentPort == 3 && ++passes == 3) state_.link.abort = true;
  }
};

struct Search {
  test::FakeClock clock;
  ConsoleState state;
  WorkLog log;
  PortBank bank;
  AbortingHooks hooks{clock, state};
  DeviceLink link{bank, state, log, clock, hooks};
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  StringGrid totalData{2, 1, 1};
  test::ScriptedDialogs dialogs;
  Window window;

  Search() {
    state.session.startTime = EncodeDate(2026, 12, 8) + EncodeTime(9, 5, 7);
    bank.devices[3] = std::make_unique<Device>(clock, false);
    bank.devices[5] = std::make_unique<Device>(clock, true);
    bank.devices[7] = std::make_unique<Device>(clock, false);
  }
  ConnectOutcome Run() {
    ConnectionContext c{{*model, state, totalData, link, log, dialogs}, window, [this](int n) {
                          return n <= 63 && bank.devices.count(n) > 0;
                        }};
    return SearchInstrument(c);
  }
};

TEST(Connection, AsksTheFreePortsInOrderUntilTheInstrumentAnswers) {
  Search s;
  s.bank.devices[64] = std::make_unique<Device>(s.clock, true);  // beyond the ports asked
  EXPECT_EQ(s.Run(), ConnectOutcome::kConnected);
  EXPECT_EQ(s.state.link.currentPort, 5);
  EXPECT_EQ(s.state.link.availablePorts, (std::vector<std::string>{"3", "5", "7"}));
  EXPECT_EQ(s.log.Lines(), (Lines{"Порт COM3 доступен", "Порт COM5 доступен", "Порт COM7 доступен",
                                  "08.12.2026  09:05:07 - начало работы ",
                                  "Попытка подключения с использованием перебора"}));
  EXPECT_EQ(s.totalData.Cell(1, 1), "ОРТИ-415");
  EXPECT_EQ(s.totalData.Cell(1, 7), "12800");
  EXPECT_EQ(s.window.opened, 1);
  EXPECT_EQ(s.window.closed, 1);
  EXPECT_FALSE(s.state.link.abort);
  EXPECT_EQ(s.bank.devices[7]->port.Sent(), "");  // never asked
}

TEST(Connection, AbortDuringThePortSearchEndsItUnconnected) {
  Search s;
  s.hooks.pressOnPort3 = true;
  EXPECT_EQ(s.Run(), ConnectOutcome::kFailed);
  const Lines& lines = s.log.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Запрос прерван"), 3);  // ports 3, 5 and 7
  EXPECT_EQ(s.bank.devices[5]->port.Sent(), "");
  EXPECT_FALSE(s.state.link.abort);
  EXPECT_EQ(s.window.closed, 1);
}

TEST(Connection, NoFreePortEndsTheProgramWithItsMessage) {
  Search s;
  s.bank.devices.clear();
  EXPECT_EQ(s.Run(), ConnectOutcome::kNoPorts);
  ASSERT_EQ(s.dialogs.Calls().size(), 1u);
  EXPECT_EQ(s.dialogs.Calls()[0].text, "Доступных портов не найдено");
  EXPECT_EQ(s.window.opened, 0);
}

class Offline final : public OfflineView {
 public:
  int disabled = 0;
  void DisableDataCommands() override { ++disabled; }
};

TEST(Connection, GoingOfflineClearsEveryPendingFlagAndSaysWhy) {
  auto model = std::make_unique<NotepadModel>();
  model->folders[0].pending = 1;
  model->folders[99].pending = 1;  // beyond the first fifty as well
  ConsoleState state;
  Offline view;
  test::ScriptedDialogs dialogs;
  GoOffline(state, *model, view, dialogs);
  EXPECT_TRUE(state.link.offline);
  EXPECT_EQ(view.disabled, 1);
  EXPECT_EQ(model->folders[99].pending, 0);
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].caption, "Ошибка при подключении");
  EXPECT_EQ(dialogs.Calls()[0].icon, DialogIcon::kWarning);
  EXPECT_EQ(
      dialogs.Calls()[0].text,
      "Не удалось подключиться к pH-метру.\nВозможные причины:\n- прибор не включен\n"
      "- прибор не подсоединен кабелем\n- прибор находится в режиме просмотра/редактирования\n"
      "- прибор и/или порт неисправен");
}

}  // namespace
}  // namespace orti
