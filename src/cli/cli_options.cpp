#include "cli/cli_options.h"

#include <cerrno>
#include <cstdlib>

#include "platform/help_text.h"

namespace orti::cli {
namespace {

constexpr int kHighestPort = 63;
constexpr int kHighestFolder = 99;
constexpr int kHighestShownSlot = 24;

struct CommandName {
  const char* name;
  Command command;
};
constexpr CommandName kCommands[] = {
    {"ports", Command::kPorts},        {"identify", Command::kIdentify},
    {"read", Command::kRead},          {"export", Command::kExport},
    {"mkdir", Command::kMkdir},        {"rename", Command::kRename},
    {"rmdir", Command::kRmdir},        {"clear", Command::kClear},
    {"clear-all", Command::kClearAll}, {"delete", Command::kDelete},
    {"restore", Command::kRestore},    {"archive", Command::kArchive},
};

// A whole decimal number within [low, high]; signs, blanks and trailing text refused.
bool ParseNumber(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  const long parsed = std::strtol(text.c_str(), nullptr, 10);
  if (parsed < low || parsed > high) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseRecordSlot(const std::string& text, RecordSlot& slot) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  return ParseNumber(text.substr(0, colon), 0, kHighestFolder, slot.folder) &&
         ParseNumber(text.substr(colon + 1), 0, kHighestShownSlot, slot.record);
}

// The options that take a value; "--name=value" is split into two arguments for them.
constexpr const char* kValueOptions[] = {"--port", "--operator", "--trace", "--server"};

bool TakesValue(const std::string& name) {
  for (const char* option : kValueOptions) {
    if (name == option) return true;
  }
  return false;
}

// "--port=7" -> "--port", "7". An option that takes no value keeps its "=...",
// and is refused as unknown.
std::vector<std::string> SplitOptionValues(const std::vector<std::string>& arguments) {
  std::vector<std::string> split;
  for (const std::string& a : arguments) {
    const size_t equals = a.find('=');
    if (a.rfind("--", 0) == 0 && equals != std::string::npos && TakesValue(a.substr(0, equals))) {
      split.push_back(a.substr(0, equals));
      split.push_back(a.substr(equals + 1));
    } else {
      split.push_back(a);
    }
  }
  return split;
}

class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}
  bool AtEnd() const { return next_ >= arguments_.size(); }
  const std::string& Peek() const { return arguments_[next_]; }
  const std::string& Take() { return arguments_[next_++]; }

 private:
  const std::vector<std::string>& arguments_;
  size_t next_ = 0;
};

bool Fail(std::string& error, const std::string& reason) {
  error = reason;
  return false;
}

