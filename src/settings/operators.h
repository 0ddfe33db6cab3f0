#pragma once
// The operators who work with the console: the sorted list the settings file
// stores ("Surname_First_Patronymic" each), and the table of the settings
// page that shows them, one row per operator.

#include <string>
#include <vector>

#include "model/console_state.h"
#include "model/string_grid.h"
#include "platform/dialogs.h"
#include "platform/profile_file.h"

namespace orti {

constexpr char kNamePartSeparator = '_';
constexpr const char* kRefusedNameMessage = "Заполните поля правильно";

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

// The settings page's grid SGUsers and the three name lists behind its rows.
class OperatorTable {
 public:
  OperatorTable();

  StringGrid& Grid() { return grid_; }
  const StringGrid& Grid() const { return grid_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  const OperatorParts& Operator(int index) const { return rows_[index].parts; }

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

  // Set when the run started with nobody to register: the first operator
  // added becomes the operator of the run.
  bool registerFirstAdded = false;

 private:
  struct Row {
    OperatorParts parts;
    std::string entry;
  };
  void AppendRow(Row row);

  std::vector<Row> rows_;
  StringGrid grid_;
};

// Reads the Users section into the operators list and rebuilds the table.
void LoadOperators(const ProfileText& file, ConsoleState& state, OperatorTable& table);

// Writes UsersCount and User0 onward; keys beyond the count stay in the file.
// Reports a failed write and returns false at the first one.
bool SaveOperators(const ConsoleState& state, Dialogs& dialogs);

struct AddOutcome {
  bool accepted = false;    // false: refused with a message, nothing changed
  bool registered = false;  // became the operator of the run: its names are to be composed
};

// "Добавить": refuses empty or unsafe parts with a message; otherwise adds
// the operator unless already listed, and marks the settings changed.
AddOutcome AddOperator(ConsoleState& state, OperatorTable& table, const OperatorParts& parts,
                       Dialogs& dialogs);

// "Удалить": removes the entry of the grid row, if any, rebuilds the table and
// marks the settings changed. Returns true when the list is left empty.
bool DeleteOperator(ConsoleState& state, OperatorTable& table, int gridRow);

}  // namespace orti
