#pragma once
// Export files imported into the archive, for the menu item and the command
// line alike.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_store.h"

namespace orti {

// Refused lines beyond these are only counted: a file of 200 000 bad lines
// must not flood the work log.
constexpr size_t kRefusalsShownAtMost = 100;

struct FileImport {
  std::string file;
  std::string failure;              // the file as a whole was refused; nothing imported
  std::vector<std::string> errors;  // lines refused
  bool utf8 = false;                // read as UTF-8
  int64_t added = 0;
  int64_t batch = 0;  // 0: nothing added, so no import to take back
};

// Throws ArchiveError when the archive fails; file problems are in the result.
FileImport ImportExportFile(ArchiveStore& store, const std::string& file, double now);

// "FILE: добавлено N (импорт M)", or the failure.
std::string ImportSummary(const FileImport& result);

// The refused lines of all the files, "FILE: строка N: reason", at most
// kRefusalsShownAtMost of them, then one line counting the rest.
std::vector<std::string> RefusalLines(const std::vector<FileImport>& results);

}  // namespace orti
