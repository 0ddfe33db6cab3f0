#include "cli/cli_process.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orti::cli {

pid_t StartCliProgram(const Lines& args, const std::string& ports, const test::TempDir& dir,
                      const Variables& variables) {
  const std::string outPath = dir.File("cli.out"), errPath = dir.File("cli.err");
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("ORTI415_PORTS", ports.c_str(), 1);
    setenv("ORTI415_HOME", dir.Path().c_str(), 1);
    setenv("ORTI415_ARCHIVE", dir.File("archive.sqlite").c_str(), 1);
    setenv("LC_ALL", "C", 1);
    for (const auto& [name, value] : variables) setenv(name.c_str(), value.c_str(), 1);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    std::vector<std::string> words{ORTI415_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

CliRun FinishCliProgram(pid_t pid, const test::TempDir& dir) {
  CliRun run;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  run.out = test::ReadBytes(dir.File("cli.out"));
  run.err = test::ReadBytes(dir.File("cli.err"));
  return run;
}

}  // namespace orti::cli
