#include "model/folder_bytes.h"

#include <cstring>

namespace orti {
namespace {

constexpr uint8_t kErased = 0xFF;
constexpr uint8_t kModeBits = 3;
constexpr int kLastSlot = kSlotsPerFolder - 1;
constexpr int kLastChunk = kShownSlots / kSlotsPerChunk;  // holds slot 25 alone

uint8_t* SlotIn(FolderBlock& block, int slot) {
  return block.data() + kFolderHeaderBytes + kRecordSize * slot;
}

bool InUse(FolderState state) {
  return state != FolderState::kFree && state != FolderState::kRemovePending;
}

bool ShowsRecords(FolderState state) {
  return state == FolderState::kAsRead || state == FolderState::kRewritePending;
}

// The header of the folder's name, the slots `kept` picks from 0..24 closed
// up, and slot 25 when `withLastSlot`.
template <typename Kept>
FolderBlock BuildBlock(const NotepadFolder& folder, Kept kept, bool withLastSlot) {
  FolderBlock block;
  block.fill(kErased);
  if (!InUse(folder.state)) return block;
  const FolderHeader header = FolderHeaderBytes(folder.name);
  std::memcpy(block.data(), header.data(), header.size());
  int next = 0;
  for (int s = 0; s < kShownSlots; ++s) {
    if (folder.records[s].deletionMark || !kept(s)) continue;
    std::memcpy(SlotIn(block, next++), StoredSlotBytes(folder, s), kRecordSize);
  }
  if (withLastSlot)
    std::memcpy(SlotIn(block, kLastSlot), StoredSlotBytes(folder, kLastSlot), kRecordSize);
  return block;
}

}  // namespace

uint8_t* StoredSlotBytes(NotepadFolder& folder, int slot) {
  if (slot >= kShownSlots) return folder.slotImage[kLastChunk];
  return folder.slotImage[slot / kSlotsPerChunk] + kRecordSize * (slot % kSlotsPerChunk);
}

const uint8_t* StoredSlotBytes(const NotepadFolder& folder, int slot) {
  return StoredSlotBytes(const_cast<NotepadFolder&>(folder), slot);
}

uint8_t RecordModeOf(uint8_t firstByte) {
  if (firstByte == kModeEmpty || firstByte == kModeDeleted) return firstByte;
  return firstByte & kModeBits;
}

int CountBlockRecords(const uint8_t* block, size_t size) {
  int count = 0;
  for (int s = 0; s < kShownSlots; ++s) {
    const size_t at = kFolderHeaderBytes + static_cast<size_t>(kRecordSize) * s;
    if (at < size && IsRecordMode(RecordModeOf(block[at]))) ++count;
  }
  return count;
}

void EmptySlot(NotepadFolder& folder, int slot) {
  NotepadRecord& record = folder.records[slot];
  record.mode = kModeEmpty;
  record.deletionMark = 0;
  for (ViewMark& mark : record.viewMarks) mark = ViewMark::kNone;
  std::memset(StoredSlotBytes(folder, slot), kErased, kRecordSize);
}

void EmptyAllSlots(NotepadFolder& folder) {
  for (int s = 0; s < kSlotsPerFolder; ++s) EmptySlot(folder, s);
}

FolderHeader FolderHeaderBytes(const char* cp1251Name) {
  FolderHeader header{};
  std::memset(header.data(), kErased, kFolderNameChars);
  std::memcpy(header.data(), cp1251Name, strnlen(cp1251Name, kFolderNameChars));
  uint16_t sum = 17;
  for (int i = 0; i < kFolderNameChars; ++i) sum = static_cast<uint16_t>(sum + header[i]);
  header[kFolderNameChars] = static_cast<uint8_t>(sum & 0xFF);
  header[kFolderNameChars + 1] = static_cast<uint8_t>(sum >> 8);
  return header;
}

FolderBlock ShownBlock(const NotepadFolder& folder) {
  const bool shows = ShowsRecords(folder.state);
  return BuildBlock(
      folder, [&](int s) { return shows && IsRecordMode(folder.records[s].mode); }, shows);
}

FolderBlock WrittenBlock(const NotepadFolder& folder) {
  return BuildBlock(
      folder, [&](int s) { return IsRecordMode(RecordModeOf(StoredSlotBytes(folder, s)[0])); },
      true);
}

}  // namespace orti
