#pragma once
// A paced orti415-sim over a pseudo-terminal with the console's link to it,
// counting what the benchmarks report: the console's own pauses, the
// exchanges and their characters.

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "device/console_services.h"
#include "device/device_link.h"
#include "device/link_hooks.h"
#include "model/console_state.h"
#include "model/notepad_model.h"
#include "model/string_grid.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/posix_serial_port.h"
#include "settings/work_log.h"
#include "sim/sim_process.h"

namespace orti::bench {

using Ms = std::chrono::milliseconds;

// The real clock, keeping count of the console's pauses.
class CountingClock final : public Clock {
 public:
  Ms Now() override { return clock_.Now(); }
  void Sleep(Ms duration) override {
    slept_ += duration;
    clock_.Sleep(duration);
  }
  Ms Slept() const { return slept_; }

 private:
  SystemClock clock_;
  Ms slept_{0};
};

// Counts the exchanges and the floors a reading cannot beat: the line's own
// (request on the wire, the instrument's turnaround, reply on the wire) and
// the console's (never less than its pause after a write).
class CountingExchanger final : public Exchanger {
 public:
  CountingExchanger(Exchanger& link, Ms turnaround) : link_(link), turnaround_(turnaround) {}
  ExchangeStatus Exchange(std::string_view request) override {
    ++count;
    const ExchangeStatus status = link_.Exchange(request);
    wireChars += static_cast<long>(request.size() + link_.Reply().size());
    const Ms line = WireTime(request.size()) + turnaround_ + WireTime(link_.Reply().size());
    lineFloor += line;
    pausedFloor += std::max(line, kPauseAfterWrite);
    return status;
  }
  std::string_view Reply() const override { return link_.Reply(); }
  std::string_view ReplyBuffer() const override { return link_.ReplyBuffer(); }
  int count = 0;
  long wireChars = 0;  // one request and its reply each, retries not counted
  Ms lineFloor{0};     // Σ request + turnaround + reply on the wire
  Ms pausedFloor{0};   // Σ max(pause after a write, the line's own time)

 private:
  Exchanger& link_;
  Ms turnaround_;
};

// Nobody is there to answer: every question is declined and reported.
class ConsoleDialogs final : public Dialogs {
 public:
  DialogAnswer Ask(const std::string& text, const std::string& caption, DialogIcon,
                   DialogButtons) override;
  void ShowMessage(const std::string& text) override;
};

// orti415-sim --pace serving `folders` blocks at the end of the memory, each
// reply starting `turnaround` after its request, in a temporary folder that
// also serves as the program folder.
class PacedLine {
 public:
  PacedLine(const std::string& simPath, int folders, bool fastRead, Ms turnaround = Ms(0));
  ~PacedLine();
  PacedLine(const PacedLine&) = delete;
  PacedLine& operator=(const PacedLine&) = delete;

  // Empty when the simulator serves (and identified itself); else why not.
  const std::string& Error() const { return error_; }
  // Identification as the connection does it; false with the error set.
  bool Identify();
  // The work log to standard error, then the simulator stopped.
  void Finish();
  // What the console's commands work with, over the counting link.
  ConsoleServices Services() { return {*model, state, totalData, *counting, log, dialogs}; }

  CountingClock clock;
  ConsoleState state;
  WorkLog log;
  std::unique_ptr<CountingExchanger> counting;
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  StringGrid totalData{2, 1, 1};
  ConsoleDialogs dialogs;

 private:
  std::string folder_;
  std::string error_;
  std::unique_ptr<sim::SimProcess> sim_;
  std::unique_ptr<PosixSerialPort> port_;
  std::unique_ptr<ClockLinkHooks> hooks_;
  std::unique_ptr<DeviceLink> deviceLink_;
};

}  // namespace orti::bench
