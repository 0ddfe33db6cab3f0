#pragma once
// Where the changes the console makes to an instrument are recorded: the
// audit trail. The archive implements it; the folders layer only hands the
// changes over.

#include <vector>

#include "model/instrument_change.h"

namespace orti {

class ChangeSink {
 public:
  virtual ~ChangeSink() = default;
  // The changes of one write, together. Must not fail the write: faults are
  // reported by the sink itself. The sink adds the workstation and each
  // change's origin.
  virtual void AddChanges(const std::vector<InstrumentChange>& changes) = 0;
};

}  // namespace orti
