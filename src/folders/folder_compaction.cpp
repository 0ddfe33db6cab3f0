#include "folders/folder_compaction.h"

#include <array>
#include <cstring>

#include "device/memory_map.h"

namespace orti {

void CompactFolder(NotepadFolder& folder) {
  auto kept = [&folder](int s) {
    const NotepadRecord& r = folder.records[s];
    return r.mode >= kModePh && r.mode <= kModeMv && !r.deletionMark;
  };
  std::array<int, kShownSlots> order{};
  int n = 0;
  for (int s = 0; s < kShownSlots; ++s) {
    if (kept(s)) order[n++] = s;
  }
  for (int s = 0; s < kShownSlots; ++s) {
    if (!kept(s)) order[n++] = s;
  }

  std::array<NotepadRecord, kShownSlots> records;
  std::array<std::array<uint8_t, kRecordSize>, kShownSlots> bytes;
  for (int k = 0; k < kShownSlots; ++k) {
    records[k] = folder.records[order[k]];
    std::memcpy(bytes[k].data(), StoredSlotBytes(folder, order[k]), kRecordSize);
  }
  for (int k = 0; k < kShownSlots; ++k) {
    folder.records[k] = records[k];
    std::memcpy(StoredSlotBytes(folder, k), bytes[k].data(), kRecordSize);
  }
}

}  // namespace orti
