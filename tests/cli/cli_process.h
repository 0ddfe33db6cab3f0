#pragma once
// orti415-cli run as a child process with a program folder and an archive
// of its own, in the C locale, its output kept in files of that folder.

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace orti::cli {

using Lines = std::vector<std::string>;
using Variables = std::vector<std::pair<std::string, std::string>>;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Starts the program; `variables` are set on top of the port map, the
// program folder and the archive.
pid_t StartCliProgram(const Lines& args, const std::string& ports, const test::TempDir& dir,
                      const Variables& variables = {});
// Waits for it and reads what it printed.
CliRun FinishCliProgram(pid_t pid, const test::TempDir& dir);

inline CliRun RunCliProgram(const Lines& args, const std::string& ports, const test::TempDir& dir,
                            const Variables& variables = {}) {
  return FinishCliProgram(StartCliProgram(args, ports, dir, variables), dir);
}

}  // namespace orti::cli
