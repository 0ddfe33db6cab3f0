#pragma once
// The command line of orti415-cli: global options, one command and its
// arguments. Parsing only; nothing here touches a port or a file.

#include <optional>
#include <string>
#include <vector>

#include "cli/archive_options.h"

namespace orti::cli {

enum class Command {
  kNone,
  kPorts,
  kIdentify,
  kRead,
  kExport,
  kMkdir,
  kRename,
  kRmdir,
  kClear,
  kClearAll,
  kDelete,
  kRestore,
  kArchive
};

// What an existing export file gets: refused, extended, or replaced.
enum class ExistingFile { kRefuse, kExtend, kReplace };

struct RecordSlot {
  int folder = 0;
  int record = 0;
};

struct CliOptions {
  bool help = false;
  bool version = false;
  int port = 0;  // 0: search the ports as at start-up
  bool fastRead = false;
  bool noArchive = false;  // the reading is not added to the archive
  std::string traceFile;   // empty: ORTI415_TRACE, if set
  std::optional<std::string> operatorName;
  std::optional<std::string> server;  // --server: the lab's archive server
  Command command = Command::kNone;
  bool byDate = false;
  std::string file;
  ExistingFile existingFile = ExistingFile::kRefuse;
  std::string folderName;
  int folder = -1;
  std::vector<RecordSlot> records;
  std::vector<int> folders;  // restore: the backup's folders to write back, none: all
  ArchiveOptions archive;
};

// Reads argv[1] onward. False with a reason when the line is not understood.
// "--option=value" is the same as "--option value" for options that take a value.
bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options,
                     std::string& error);

std::string CliUsage();
// "orti415-cli " and the version, one line.
std::string CliVersion();

}  // namespace orti::cli
