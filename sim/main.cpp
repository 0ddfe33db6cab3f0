// orti415-sim: the pH-meter on a pseudo-terminal, for end-to-end tests and
// demonstrations of the console without the instrument.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/atomic_file.h"
#include "platform/system_error.h"
#include "sim/image_file.h"
#include "sim/instrument_line.h"
#include "sim/notepad_generator.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"

namespace {

using namespace orti::sim;

bool PrepareMemory(const SimOptions& options, MemoryImage& memory) {
  std::string error;
  if (!options.imagePath.empty() && orti::FileExists(options.imagePath)) {
    if (LoadImageFile(options.imagePath, memory, error)) return true;
    std::cerr << "orti415-sim: " << error << "\n";
    return false;
  }
  GeneratorSettings settings;
  settings.seed = options.seed;
  settings.notepadAddress = options.notepadAddress;
  settings.today = DayOfYearToday();
  memory = GenerateNotepad(settings);
  if (options.imagePath.empty() || SaveImageFile(options.imagePath, memory, error)) return true;
  std::cerr << "orti415-sim: " << error << "\n";
  return false;
}

// Replaces an old link, never a file that is not one.
bool MakeLink(const std::string& target, const std::string& link) {
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(link.c_str());
  if (symlink(target.c_str(), link.c_str()) == 0) return true;
  std::cerr << "orti415-sim: " << link << ": " << orti::SystemErrorText(errno) << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  std::string error;
  if (!ParseSimOptions(argc, argv, options, error)) {
    std::cerr << "orti415-sim: " << error << "\n"
              << "Try orti415-sim --help\n";
    return 2;
  }
  if (options.help) {
    std::cout << SimUsage();
    return 0;
  }
  if (options.version) {
    std::cout << SimVersion();
    return 0;
  }

  MemoryImage memory{};
  if (!PrepareMemory(options, memory)) return 1;
  InstrumentIdentity identity;
  identity.notepadAddress = options.notepadAddress;
  Instrument instrument(memory, identity);
  instrument.SetStrictErase(options.strictErase);
  if (!options.imagePath.empty()) {
    const std::string path = options.imagePath;
    instrument.OnMemoryChanged([path](const MemoryImage& image) {
      std::string saveError;
      if (SaveImageFile(path, image, saveError)) return true;
      std::cerr << "orti415-sim: " << saveError << "\n";
      return false;
    });
  }
  FaultPlan faults;
  for (const FaultRule& rule : options.faults) faults.Add(rule);
  InstrumentLine line(instrument, faults, options.pacing);

  PtyServer server;
  if (!server.Open(error)) {
    std::cerr << "orti415-sim: " << error << "\n";
    return 1;
  }
  if (!options.linkPath.empty() && !MakeLink(server.DevicePath(), options.linkPath)) return 1;
  // The first line tells a waiting script that the device (and its link) can be opened.
  std::cout << server.DevicePath() << std::endl;

  const bool served = server.Serve(line, error);
  if (!options.linkPath.empty()) unlink(options.linkPath.c_str());
  if (!served) {
    std::cerr << "orti415-sim: " << error << "\n";
    return 1;
  }
  // The image was saved with the write itself, so nothing is left to do.
  if (line.Gone()) std::cerr << "orti415-sim: gone after a write, as the fault rule asked\n";
  return 0;
}
