#pragma once
// What a reading gives the archive: every record of every folder read in
// full, the slot the views never show included (flagged), as measurements.

#include <string>

#include "archive/measurement.h"
#include "model/notepad_model.h"

namespace orti {

// The same bytes in several slots of one reading are copies 0, 1, ... in
// folder and slot order, so that each keeps its own folder name.
Reading ReadingMeasurements(const NotepadModel& model, const std::string& operatorName);

}  // namespace orti
