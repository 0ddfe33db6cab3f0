#pragma once
// The change a write of one folder makes, taken before the write from the
// block the instrument holds (as last read or verified) and the block the
// write leaves. One change per folder and write: a folder whose pending
// operations were bundled (a rename and deleted records) is one change whose
// detail names them all.

#include <string>
#include <vector>

#include "model/console_state.h"
#include "model/instrument_change.h"
#include "model/notepad_model.h"

namespace orti {

// A synchronisation's change of `folder`; its clear is `clearKind` (a clear
// of every folder, or of one).
InstrumentChange FolderChange(const NotepadModel& model, const ConsoleState& state, int folder,
                              ChangeKind clearKind, const std::string& backup);

// A restore of `folder`, whose block is `current` now, to the block
// `restored` from the backup file `source`.
InstrumentChange RestoreChange(const NotepadModel& model, const ConsoleState& state, int folder,
                               const uint8_t* current, const uint8_t* restored,
                               const std::string& source, const std::string& backup);

// The records (slots 0..25) `before` holds that `after` does not, each as
// often as it is missing, in slot order.
std::vector<std::vector<uint8_t>> RemovedRecords(const uint8_t* before, const uint8_t* after);

}  // namespace orti
