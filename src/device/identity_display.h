#pragma once
// The instrument's identity as the summary grid of the work-log page shows it.

#include "model/console_state.h"
#include "model/notepad_model.h"
#include "model/string_grid.h"

namespace orti {

// Writes the identity rows into `totalData` (row 0 is its title row) and
// remembers the row count after them, to which a refresh cuts the grid back.
void ShowIdentity(const DeviceIdentity& identity, StringGrid& totalData, ConsoleState& state);

}  // namespace orti
