#include "views/exported_records.h"

#include <algorithm>

#include "views/value_key.h"
#include "views/view_layout.h"

namespace orti {
namespace {

constexpr const char* kDateTimeTitle = kFolderViewTitles[2];
constexpr const char* kModeTitle = kFolderViewTitles[1];
constexpr int kFirstNumberTitle = 3;  // "T (C)", "ЭДС (мВ)", "pH", "pH25"
constexpr int kNumberFields = 4;

int Position(const std::vector<std::string>& titles, const std::string& title) {
  const auto at = std::find(titles.begin(), titles.end(), title);
  return at == titles.end() ? -1 : static_cast<int>(at - titles.begin());
}

// The first `kChoiceColumns` fields of a line (views into it) and the text
// they span, each field with its ";"; false for a line with fewer fields.
bool RecordFields(std::string_view line, FieldViews& fields, std::string_view& text) {
  size_t pos = 0;
  for (std::string_view& field : fields) {
    const size_t semicolon = line.find(';', pos);
    if (semicolon == std::string_view::npos) return false;
    field = line.substr(pos, semicolon - pos);
    pos = semicolon + 1;
  }
  text = line.substr(0, pos);
  return true;
}

}  // namespace

std::string JoinExportFields(const std::vector<std::string>& fields) {
  std::string text;
  for (const std::string& field : fields) text += field + ";";
  return text;
}

ExportedRecords::ExportedRecords(const std::vector<std::string>& titles,
                                 const std::vector<std::string>& lines)
    : dateTime_(Position(titles, kDateTimeTitle)), mode_(Position(titles, kModeTitle)) {
  for (int k = 0; k < kNumberFields; ++k) {
    numbers_.push_back(Position(titles, kFolderViewTitles[kFirstNumberTitle + k]));
  }
  keys_.reserve(lines.size());
  FieldViews fields;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string_view text;
    if (!RecordFields(lines[i], fields, text)) continue;  // holds no record's fields
    // Equal texts read as equal values: the text is kept only where no value could be read.
    if (std::string key = Key(fields, true); !key.empty()) {
      keys_.insert(std::move(key));
    } else if (std::string minute = Key(fields, false); !minute.empty()) {
      minuteKeys_.insert(std::move(minute));
    } else {
      texts_.insert(std::string(text));
    }
    for (int n : numbers_) {
      if (separator_) break;
      if (n < 0) continue;
      const std::string_view number = fields[static_cast<size_t>(n)];
      if (number.find(',') != std::string_view::npos) separator_ = ',';
      if (number.find('.') != std::string_view::npos) separator_ = '.';
    }
  }
}

std::string ExportedRecords::Key(const FieldViews& fields, bool seconds) const {
  if (dateTime_ < 0 || mode_ < 0 || std::count(numbers_.begin(), numbers_.end(), -1) > 0) {
    return {};
  }
  auto field = [&fields](int k) { return fields[static_cast<size_t>(k)]; };
  return ValueKey({field(dateTime_), field(mode_), field(numbers_[0]), field(numbers_[1]),
                   field(numbers_[2]), field(numbers_[3])},
                  {true, seconds});
}

bool ExportedRecords::Holds(const std::vector<std::string>& fields) const {
  if (!texts_.empty() && texts_.count(JoinExportFields(fields)) > 0) return true;
  FieldViews views;
  std::copy_n(fields.begin(), std::min(fields.size(), views.size()), views.begin());
  const std::string key = Key(views, true);
  if (!key.empty() && keys_.count(key) > 0) return true;
  return !minuteKeys_.empty() && minuteKeys_.count(Key(views, false)) > 0;
}

void ExportedRecords::UseSeparator(std::vector<std::string>& fields, char separator) const {
  const char other = separator == ',' ? '.' : ',';
  for (int n : numbers_) {
    if (n < 0) continue;
    std::replace(fields[static_cast<size_t>(n)].begin(), fields[static_cast<size_t>(n)].end(),
                 other, separator);
  }
}

}  // namespace orti
