// An existing export before it is extended, as a spreadsheet or an editor
// may have left it: its lines never hold a line break, and what is appended
// after it always starts a line of its own.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/cp1251.h"
#include "views/export.h"

using orti::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orti;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const ExistingExport file = ReadExistingExport(bytes);
  for (const std::string& line : file.lines) {
    Check(line.find('\r') == std::string::npos && line.find('\n') == std::string::npos);
  }
  const std::string extended = bytes + file.lineEndToAdd;
  Check(extended.empty() || extended.back() == '\n');
  // The lines of the extended file are the same lines: nothing glued, nothing lost.
  Check(ReadExistingExport(extended).lines == file.lines);

  const std::string field = ExportNameField(Cp1251ToUtf8(bytes));
  Check(field.find(';') == std::string::npos);
  Check(field.empty() ||
        (field[0] != '=' && field[0] != '+' && field[0] != '-' && field[0] != '@'));
  return 0;
}
