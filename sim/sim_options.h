#pragma once
// The command line of orti415-sim.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/notepad_layout.h"

namespace orti::sim {

struct SimOptions {
  uint32_t seed = 1;
  std::string imagePath;  // empty: the memory lives only for the run
  uint16_t notepadAddress = kDefaultNotepadAddress;
  bool pacing = false;
  bool strictErase = false;       // writes only into erased bytes
  std::vector<FaultRule> faults;  // --latency becomes a rule here too
  std::string linkPath;
  bool help = false;
  bool version = false;
};

// False with a reason when the arguments (argv[1] onward) are not understood.
bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);

std::string SimUsage();
std::string SimVersion();

}  // namespace orti::sim
