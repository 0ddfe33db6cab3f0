#pragma once
// What a reading gives the archive: every record of every folder read in
// full, the slot the views never show included (flagged), as measurements.

#include <string>
#include <vector>

#include "archive/measurement.h"
#include "model/notepad_model.h"

namespace orti {

// Date, mode and values as the views write them with a "." separator: the
// same text whether the measurement was read or imported from an export.
std::string MatchKey(const std::string& dateTime, const std::string& mode,
                     const std::string& temperature, const std::string& emf, const std::string& ph,
                     const std::string& ph25);

std::vector<Measurement> ReadingMeasurements(const NotepadModel& model,
                                             const std::string& operatorName);

}  // namespace orti
