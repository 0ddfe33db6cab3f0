#pragma once
// One export file imported into the archive, for the menu item and the
// command line alike.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_store.h"

namespace orti {

struct FileImport {
  std::string file;
  std::string failure;              // the file as a whole was refused; nothing imported
  std::vector<std::string> errors;  // lines skipped
  int64_t added = 0;
  int64_t batch = 0;
};

// Throws ArchiveError when the archive fails; file problems are in the result.
FileImport ImportExportFile(ArchiveStore& store, const std::string& file, double now);

// "FILE: добавлено N (импорт M)", or the failure.
std::string ImportSummary(const FileImport& result);

}  // namespace orti
