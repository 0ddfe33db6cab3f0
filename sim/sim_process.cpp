#include "sim/sim_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orti::sim {

namespace {
constexpr int kPollStepMs = 10;
}

SimProcess::SimProcess(const std::string& program, std::vector<std::string> args) {
  int out[2];
  if (pipe(out) != 0) return;
  // Everything execv needs is built before the fork: the child only execs.
  std::string path = program;
  std::vector<char*> argv;
  argv.push_back(path.data());
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  stdout_ = out[0];
}

SimProcess::~SimProcess() {
  if (stdout_ >= 0) close(stdout_);
  if (pid_ > 0 && !reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

std::string SimProcess::FirstLine(int waitMs) {
  std::string line;
  if (stdout_ < 0) return line;
  char c;
  pollfd p{stdout_, POLLIN, 0};
  while (poll(&p, 1, waitMs) > 0 && read(stdout_, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

int SimProcess::Stop(int signal, int waitMs) {
  if (pid_ <= 0) return -1;
  if (signal != 0) kill(pid_, signal);
  int status = 0;
  for (int waited = 0; waited < waitMs; waited += kPollStepMs) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      reaped_ = true;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    usleep(kPollStepMs * 1000);
  }
  return -1;
}

}  // namespace orti::sim
