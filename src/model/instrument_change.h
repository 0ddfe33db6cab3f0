#pragma once
// One change the console made to an instrument's notepad, as the audit trail
// keeps it: who, where, which folder, what was removed or changed, the
// backup written before, and how it ended.

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

// The words the archive stores ("delete", "clear-all", "done", ...) and back;
// false for a word it does not know.
const char* ChangeKindWord(ChangeKind kind);
bool ChangeKindFromWord(const std::string& word, ChangeKind& kind);
const char* ChangeOutcomeWord(ChangeOutcome outcome);
bool ChangeOutcomeFromWord(const std::string& word, ChangeOutcome& outcome);

// The same in the console's language, for the history page and the command line.
const char* ChangeKindText(ChangeKind kind);
const char* ChangeOutcomeText(ChangeOutcome outcome);

}  // namespace orti
