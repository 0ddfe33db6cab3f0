#include "archive/csv_import.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "model/notepad_model.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "platform/utf8.h"
#include "views/export.h"
#include "views/record_text.h"
#include "views/view_layout.h"

namespace orti {
namespace {

constexpr int kValueFields = kChoiceColumns;  // columns 3..9 of a view
// Far beyond any line an export writes; a longer one is no export line.
constexpr size_t kLongestLine = 512;
// What a refusal quotes of a field.
constexpr size_t kQuotedChars = 24;
constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";

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

std::string Quoted(const std::string& field) {
  if (CharacterCount(field) <= kQuotedChars) return field;
  size_t end = 0;
  for (size_t chars = 0; chars < kQuotedChars; ++chars) {
    end += FirstCharacter(std::string_view(field).substr(end)).size();
  }
  return field.substr(0, end) + "…";
}

bool HasControlCharacter(const std::string& line) {
  for (char c : line) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// A number as an export or a spreadsheet writes it, that a record's single
// precision value can hold.
bool ParseValue(const std::string& text, double& value) {
  return ParseExportNumber(text, value) && std::fabs(value) <= std::numeric_limits<float>::max();
}

uint8_t ModeOf(const std::string& text) {
  for (uint8_t mode : {kModePh, kModePh25, kModeMv}) {
    if (ModeText(mode) == text) return mode;
  }
  return 0;
}

// A line's measurement, or the reason it cannot be read.
std::string ParseLine(const std::string& line, const FieldOrder& order, Measurement& m) {
  if (line.size() > kLongestLine) return "длиннее " + std::to_string(kLongestLine) + " байт";
  if (HasControlCharacter(line)) return "управляющий символ";
  const std::vector<std::string> f = SplitFields(line);
  if (f.size() < kValueFields + 1) return "мало полей";
  ExportDateTime when;
  if (!ParseExportDateTime(f[order.dateTime], when)) return "дата " + Quoted(f[order.dateTime]);
  m.taken = EncodeDate(when.year, when.month, when.day) +
            EncodeTime(when.hour, when.minute, std::max(0, when.second));
  m.mode = ModeOf(f[order.mode]);
  if (m.mode == 0) return "режим " + Quoted(f[order.mode]);
  struct Value {
    int field;
    double* target;
  } values[] = {{kTemperature, &m.temperature}, {kEmf, &m.emf}, {kPh, &m.ph}, {kPh25, &m.ph25}};
  for (const Value& v : values) {
    if (!ParseValue(f[v.field], *v.target)) return "число " + Quoted(f[v.field]);
  }
  m.folderName = f[order.folder];
  if (CharacterCount(m.folderName) > static_cast<size_t>(kFolderNameChars))
    return "имя папки " + Quoted(m.folderName);
  m.operatorName = f[kValueFields];
  m.matchKey = MatchKeyOf(
      ValueFields{f[order.dateTime], f[order.mode], f[kTemperature], f[kEmf], f[kPh], f[kPh25]});
  return {};
}

}  // namespace

ParsedExport ParseExportFile(const std::string& bytes) {
  ParsedExport result;
  // A spreadsheet may save UTF-8, with or without a byte order mark; cp1251
  // text with Cyrillic letters is never well-formed UTF-8.
  std::string text;
  if (bytes.rfind(kUtf8Bom, 0) == 0) {
    text = bytes.substr(3);
    result.utf8 = true;
  } else if (IsValidUtf8(bytes)) {
    text = bytes;
    result.utf8 = std::any_of(text.begin(), text.end(),
                              [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  } else {
    text = Cp1251ToUtf8(bytes);
  }
  std::istringstream in(text);
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
