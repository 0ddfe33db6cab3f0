#include "folders/change_capture.h"

#include <map>

#include "device/folder_block.h"
#include "folders/backup_file.h"
#include "model/folder_bytes.h"
#include "model/instrument_identity.h"
#include "platform/date_time.h"

namespace orti {
namespace {

using Bytes = std::vector<uint8_t>;

// Each record of a block (a free slot's header: none) with its count.
std::map<Bytes, int> RecordsOf(const uint8_t* block) {
  std::map<Bytes, int> records;
  if (IsFreeHeader(block)) return records;
  for (int s = 0; s < kSlotsPerFolder; ++s) {
    const uint8_t* slot = block + kFolderHeaderBytes + kRecordSize * s;
    if (IsRecordMode(RecordModeOf(slot[0]))) ++records[Bytes(slot, slot + kRecordSize)];
  }
  return records;
}

std::string NameOf(const uint8_t* block) {
  const std::string name = BlockNameUtf8(Bytes(block, block + kFolderHeaderBytes));
  return name.empty() ? kFreeFolderName : name;
}

InstrumentChange Change(const NotepadModel& model, const ConsoleState& state, int folder,
                        const uint8_t* before, const uint8_t* after, const std::string& backup) {
  InstrumentChange change;
  change.at = LocalNow();
  change.operatorName = state.session.operatorFullName;
  change.identity = IdentityBytes(model.identity);
  change.instrument = InstrumentText(model.identity);
  change.folderIndex = folder;
  change.folderName = NameOf(before);
  change.records = RemovedRecords(before, after);
  change.backup = backup;
  return change;
}

std::string Renaming(const std::string& from, const std::string& to) {
  return "«" + from + "» → «" + to + "»";
}

std::string RemovedCount(size_t count) {
  return "удалено записей: " + std::to_string(count);
}

}  // namespace

std::vector<Bytes> RemovedRecords(const uint8_t* before, const uint8_t* after) {
  std::map<Bytes, int> left = RecordsOf(after);
  std::vector<Bytes> removed;
  if (IsFreeHeader(before)) return removed;
  for (int s = 0; s < kSlotsPerFolder; ++s) {
    const uint8_t* slot = before + kFolderHeaderBytes + kRecordSize * s;
    if (!IsRecordMode(RecordModeOf(slot[0]))) continue;
    Bytes record(slot, slot + kRecordSize);
    auto kept = left.find(record);
    if (kept != left.end() && kept->second > 0) {
      --kept->second;
    } else {
      removed.push_back(std::move(record));
    }
  }
  return removed;
}

InstrumentChange FolderChange(const NotepadModel& model, const ConsoleState& state, int folder,
                              ChangeKind clearKind, const std::string& backup) {
  const NotepadFolder& f = model.folders[folder];
  const FolderBlock goal = WrittenBlock(f);
  InstrumentChange change = Change(model, state, folder, f.knownBlock, goal.data(), backup);
  const std::string after = NameOf(goal.data());
  const std::string removed = RemovedCount(change.records.size());
  switch (f.state) {
    case FolderState::kCreatePending:
      change.kind = ChangeKind::kCreate;
      change.folderName = after;
      change.detail = after;
      break;
    case FolderState::kRemovePending:
      change.kind = ChangeKind::kRemove;
      change.detail = removed;
      break;
    case FolderState::kClearPending:
      change.kind = clearKind;
      change.detail = removed;
      break;
    default: {
      // A rewrite: renamed, records deleted, or both.
      const bool renamed = after != change.folderName;
      change.kind = !change.records.empty() || !renamed ? ChangeKind::kDelete : ChangeKind::kRename;
      if (change.kind == ChangeKind::kDelete) change.detail = removed;
      if (renamed) {
        change.detail += (change.detail.empty() ? "" : "; ") + Renaming(change.folderName, after);
      }
    }
  }
  return change;
}

InstrumentChange RestoreChange(const NotepadModel& model, const ConsoleState& state, int folder,
                               const uint8_t* current, const uint8_t* restored,
                               const std::string& source, const std::string& backup) {
  InstrumentChange change = Change(model, state, folder, current, restored, backup);
  change.kind = ChangeKind::kRestore;
  change.detail = "из " + source + ": " + Renaming(change.folderName, NameOf(restored)) + ", " +
                  RemovedCount(change.records.size());
  return change;
}

}  // namespace orti
