#include "cli/archive_options.h"

#include <cstdio>
#include <cstdlib>

#include "model/notepad_model.h"
#include "platform/date_time.h"
#include "views/record_text.h"

namespace orti::cli {
namespace {

struct SubcommandName {
  const char* name;
  ArchiveCommand command;
  bool filters;  // takes --from, --to, --folder, --mode
  int minFiles;  // positional arguments
  int maxFiles;
};
constexpr SubcommandName kSubcommands[] = {
    {"list", ArchiveCommand::kList, true, 0, 0},
    {"export", ArchiveCommand::kExport, true, 1, 1},
    {"import", ArchiveCommand::kImport, false, 1, 1 << 20},
    {"imports", ArchiveCommand::kImports, false, 0, 0},
    {"forget-import", ArchiveCommand::kForgetImport, false, 1, 1},
    {"stats", ArchiveCommand::kStats, false, 0, 0},
    {"backup", ArchiveCommand::kBackup, false, 1, 1},
    {"init", ArchiveCommand::kInit, false, 0, 0},
    {"push", ArchiveCommand::kPush, false, 0, 0},
    {"audit", ArchiveCommand::kAudit, false, 0, 0},
};

bool Fail(std::string& error, const std::string& reason) {
  error = reason;
  return false;
}

// YYYY-MM-DD, or DD.MM.YYYY as the console writes dates.
bool ParseDay(const std::string& text, double& day) {
  int y, m, d;
  char tail;
  const bool read = std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) == 3 ||
                    std::sscanf(text.c_str(), "%2d.%2d.%4d%c", &d, &m, &y, &tail) == 3;
  if (!read || m < 1 || m > 12 || d < 1 || d > 31 || y < 1900) return false;
  day = EncodeDate(y, m, d);
  return DecodeDateTime(day).day == d;
}

bool ParseMode(const std::string& text, uint8_t& mode) {
  for (uint8_t m : {kModePh, kModeMv, kModePh25}) {
    if (ModeText(m) == text) mode = m;
  }
  return mode != 0;
}

}  // namespace

bool ParseArchiveOptions(const std::vector<std::string>& arguments, ArchiveOptions& o,
                         std::string& error) {
  if (arguments.empty()) return Fail(error, "archive needs a subcommand");
  const SubcommandName* sub = nullptr;
  for (const SubcommandName& s : kSubcommands) {
    if (arguments[0] == s.name) sub = &s;
  }
  if (!sub) return Fail(error, "unknown archive subcommand " + arguments[0]);
  o.command = sub->command;
  std::vector<std::string> positional;
  const bool audit = o.command == ArchiveCommand::kAudit;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if ((sub->filters || audit) && (a == "--from" || a == "--to")) {
      double day = 0;
      if (!hasValue || !ParseDay(arguments[++i], day)) {
        return Fail(error, a + " needs YYYY-MM-DD or DD.MM.YYYY");
      }
      if (audit) {
        (a == "--from" ? o.changes.from : o.changes.to) = day;
      } else {
        (a == "--from" ? o.filter.from : o.filter.to) = day;
      }
    } else if ((sub->filters || audit) && a == "--instrument") {
      if (!hasValue) return Fail(error, "--instrument needs a text");
      (audit ? o.changes.instrumentContains : o.filter.instrumentContains) = arguments[++i];
    } else if (o.command == ArchiveCommand::kList && a == "--removed") {
      o.filter.removedOnly = true;
    } else if (sub->filters && a == "--folder") {
      if (!hasValue) return Fail(error, "--folder needs a text");
      o.filter.folderContains = arguments[++i];
    } else if (sub->filters && a == "--mode") {
      if (!hasValue || !ParseMode(arguments[++i], o.filter.mode)) {
        return Fail(error, "--mode needs pH, mV or pH25");
      }
    } else if (o.command == ArchiveCommand::kExport && (a == "--extend" || a == "--replace")) {
      (a == "--extend" ? o.extend : o.replace) = true;
      if (o.extend && o.replace) return Fail(error, "--extend and --replace exclude each other");
    } else if (a.size() > 1 && a[0] == '-') {
      return Fail(error, "unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  const int count = static_cast<int>(positional.size());
  if (count < sub->minFiles || count > sub->maxFiles) {
    return Fail(error, "wrong number of arguments");
  }
  if (o.command == ArchiveCommand::kForgetImport) {
    char* end = nullptr;
    o.batch = std::strtoll(positional[0].c_str(), &end, 10);
    if (positional[0].empty() || *end != '\0' || o.batch <= 0) {
      return Fail(error, "import number expected: " + positional[0]);
    }
  } else {
    o.files = positional;
  }
  return true;
}

}  // namespace orti::cli
