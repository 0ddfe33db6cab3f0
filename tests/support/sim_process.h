#pragma once
// The real orti415-sim started as a child process; its first line of standard
// output names the pseudo-terminal it serves.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace orti::test {

constexpr int kSimWaitMs = 5000;

class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args, const std::string& path = ORTI415_SIM_PATH) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      std::string program = path;
      argv.push_back(program.data());
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    stdout_ = out[0];
  }
  ~SimProcess() {
    if (stdout_ >= 0) close(stdout_);
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  // The first line of standard output: the device path.
  std::string FirstLine() {
    std::string line;
    char c;
    pollfd p{stdout_, POLLIN, 0};
    while (poll(&p, 1, kSimWaitMs) > 0 && read(stdout_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

  // Sends `signal` and returns the exit status, -1 when it did not exit normally.
  int Stop(int signal) {
    kill(pid_, signal);
    int status = 0;
    for (int i = 0; i < kSimWaitMs / 10; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10000);
    }
    return -1;
  }

  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
  bool reaped_ = false;
};

}  // namespace orti::test
