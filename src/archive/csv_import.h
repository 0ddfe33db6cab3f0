#pragma once
// Reading export files back: either view's header, cp1251, ";" between
// fields, "," or "." as the decimal separator. Each line becomes a
// measurement to be matched by date, mode and values.

#include <string>
#include <vector>

#include "archive/measurement.h"

namespace orti {

struct ParsedExport {
  std::vector<Measurement> lines;
  std::vector<std::string> errors;  // "строка N: reason", in file order
  bool recognised = false;          // the first line is a view's header
};

ParsedExport ParseExportFile(const std::string& cp1251Text);

}  // namespace orti
