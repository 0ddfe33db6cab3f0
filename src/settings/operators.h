#pragma once
// The operators who work with the console: the sorted list the settings file
// stores ("Surname_First_Patronymic" each), and the table of the settings
// page that shows them, one row per operator.

#include <string>
#include <vector>

#include "model/console_state.h"
#include "model/string_grid.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"
#include "platform/profile_file.h"

namespace orti {

constexpr char kNamePartSeparator = '_';
constexpr const char* kRefusedNameMessage = "Заполните поля правильно";
// An operator's full name ends every exported line: longer names are refused.
constexpr size_t kMaxOperatorNameChars = 64;

struct OperatorParts {
  std::string surname;
  std::string firstName;
  std::string patronymic;
};

std::string OperatorEntry(const OperatorParts& parts);

// Each "_" moves on to the next part; text after a third "_" is dropped.
OperatorParts SplitOperatorEntry(const std::string& entry);

// Inserts into the sorted list at its place; false (and nothing added) when an
// entry equal with letter case ignored is already there.
bool AddOperatorEntry(std::vector<std::string>& operators, const std::string& entry);

// A name part may not hold the list's separator "_", the export's field
// separator ";" or a control character, may not begin like a spreadsheet
// formula ("=", "+", "-", "@") and must be writable in cp1251. Empty passes.
bool NamePartIsValid(const std::string& part);

// Every part passes NamePartIsValid, and the full name (the parts joined by
// blanks) holds at most kMaxOperatorNameChars characters.
bool OperatorNameIsValid(const OperatorParts& parts);

// A part with the blanks around it removed (spaces and tabs).
std::string TrimNamePart(const std::string& part);

// An entry as a name typed on the settings page or in the registration
// window could have made it: at most three parts, passing
// OperatorNameIsValid, each free of blanks around it, not all of them empty.
bool OperatorEntryIsValid(const std::string& entry);

// Marks the surname of a refused entry in the settings page's grid.
constexpr const char* kRefusedEntryMark = "\u26A0 ";

// The settings page's grid SGUsers and the three name lists behind its rows.
class OperatorTable {
 public:
  OperatorTable();

  StringGrid& Grid() { return grid_; }
  const StringGrid& Grid() const { return grid_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  const OperatorParts& Operator(int index) const { return rows_[index].parts; }
  // False for an entry from the file that fails OperatorEntryIsValid: it is
  // shown marked, may be deleted, and is never offered for registration.
  bool IsValid(int index) const { return rows_[index].valid; }
  int ValidCount() const;

  // Appends to the lists and writes the last grid row (adding one unless this
  // is the first operator).
  void AppendOperatorRow(const std::string& surname, const std::string& patronymic,
                         const std::string& firstName);
  // Empties the table and fills it again from the sorted list.
  void RebuildOperators(const std::vector<std::string>& operators);
  bool OperatorIsNew(const std::string& surname, const std::string& patronymic,
                     const std::string& firstName) const;

  // The list entry a grid row was made from; empty for a row of no operator.
  std::string EntryOfRow(int gridRow) const;

 private:
  struct Row {
    OperatorParts parts;
    std::string entry;
    bool valid = true;
  };
  void AppendRow(Row row);

  std::vector<Row> rows_;
  StringGrid grid_;
};

// Reads the Users section into the operators list and rebuilds the table.
// Name parts are trimmed of blanks; an entry that fails OperatorEntryIsValid
// stays in the list, and one line of `log` (when given) names it.
void LoadOperators(const ProfileText& file, ConsoleState& state, OperatorTable& table,
                   LogSink* log = nullptr);

// Writes UsersCount and User0 onward into the text; keys beyond the count
// stay in it.
void WriteOperators(const ConsoleState& state, ProfileText& file);

// The operators alone saved into the settings file, in one replace of the
// file; a failure is reported (false) and leaves the file as it was.
bool SaveOperators(const ConsoleState& state, Dialogs& dialogs);

struct AddOutcome {
  bool accepted = false;    // false: refused with a message, nothing changed
  bool registered = false;  // became the operator of the run: its names are to be composed
};

// "Добавить": trims the parts of blanks; refuses empty or unsafe parts with a
// message; otherwise adds the operator unless already listed, and marks the
// settings changed. When the list holds no valid operator (at start or after
// deletions), the added one becomes the operator of the run.
AddOutcome AddOperator(ConsoleState& state, OperatorTable& table, const OperatorParts& parts,
                       Dialogs& dialogs);

// "Удалить": removes the entry of the grid row, if any, rebuilds the table and
// marks the settings changed. Returns true when the list is left empty.
bool DeleteOperator(ConsoleState& state, OperatorTable& table, int gridRow);

}  // namespace orti
