#include "paced_reading.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "device/device_link.h"
#include "device/identify.h"
#include "device/identity_display.h"
#include "device/link_hooks.h"
#include "device/memory_map.h"
#include "platform/date_time.h"
#include "platform/posix_serial_port.h"
#include "settings/work_log.h"
#include "sim/sim_process.h"
#include "workflow/reading.h"

namespace orti::bench {

namespace {

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

class CountingExchanger final : public Exchanger {
 public:
  explicit CountingExchanger(Exchanger& link) : link_(link) {}
  ExchangeStatus Exchange(std::string_view request) override {
    ++count;
    const ExchangeStatus status = link_.Exchange(request);
    wireChars += static_cast<long>(request.size() + link_.Reply().size());
    return status;
  }
  std::string_view Reply() const override { return link_.Reply(); }
  std::string_view ReplyBuffer() const override { return link_.ReplyBuffer(); }
  int count = 0;
  long wireChars = 0;  // one request and its reply each, retries not counted

 private:
  Exchanger& link_;
};

// Nobody is there to answer: every question is declined and reported.
class ConsoleDialogs final : public Dialogs {
 public:
  DialogAnswer Ask(const std::string& text, const std::string& caption, DialogIcon,
                   DialogButtons) override {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    return DialogAnswer::kNo;
  }
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

// No windows: progress is not shown and the half-second wait after the
// reading is left out, so that only the line is timed.
class NoWindows final : public QuietReadingHooks {
 public:
  void SlotDecoded() override { ++records; }
  int records = 0;
};

}  // namespace

PacedReadingResult RunPacedReading(const std::string& simPath, int folders, bool fastRead) {
  PacedReadingResult result;
  result.folders = folders;
  result.fastRead = fastRead;
  char folder[] = "/tmp/orti415-bench-XXXXXX";
  if (!mkdtemp(folder)) {
    result.error = "no temporary folder";
    return result;
  }
  const std::string link = std::string(folder) + "/orti";
  const int notepad = kNotepadEnd - kFolderBlockSize * folders;
  {
    sim::SimProcess sim(simPath,
                        {"--pace", "--notepad-address", std::to_string(notepad), "--link", link});
    if (sim.FirstLine().empty()) {
      result.error = "orti415-sim did not start: " + simPath;
    } else {
      PortMapSources sources;
      sources.portsVariable = "1=" + link;
      PosixSerialPort port{PortMap(sources)};
      CountingClock clock;
      ConsoleState state;
      state.currentPort = 1;
      WorkLog log;
      ClockLinkHooks hooks(clock, state);
      DeviceLink deviceLink(port, state, log, clock, hooks);
      deviceLink.SetFastRead(fastRead);
      CountingExchanger counting(deviceLink);
      auto model = std::make_unique<NotepadModel>();
      StringGrid totalData{2, 1, 1};
      ConsoleDialogs dialogs;
      NoWindows windows;

      const auto started = std::chrono::steady_clock::now();
      if (!Identify(counting, state, model->identity, log)) {
        result.error = "the instrument did not identify itself";
      } else {
        ShowIdentity(model->identity, totalData, state);
        ReadingContext context{state, *model,  totalData, counting,
                               log,   dialogs, windows,   LocalNow()};
        result.failedRequests = RunReading(context);
        result.ok = true;
      }
      result.wall = std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - started);
      result.exchanges = counting.count;
      result.wireChars = counting.wireChars;
      result.slept = clock.Slept();
      result.records = windows.records;
      for (const std::string& line : log.Lines()) std::fprintf(stderr, "log: %s\n", line.c_str());
      sim.Stop(SIGTERM);
    }
  }
  rmdir(folder);
  return result;
}

}  // namespace orti::bench
