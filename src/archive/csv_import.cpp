#include "archive/csv_import.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "archive/reading_measurements.h"
#include "model/notepad_model.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "views/export.h"
#include "views/record_text.h"
#include "views/view_layout.h"

namespace orti {
namespace {

constexpr int kValueFields = kChoiceColumns;  // columns 3..9 of a view

// Where each field sits in a line of the view's export.
struct FieldOrder {
  int dateTime, folder, mode;
};
constexpr FieldOrder kByFolders{2, 0, 1};
constexpr FieldOrder kByDate{0, 1, 2};
constexpr int kTemperature = 3, kEmf = 4, kPh = 5, kPh25 = 6;

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ';')) fields.push_back(field);
  if (!line.empty() && line.back() == ';') fields.push_back("");
  return fields;
}

// The header the view's export writes.
std::string HeaderOf(ViewKind kind) {
  StringGrid view(kViewColumns, kViewFixedRows + 1, kViewFixedRows);
  PrepareViewGrid(kind, view);
  return ExportHeader(view);
}

bool ParseDateTime(const std::string& text, double& value) {
  int d, mo, y, h, mi, s;
  char tail;
  if (std::sscanf(text.c_str(), "%2d.%2d.%4d %2d:%2d:%2d%c", &d, &mo, &y, &h, &mi, &s, &tail) !=
      6) {
    return false;
  }
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || y < 1900) {
    return false;
  }
  value = EncodeDate(y, mo, d) + EncodeTime(h, mi, s);
  return DecodeDateTime(value).day == d;  // 31.04 is refused, not moved to 01.05
}

// The value with "." as separator; false when it is not a number.
bool NormaliseNumber(std::string& text, double& value) {
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0';
}

uint8_t ModeOf(const std::string& text) {
  for (uint8_t mode : {kModePh, kModePh25, kModeMv}) {
    if (ModeText(mode) == text) return mode;
  }
  return 0;
}

// A line's measurement, or the reason it cannot be read.
std::string ParseLine(const std::string& line, const FieldOrder& order, Measurement& m) {
  std::vector<std::string> f = SplitFields(line);
  if (f.size() < kValueFields + 1) return "мало полей";
  if (!ParseDateTime(f[order.dateTime], m.taken)) return "дата " + f[order.dateTime];
  m.mode = ModeOf(f[order.mode]);
  if (m.mode == 0) return "режим " + f[order.mode];
  struct Value {
    int field;
    double* target;
  } values[] = {{kTemperature, &m.temperature}, {kEmf, &m.emf}, {kPh, &m.ph}, {kPh25, &m.ph25}};
  for (const Value& v : values) {
    if (!NormaliseNumber(f[v.field], *v.target)) return "число " + f[v.field];
  }
  m.folderName = f[order.folder];
  m.operatorName = f[kValueFields];
  m.matchKey =
      MatchKey(f[order.dateTime], f[order.mode], f[kTemperature], f[kEmf], f[kPh], f[kPh25]);
  return {};
}

}  // namespace

ParsedExport ParseExportFile(const std::string& cp1251Text) {
  ParsedExport result;
  std::istringstream in(Cp1251ToUtf8(cp1251Text));
  std::string line;
  int number = 0;
  const FieldOrder* order = nullptr;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1) {
      if (line == HeaderOf(ViewKind::kByFolders)) order = &kByFolders;
      if (line == HeaderOf(ViewKind::kByDate)) order = &kByDate;
      if (!order) return result;
      result.recognised = true;
      continue;
    }
    if (line.empty()) continue;
    Measurement m;
    const std::string reason = ParseLine(line, *order, m);
    if (reason.empty()) {
      result.lines.push_back(std::move(m));
    } else {
      result.errors.push_back("строка " + std::to_string(number) + ": " + reason);
    }
  }
  return result;
}

}  // namespace orti
