#pragma once

#include "model/notepad_model.h"

namespace orti {

// Orders the used entries of the index by ascending date and time. Entries
// with equal dates keep their order, so records stamped alike stay in the
// folder-then-slot order of the reading.
void SortByDateIndex(ByDateIndex& index);

}  // namespace orti
