#pragma once
// Registration at start-up: the operator picks a row of the known operators
// or types a new name; the choice becomes the operator of the run.

#include <array>
#include <string>

#include "model/console_state.h"
#include "model/string_grid.h"
#include "platform/dialogs.h"
#include "settings/operators.h"

namespace orti {

using NewOperatorCells = std::array<std::string, 3>;  // surname, first name, patronymic

// Header, one row per operator in the table's order, then one empty row.
void FillRegistrationGrid(const OperatorTable& table, StringGrid& grid);

// The new-entry flag: any of the three cells holds text.
bool NewEntryTyped(const NewOperatorCells& cells);

// OK: the selected row (its empty parts become one blank each), or, when a
// new entry was typed, the typed parts with the choice 0. A typed name with a
// refused part is answered with the message and changes nothing (false).
bool AcceptRegistration(ConsoleState& state, const StringGrid& users, int selectedRow,
                        bool newEntry, const NewOperatorCells& cells, Dialogs& dialogs);

// Отмена: the choice -1 and empty parts.
void CancelRegistration(ConsoleState& state);

// A newly typed operator joins the list and the table unless already there.
void AddRegisteredOperator(ConsoleState& state, OperatorTable& table);

}  // namespace orti
