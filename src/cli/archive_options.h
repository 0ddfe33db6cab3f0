#pragma once
// The arguments of `orti415-cli archive SUBCOMMAND ...`.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/measurement.h"

namespace orti::cli {

enum class ArchiveCommand {
  kList,
  kExport,
  kImport,
  kImports,
  kForgetImport,
  kStats,
  kBackup,
  kInit,
  kPush,
  kAudit,
};

struct ArchiveOptions {
  ArchiveCommand command = ArchiveCommand::kList;
  ArchiveFilter filter;
  ChangeFilter changes;            // audit
  std::vector<std::string> files;  // export and backup: one; import: one or more
  bool extend = false, replace = false;
  int64_t batch = 0;
};

bool ParseArchiveOptions(const std::vector<std::string>& arguments, ArchiveOptions& options,
                         std::string& error);

}  // namespace orti::cli
