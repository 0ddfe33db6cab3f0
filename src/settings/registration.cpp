#include "settings/registration.h"

namespace orti {

void FillRegistrationGrid(const OperatorTable& table, StringGrid& grid) {
  const StringGrid& users = table.Grid();
  grid.SetColCount(3);
  grid.SetFixedRows(1);
  grid.SetRowCount(1);
  grid.SetRowCount(table.ValidCount() + 2);
  for (int c = 0; c < 3; ++c) grid.SetCell(c, 0, users.Cell(c, 0));
  int row = 1;
  for (int i = 0; i < table.Count(); ++i) {
    if (!table.IsValid(i)) continue;  // a refused entry of the file is never offered
    const OperatorParts& parts = table.Operator(i);
    grid.SetCell(0, row, parts.surname);
    grid.SetCell(1, row, parts.firstName);
    grid.SetCell(2, row, parts.patronymic);
    ++row;
  }
}

bool NewEntryTyped(const NewOperatorCells& cells) {
  return !cells[0].empty() || !cells[1].empty() || !cells[2].empty();
}

bool AcceptRegistration(ConsoleState& state, const StringGrid& users, int selectedRow,
                        bool newEntry, const NewOperatorCells& cells, Dialogs& dialogs) {
  if (newEntry) {
    const OperatorParts typed{TrimNamePart(cells[0]), TrimNamePart(cells[1]),
                              TrimNamePart(cells[2])};
    if (!OperatorNameIsValid(typed)) {
      dialogs.ShowMessage(kRefusedNameMessage);
      return false;
    }
    state.session.surname = typed.surname;
    state.session.firstName = typed.firstName;
    state.session.patronymic = typed.patronymic;
    state.session.registrationResult = 0;
    return true;
  }
  // A row is always selected when the window opens; keep a real row whatever happens.
  const int lastRow = users.RowCount() - 1;
  const int row = selectedRow < users.FixedRows() ? users.FixedRows()
                  : selectedRow > lastRow         ? lastRow
                                                  : selectedRow;
  auto part = [&](int col) {
    const std::string& text = users.Cell(col, row);
    return text.empty() ? std::string(" ") : text;
  };
  state.session.surname = part(0);
  state.session.firstName = part(1);
  state.session.patronymic = part(2);
  state.session.registrationResult = row;
  return true;
}

void CancelRegistration(ConsoleState& state) {
  state.session.registrationResult = -1;
  state.session.surname.clear();
  state.session.firstName.clear();
  state.session.patronymic.clear();
}

void AddRegisteredOperator(ConsoleState& state, OperatorTable& table) {
  if (!table.OperatorIsNew(state.session.surname, state.session.patronymic,
                           state.session.firstName))
    return;
  AddOperatorEntry(
      state.session.operators,
      OperatorEntry({state.session.surname, state.session.firstName, state.session.patronymic}));
  table.AppendOperatorRow(state.session.surname, state.session.patronymic, state.session.firstName);
}

}  // namespace orti
