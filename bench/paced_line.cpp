#include "paced_line.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "device/identify.h"
#include "device/identity_display.h"
#include "device/memory_map.h"

namespace orti::bench {

DialogAnswer ConsoleDialogs::Ask(const std::string& text, const std::string& caption, DialogIcon,
                                 DialogButtons) {
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  return DialogAnswer::kNo;
}

void ConsoleDialogs::ShowMessage(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

PacedLine::PacedLine(const std::string& simPath, int folders, bool fastRead, Ms turnaround) {
  char folder[] = "/tmp/orti415-bench-XXXXXX";
  if (!mkdtemp(folder)) {
    error_ = "no temporary folder";
    return;
  }
  folder_ = folder;
  state.programFolder = folder_ + "/";
  state.link.currentPort = 1;
  const std::string link = folder_ + "/orti";
  const int notepad = kNotepadEnd - kFolderBlockSize * folders;
  sim_ = std::make_unique<sim::SimProcess>(
      simPath,
      std::vector<std::string>{"--pace", "--latency", std::to_string(turnaround.count()),
                               "--notepad-address", std::to_string(notepad), "--link", link});
  if (sim_->FirstLine().empty()) {
    error_ = "orti415-sim did not start: " + simPath;
    return;
  }
  PortMapSources sources;
  sources.portsVariable = "1=" + link;
  port_ = std::make_unique<PosixSerialPort>(PortMap(sources));
  hooks_ = std::make_unique<ClockLinkHooks>(clock, state);
  deviceLink_ = std::make_unique<DeviceLink>(*port_, state, log, clock, *hooks_);
  state.link.fastRead = fastRead;
  counting = std::make_unique<CountingExchanger>(*deviceLink_, turnaround);
}

bool PacedLine::Identify() {
  if (!error_.empty()) return false;
  if (!orti::Identify(*counting, state, model->identity, log)) {
    error_ = "the instrument did not identify itself";
    return false;
  }
  ShowIdentity(model->identity, totalData, state);
  return true;
}

void PacedLine::Finish() {
  for (const std::string& line : log.Lines()) std::fprintf(stderr, "log: %s\n", line.c_str());
  log.Clear();
  if (sim_) sim_->Stop(SIGTERM);
}

PacedLine::~PacedLine() {
  sim_.reset();
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

}  // namespace orti::bench
