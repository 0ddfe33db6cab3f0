#pragma once
// One change the console made (or tried) to an instrument's memory, as the
// audit trail keeps it.

#include <cstdint>
#include <string>
#include <vector>

namespace orti {

enum class ChangeKind { kDelete, kRename, kCreate, kRemove, kClear, kClearAll, kRestore };
enum class ChangeOutcome { kDone, kFailed, kRestored };

struct InstrumentChange {
  int64_t id = 0;      // as stored
  std::string origin;  // NewOrigin(); how a push knows it has sent it
  double at = 0;       // days since 30.12.1899, local time
  std::string operatorName, workstation;
  std::vector<uint8_t> identity;  // the instrument's identity bytes
  std::string instrument;         // shown name (lab name when set, else identity text)
  int folderIndex = -1;
  std::string folderName, detail;
  ChangeKind kind = ChangeKind::kDelete;
  std::vector<std::vector<uint8_t>> records;  // raw bytes, one record each
  std::string backup;
  ChangeOutcome outcome = ChangeOutcome::kDone;
};

}  // namespace orti