bool ParseCommandArguments(ArgumentReader& in, CliOptions& o, std::string& error) {
  std::vector<std::string> positional;
  while (!in.AtEnd()) {
    const std::string& a = in.Take();
    const bool viewCommand = o.command == Command::kRead || o.command == Command::kExport;
    if (a == "--by-date" && viewCommand) {
      o.byDate = true;
    } else if ((a == "--extend" || a == "--replace") && o.command == Command::kExport) {
      const ExistingFile wanted = a == "--extend" ? ExistingFile::kExtend : ExistingFile::kReplace;
      if (o.existingFile != ExistingFile::kRefuse && o.existingFile != wanted) {
        return Fail(error, "--extend and --replace exclude each other");
      }
      o.existingFile = wanted;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "--") {
      return Fail(error, "unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }

  auto expect = [&](size_t count) {
    if (positional.size() == count) return true;
    error = "wrong number of arguments";
    return false;
  };
  switch (o.command) {
    case Command::kPorts:
    case Command::kIdentify:
    case Command::kRead:
    case Command::kClearAll:
      return expect(0);
    case Command::kExport:
      if (!expect(1)) return false;
      if (positional[0].empty()) return Fail(error, "empty file name");
      o.file = positional[0];
      return true;
    case Command::kMkdir:
      if (!expect(1)) return false;
      o.folderName = positional[0];
      return true;
    case Command::kRename:
      if (!expect(2)) return false;
      o.folderName = positional[1];
      [[fallthrough]];
    case Command::kRmdir:
    case Command::kClear:
      if (o.command != Command::kRename && !expect(1)) return false;
      if (!ParseNumber(positional[0], 0, kHighestFolder, o.folder)) {
        return Fail(error, "folder number 0.." + std::to_string(kHighestFolder) +
                               " expected: " + positional[0]);
      }
      return true;
    case Command::kDelete:
      if (positional.empty()) return Fail(error, "delete needs at least one N:S");
      for (const std::string& p : positional) {
        RecordSlot slot;
        if (!ParseRecordSlot(p, slot)) {
          return Fail(error, "N:S expected (folder 0.." + std::to_string(kHighestFolder) +
                                 ", slot 0.." + std::to_string(kHighestShownSlot) + "): " + p);
        }
        o.records.push_back(slot);
      }
      return true;
    case Command::kRestore:
      if (positional.empty() || positional[0].empty()) return Fail(error, "restore needs a file");
      o.file = positional[0];
      for (size_t i = 1; i < positional.size(); ++i) {
        int folder = 0;
        if (!ParseNumber(positional[i], 0, kHighestFolder, folder)) {
          return Fail(error, "folder number 0.." + std::to_string(kHighestFolder) +
                                 " expected: " + positional[i]);
        }
        o.folders.push_back(folder);
      }
      return true;
    case Command::kArchive:  // parsed on its own
    case Command::kNone:
      break;
  }
  return Fail(error, "no command");
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& o, std::string& error) {
  o = CliOptions{};
  const std::vector<std::string> split = SplitOptionValues(arguments);
  ArgumentReader in(split);
  while (!in.AtEnd() && o.command == Command::kNone) {
    const std::string& a = in.Take();
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--port") {
      if (in.AtEnd() || !ParseNumber(in.Take(), 1, kHighestPort, o.port)) {
        return Fail(error, "--port needs a port number 1.." + std::to_string(kHighestPort));
      }
    } else if (a == "--no-archive") {
      o.noArchive = true;
    } else if (a == "--fast") {
      o.fastRead = true;
    } else if (a == "--trace") {
      if (in.AtEnd() || in.Peek().empty()) return Fail(error, "--trace needs a file");
      o.traceFile = in.Take();
    } else if (a == "--operator") {
      if (in.AtEnd()) return Fail(error, "--operator needs a name");
      o.operatorName = in.Take();
    } else if (a == "--server") {
      if (in.AtEnd()) return Fail(error, "--server needs a connection string");
      o.server = in.Take();
    } else {
      for (const CommandName& c : kCommands) {
        if (a == c.name) o.command = c.command;
      }
      if (o.command == Command::kNone) return Fail(error, "unknown command " + a);
    }
  }
  if (o.command == Command::kNone) return o.help || o.version || Fail(error, "no command");
  if (o.command == Command::kArchive) {
    std::vector<std::string> rest;
    while (!in.AtEnd()) rest.push_back(in.Take());
    return ParseArchiveOptions(rest, o.archive, error);
  }
  return ParseCommandArguments(in, o, error);
}

std::string CliUsage() {
  return R"(Usage: orti415-cli [--port N] [--fast] [--no-archive] [--trace FILE] [--operator "Surname Name Patronymic"]
                   [--server CONNINFO] COMMAND [ARGS]

Commands:
  ports                      every port number 1..63 that maps to a device: number,
                             device path, available or not, and for a USB adapter
                             its vendor:product, names and serial number
  identify                   search the ports as the console does at start-up and
                             print the identity rows, then the instrument's turnaround
  read [--by-date]           read the notepad and print the view's record rows, one per
                             line: columns 3..9 each followed by ";"
  export FILE [--by-date] [--extend | --replace]
                             read the notepad and export every shown record to FILE
                             (cp1251, CR LF); an existing FILE is refused unless
                             --extend (add what it lacks) or --replace is given
  mkdir NAME                 create a folder, then write it into the instrument
  rename N NAME              rename folder N, then write it into the instrument
  rmdir N                    remove folder N, then write it into the instrument
  clear N                    clear folder N, then write it into the instrument
  clear-all                  clear every folder, then write them into the instrument
  delete N:S [N:S ...]       delete record slot S of folder N, then write the folders
  restore FILE [N ...]       write folders N (default: all) back from the backup FILE,
                             after printing what they hold now and in FILE
  archive list [FILTERS] [--removed]
                             print archived measurements as read --by-date does, then
                             the instrument; --removed: only those removed from their
                             instrument, then who removed them and when
  archive export FILE [FILTERS] [--extend | --replace]
                             export archived measurements as the by-date view does
  archive import FILE...     add the lines of export files the archive lacks
  archive imports            list the imports: number, time, lines added, file
  archive forget-import N    take import N back
  archive stats              measurements, instruments, folders, first and last date
  archive backup FILE        copy the archive (safe while a console is open)
  archive init               create or update the archive's tables on the server
  archive push               send the readings and changes waiting in the local
                             archive to the server
  archive audit [--from D] [--to D] [--instrument TEXT]
                             every change made to an instrument, oldest first, one per
                             line, tab-separated: time, operator, workstation,
                             instrument, folder number and name, change, detail,
                             records removed, backup file, outcome

Folder numbers N count from 0; record slots S are 0..24.
FILTERS: --from D --to D --folder TEXT --mode pH|mV|pH25 --instrument TEXT
Dates D are YYYY-MM-DD or DD.MM.YYYY; TEXT in an instrument's name or lab name.
Every reading is added to the archive (ORTI415_ARCHIVE, default
~/.local/share/orti415/archive.sqlite) unless --no-archive is given, then sent on
to the lab's server when one is named (--server, ORTI415_SERVER or [Archive] Server=
of orti415.ini); what the server cannot take now waits for the next reading or
"archive push". With a server, archive list, export, stats and audit read the server (the
local file when it cannot be reached, saying so on standard error).

Options:
  --port N                   use port N (still identified) instead of searching 1..63
  --fast                     end each read as soon as its reply is complete instead of
                             always waiting 300 ms
  --no-archive               do not add the reading to the archive
  --trace FILE               append every request and reply to FILE (as ORTI415_TRACE)
  --operator NAME            the name written into exported lines; default: the first
                             operator of orti415.ini, else three blanks
  --server CONNINFO          the lab's PostgreSQL archive server, as a libpq connection
                             string ("postgresql://host/db" or "host=... dbname=...");
                             one carrying a password is refused: use ~/.pgpass, a
                             service file (service=NAME) or certificates (sslmode)
  --help, -h                 this text
  --version                  the program's version
  --port=N, --operator=NAME, --trace=FILE, --server=CONNINFO
                             the same as --port N, --operator NAME, --trace FILE,
                             --server CONNINFO

Output is UTF-8 on standard output; the work log goes to standard error.
Before any folder is erased its block is saved in the program folder's backups/;
a write that fails is tried once more, then the backup's path goes to standard error.
Exit status: 0 success; 1 instrument not found, a folder not read in full, or a
request failed; 2 usage error or input refused before anything was written.

)" + EnvironmentAndFilesHelp(HelpFor::kCommandLine);
}

std::string CliVersion() {
  return std::string("orti415-cli ") + ORTI415_VERSION + "\n";
}

}  // namespace orti::cli
