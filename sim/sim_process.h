#pragma once
// orti415-sim started as a child process: its first line of output names the
// device it serves, a signal ends it. For the tests and the benchmark that
// talk to it over a real pseudo-terminal.

#include <sys/types.h>

#include <string>
#include <vector>

namespace orti::sim {

class SimProcess {
 public:
  SimProcess(const std::string& program, std::vector<std::string> args);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The first line of standard output (the device path); empty when none
  // came within `waitMs`.
  std::string FirstLine(int waitMs = 5000);
  // Sends `signal` and returns the exit status, -1 when it did not exit
  // normally within `waitMs`.
  int Stop(int signal, int waitMs = 5000);
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
  bool reaped_ = false;
};

}  // namespace orti::sim
