#pragma once
// Reading export files back: either view's header, cp1251 (or UTF-8 as a
// spreadsheet may save it), ";" between fields, "," or "." as the decimal
// separator, seconds or none. Each line becomes a measurement to be matched
// by what the instrument stores; a line that no export or spreadsheet would
// write, or whose numbers no record can hold, is refused with its number.

#include <string>
#include <vector>

#include "archive/measurement.h"

namespace orti {

struct ParsedExport {
  std::vector<Measurement> lines;
  std::vector<std::string> errors;  // "строка N: reason", one per refused line, in file order
  bool recognised = false;          // the first line is a view's header
  bool utf8 = false;                // the file was read as UTF-8
};

ParsedExport ParseExportFile(const std::string& bytes);

}  // namespace orti
