// orti415-cli: the console's workflows without windows.

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "archive/archive_path.h"
#include "archive/archive_server.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "device/traffic_trace.h"
#include "platform/clock.h"
#include "platform/date_time.h"
#include "platform/port_map.h"
#include "platform/posix_serial_port.h"
#include "platform/program_folder.h"
#include "settings/settings_file.h"
#include "workflow/startup_sequence.h"

int main(int argc, char** argv) {
  using namespace orti;
  std::setlocale(LC_ALL, "");
  const std::string decimalSeparator = std::localeconv()->decimal_point;
  // The number texts are built with the C library's formatting and take the
  // separator above; everything else keeps the C conventions.
  std::setlocale(LC_NUMERIC, "C");

  const std::vector<std::string> arguments(argv + 1, argv + argc);
  cli::CliOptions options;
  std::string error;
  if (!cli::ParseCliOptions(arguments, options, error)) {
    std::cerr << "orti415-cli: " << error << "\nTry 'orti415-cli --help'.\n";
    return cli::kExitRefused;
  }
  if (options.help) {
    std::cout << cli::CliUsage();
    return cli::kExitOk;
  }
  if (options.version) {
    std::cout << cli::CliVersion();
    return cli::kExitOk;
  }

  const PortMap ports(CurrentPortMapSources());
  PosixSerialPort port(ports);
  SystemClock clock;
  const ProgramFolder folder = ResolveProgramFolder(CurrentProgramFolderSources());
  if (folder.path.empty()) {
    std::cerr << "orti415-cli: " << kNoHomeMessage << "\n";
    return cli::kExitRefused;
  }
  if (!folder.problem.empty()) std::cerr << folder.problem << "\n";  // the work log's line
  cli::CliEnvironment environment{port, clock, folder.path, decimalSeparator, LocalNow()};
  const std::string traceFile = TraceFile(options.traceFile);
  std::unique_ptr<FileTrafficTrace> trace;
  if (!traceFile.empty()) {
    std::string error;
    trace = FileTrafficTrace::Open(traceFile, &error);
    if (!trace) {
      std::cerr << "orti415-cli: cannot append to " << traceFile << ": " << error << "\n";
      return cli::kExitRefused;
    }
  }
  environment.trace = trace.get();
  environment.fastRead = options.fastRead;
  if (options.command == cli::Command::kArchive || !options.noArchive) {
    environment.archivePath = ResolveArchivePath(CurrentArchivePathSources());
    if (environment.archivePath.empty()) {
      std::cerr << "orti415-cli: " << kNoHomeMessage << "\n";
      return cli::kExitRefused;
    }
    environment.server = ChooseServer({options.server, ServerVariable(),
                                       ReadArchiveServerSetting(folder.path + kSettingsFileName)});
    const std::string refusal = environment.server.empty() ? "" : ServerRefusal(environment.server);
    if (!refusal.empty()) {
      std::cerr << "orti415-cli: " << refusal << "\n";
      return cli::kExitRefused;
    }
  }
  return cli::RunCommand(options, environment, ports, std::cout, std::cerr);
}
