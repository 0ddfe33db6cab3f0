#pragma once
// The records an existing export holds, for its extension: found by value
// (ValueKey), so that a file written with "." and extended under a locale
// with "," (or re-saved by a spreadsheet with trimmed zeros or without
// seconds) never gets its records twice. A line whose values cannot be read
// is matched by its text. One hash lookup a row: extending a file of months
// costs no more than reading it.

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "views/view_layout.h"

namespace orti {

// A record's fields as a line holds them, without the operator.
using FieldViews = std::array<std::string_view, kChoiceColumns>;

class ExportedRecords {
 public:
  // `titles`: the header's field titles; `lines`: the file's lines, header first.
  ExportedRecords(const std::vector<std::string>& titles, const std::vector<std::string>& lines);

  // `fields`: a record's fields as the file would hold them, without the operator.
  bool Holds(const std::vector<std::string>& fields) const;

  // The decimal separator of the file's numbers ('.' or ','); 0 when it shows none.
  char DecimalSeparator() const { return separator_; }
  // Writes the numbers of `fields` with `separator`, as the file has them.
  void UseSeparator(std::vector<std::string>& fields, char separator) const;

 private:
  std::string Key(const FieldViews& fields, bool seconds) const;

  int dateTime_ = -1, mode_ = -1;
  std::vector<int> numbers_;  // temperature, EMF, pH, pH25
  char separator_ = 0;
  std::unordered_set<std::string> keys_;        // lines with seconds
  std::unordered_set<std::string> minuteKeys_;  // lines a spreadsheet left without seconds
  std::unordered_set<std::string> texts_;       // fields of lines whose values cannot be read
};

// The fields joined as a line holds them, each followed by ";".
std::string JoinExportFields(const std::vector<std::string>& fields);

}  // namespace orti
