#pragma once
// Closing up a folder before it is rewritten: the records it keeps move to
// the front in their old order, the rest follow.

#include <cstdint>

#include "model/folder_bytes.h"
#include "model/notepad_model.h"

namespace orti {

// Slots 0..24: first every record of mode 1, 2 or 3 without a deletion mark,
// then every other slot, each in ascending order. A record and its stored
// bytes move together; slot 25 stays where it is.
void CompactFolder(NotepadFolder& folder);

}  // namespace orti
