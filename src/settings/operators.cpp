#include "settings/operators.h"

#include <algorithm>

#include "platform/cp1251.h"
#include "platform/text_case.h"
#include "platform/utf8.h"
#include "settings/file_error.h"

namespace orti {

namespace {
constexpr const char* kUsersSection = "Users";
constexpr const char* kUsersCountKey = "UsersCount";
constexpr const char* kUserKeyPrefix = "User";

bool EqualNoCase(const std::string& a, const std::string& b) {
  return CompareNoCase(a, b) == 0;
}
}  // namespace

std::string OperatorEntry(const OperatorParts& parts) {
  return parts.surname + kNamePartSeparator + parts.firstName + kNamePartSeparator +
         parts.patronymic;
}

OperatorParts SplitOperatorEntry(const std::string& entry) {
  OperatorParts parts;
  std::string* fields[] = {&parts.surname, &parts.firstName, &parts.patronymic};
  size_t field = 0;
  for (char c : entry) {
    if (c == kNamePartSeparator) {
      if (++field == 3) break;
    } else {
      *fields[field] += c;
    }
  }
  return parts;
}

bool AddOperatorEntry(std::vector<std::string>& operators, const std::string& entry) {
  auto at = std::lower_bound(
      operators.begin(), operators.end(), entry,
      [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
  if (at != operators.end() && EqualNoCase(*at, entry)) return false;
  operators.insert(at, entry);
  return true;
}

bool NamePartIsValid(const std::string& part) {
  if (part.empty()) return true;
  const char first = part.front();
  if (first == '=' || first == '+' || first == '-' || first == '@') return false;
  for (size_t i = 0; i < part.size(); ++i) {
    const auto c = static_cast<unsigned char>(part[i]);
    if (c == kNamePartSeparator || c == ';' || c < 0x20 || c == 0x7F) return false;
    // U+0080 … U+009F, the second set of control characters
    if (c == 0xC2 && i + 1 < part.size() && static_cast<unsigned char>(part[i + 1]) < 0xA0) {
      return false;
    }
  }
  bool lossless = false;
  Utf8ToCp1251(part, &lossless);
  return lossless;
}

bool OperatorNameIsValid(const OperatorParts& parts) {
  return NamePartIsValid(parts.surname) && NamePartIsValid(parts.firstName) &&
         NamePartIsValid(parts.patronymic) &&
         CharacterCount(OperatorEntry(parts)) <= kMaxOperatorNameChars;
}

std::string TrimNamePart(const std::string& part) {
  size_t begin = 0;
  size_t end = part.size();
  while (begin < end && (part[begin] == ' ' || part[begin] == '\t')) ++begin;
  while (end > begin && (part[end - 1] == ' ' || part[end - 1] == '\t')) --end;
  return part.substr(begin, end - begin);
}

bool OperatorEntryIsValid(const std::string& entry) {
  if (std::count(entry.begin(), entry.end(), kNamePartSeparator) > 2) return false;
  const OperatorParts parts = SplitOperatorEntry(entry);
  if (!OperatorNameIsValid(parts)) return false;
  bool any = false;
  for (const std::string* part : {&parts.surname, &parts.firstName, &parts.patronymic}) {
    if (TrimNamePart(*part) != *part) return false;
    any = any || !part->empty();
  }
  return any;
}

namespace {
// The text a grid cell shows for a part of a refused entry: control
// characters as blanks, so that the row stays one line.
std::string Shown(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}
}  // namespace

OperatorTable::OperatorTable() : grid_(3, 2, 1) {
  grid_.SetCell(0, 0, "Фамилия");
  grid_.SetCell(1, 0, "Имя");
  grid_.SetCell(2, 0, "Отчество");
  grid_.SetColWidth(0, 99);
  grid_.SetColWidth(1, 95);
  grid_.SetColWidth(2, 104);
}

void OperatorTable::AppendRow(Row row) {
  if (!rows_.empty()) grid_.SetRowCount(grid_.RowCount() + 1);
  const int last = grid_.RowCount() - 1;
  if (row.valid) {
    grid_.SetCell(0, last, row.parts.surname);
    grid_.SetCell(1, last, row.parts.firstName);
    grid_.SetCell(2, last, row.parts.patronymic);
  } else {
    grid_.SetCell(0, last, kRefusedEntryMark + Shown(row.parts.surname));
    grid_.SetCell(1, last, Shown(row.parts.firstName));
    grid_.SetCell(2, last, Shown(row.parts.patronymic));
  }
  rows_.push_back(std::move(row));
}

void OperatorTable::AppendOperatorRow(const std::string& surname, const std::string& patronymic,
                                      const std::string& firstName) {
  OperatorParts parts{surname, firstName, patronymic};
  std::string entry = OperatorEntry(parts);
  AppendRow({std::move(parts), std::move(entry)});
}

void OperatorTable::RebuildOperators(const std::vector<std::string>& operators) {
  rows_.clear();
  grid_.SetRowCount(1);
  grid_.SetRowCount(2);
  // Each row remembers its entry, so that an entry whose parts do not split
  // back cleanly can still be found for deletion.
  for (const auto& entry : operators) {
    AppendRow({SplitOperatorEntry(entry), entry, OperatorEntryIsValid(entry)});
  }
}

int OperatorTable::ValidCount() const {
  return static_cast<int>(
      std::count_if(rows_.begin(), rows_.end(), [](const Row& r) { return r.valid; }));
}

bool OperatorTable::OperatorIsNew(const std::string& surname, const std::string& patronymic,
                                  const std::string& firstName) const {
  return std::none_of(rows_.begin(), rows_.end(), [&](const Row& row) {
    return row.valid && EqualNoCase(row.parts.surname, surname) &&
           EqualNoCase(row.parts.patronymic, patronymic) &&
           EqualNoCase(row.parts.firstName, firstName);
  });
}

std::string OperatorTable::EntryOfRow(int gridRow) const {
  const int index = gridRow - grid_.FixedRows();
  if (index < 0 || index >= Count()) return {};
  return rows_[index].entry;
}

void LoadOperators(const ProfileText& file, ConsoleState& state, OperatorTable& table,
                   LogSink* log) {
  std::string text;
  std::vector<std::string> entries;  // in the file's order
  if (file.Read(kUsersSection, kUsersCountKey, text)) {
    // A key needs a line of its own: a count beyond the lines finds nothing more.
    const long long count =
        std::min<long long>(ProfileNumber(text), static_cast<long long>(file.LineCount()));
    for (long long i = 0; i < count; ++i) {
      if (!file.Read(kUsersSection, kUserKeyPrefix + std::to_string(i), text)) continue;
      // Parts stored with blanks around them are the same operator without.
      if (std::count(text.begin(), text.end(), kNamePartSeparator) <= 2) {
        OperatorParts parts = SplitOperatorEntry(text);
        for (std::string* part : {&parts.surname, &parts.firstName, &parts.patronymic}) {
          *part = TrimNamePart(*part);
        }
        text = OperatorEntry(parts);
      }
      entries.push_back(text);
    }
  }
  // As adding them one by one would (the first of equal entries stays), but
  // sorted once: thousands of operators load in milliseconds.
  std::vector<std::u16string> keys;
  keys.reserve(entries.size());
  for (const auto& entry : entries) keys.push_back(NoCaseSortKey(entry));
  std::vector<size_t> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  std::vector<bool> kept(entries.size(), false);
  std::vector<std::string> sorted;
  for (size_t n = 0; n < order.size(); ++n) {
    if (n > 0 && keys[order[n]] == keys[order[n - 1]]) continue;
    kept[order[n]] = true;
    sorted.push_back(entries[order[n]]);
  }
  if (state.session.operators.empty()) {
    state.session.operators = std::move(sorted);
  } else {
    for (const auto& entry : sorted) AddOperatorEntry(state.session.operators, entry);
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    if (log && kept[i] && !OperatorEntryIsValid(entries[i])) {
      log->AddLogLine("Недопустимое имя работника в файле настроек: " + Shown(entries[i]));
    }
  }
  table.RebuildOperators(state.session.operators);
}

void WriteOperators(const ConsoleState& state, ProfileText& file) {
  file.Write(kUsersSection, kUsersCountKey, std::to_string(state.session.operators.size()));
  for (size_t i = 0; i < state.session.operators.size(); ++i) {
    file.Write(kUsersSection, kUserKeyPrefix + std::to_string(i), state.session.operators[i]);
  }
}

bool SaveOperators(const ConsoleState& state, Dialogs& dialogs) {
  const FileResult result =
      EditProfileFile(state.settingsPath, [&](ProfileText& file) { WriteOperators(state, file); });
  if (!result.ok) ReportWriteFailure(dialogs, state.settingsPath, result);
  return result.ok;
}

AddOutcome AddOperator(ConsoleState& state, OperatorTable& table, const OperatorParts& typed,
                       Dialogs& dialogs) {
  AddOutcome outcome;
  const OperatorParts parts{TrimNamePart(typed.surname), TrimNamePart(typed.firstName),
                            TrimNamePart(typed.patronymic)};
  if (parts.surname.empty() || parts.firstName.empty() || parts.patronymic.empty() ||
      !OperatorNameIsValid(parts)) {
    dialogs.ShowMessage(kRefusedNameMessage);
    return outcome;
  }
  // The first operator added to an empty list is the operator of
  // the run, also when the list was emptied by deletions.
  if (table.ValidCount() == 0) {
    state.session.surname = parts.surname;
    state.session.firstName = parts.firstName;
    state.session.patronymic = parts.patronymic;
    outcome.registered = true;
  }
  if (table.OperatorIsNew(parts.surname, parts.patronymic, parts.firstName)) {
    AddOperatorEntry(state.session.operators, OperatorEntry(parts));
    table.AppendOperatorRow(parts.surname, parts.patronymic, parts.firstName);
  }
  state.settings.settingsChanged = true;
  outcome.accepted = true;
  return outcome;
}

bool DeleteOperator(ConsoleState& state, OperatorTable& table, int gridRow) {
  const std::string entry = table.EntryOfRow(gridRow);
  if (!entry.empty()) {
    auto at = std::find_if(state.session.operators.begin(), state.session.operators.end(),
                           [&](const std::string& e) { return EqualNoCase(e, entry); });
    if (at != state.session.operators.end()) state.session.operators.erase(at);
  }
  table.RebuildOperators(state.session.operators);
  state.settings.settingsChanged = true;
  return state.session.operators.empty();
}

}  // namespace orti
