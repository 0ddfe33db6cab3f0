// An export file read back into the archive, as any program may have left
// it: every line is either taken, with a match key and numbers a record can
// hold, or refused once by its number; a header is put before the input half
// the time so that the lines themselves are reached.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "archive/csv_import.h"
#include "fuzz_support.h"
#include "platform/utf8.h"

using orti::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orti;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (size > 0 && data[0] % 2 == 0) {
    bytes =
        "\xC4\xE0\xF2\xE0/\xC2\xF0\xE5\xEC\xFF;\xCF\xE0\xEF\xEA\xE0;\xD0\xE5\xE6\xE8\xEC;T (C);"
        "\xDD\xC4\xD1 (\xEC\xC2);pH;pH25;\xC8\xF1\xEF\xEE\xEB\xED\xE8\xF2\xE5\xEB\xFC\r\n" +
        bytes.substr(1);
  }
  const ParsedExport parsed = ParseExportFile(bytes);
  for (const Measurement& m : parsed.lines) {
    Check(!m.matchKey.minute.empty());
    for (double v : {m.temperature, m.emf, m.ph, m.ph25}) {
      Check(std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max());
    }
    Check(CharacterCount(m.folderName) <= 16);
    for (char c : m.folderName + m.operatorName) Check(static_cast<unsigned char>(c) >= 0x20);
  }
  // One refusal per line, in the order of the lines.
  long previous = 1;
  for (const std::string& e : parsed.errors) {
    Check(e.rfind("строка ", 0) == 0);
    const long number = std::stol(e.substr(std::string("строка ").size()));
    Check(number > previous);
    previous = number;
  }
  return 0;
}
