#pragma once
// Where the notepad lives in the instrument's 64 KiB memory: 512-byte folder
// blocks from the notepad address up to 64000, each an 18-byte header and 26
// record slots of 19 bytes.

#include <array>
#include <cstddef>
#include <cstdint>

namespace orti::sim {

constexpr size_t kMemorySize = 65536;
constexpr uint32_t kNotepadEnd = 64000;  // exclusive
constexpr uint32_t kFolderBlockSize = 512;
constexpr uint32_t kFolderNameSize = 16;
constexpr uint32_t kFolderHeaderSize = 18;
// The header's 16-bit sum starts from this before the name bytes are added.
constexpr uint16_t kHeaderSumBase = 17;
constexpr uint32_t kRecordSize = 19;
constexpr uint32_t kSlotsPerFolder = 26;
constexpr uint16_t kDefaultNotepadAddress = 12800;
constexpr uint8_t kErased = 0xFF;

using MemoryImage = std::array<uint8_t, kMemorySize>;

constexpr uint32_t FolderCount(uint32_t notepadAddress) {
  return notepadAddress >= kNotepadEnd ? 0 : (kNotepadEnd - notepadAddress) / kFolderBlockSize;
}
constexpr uint32_t FolderBase(uint32_t notepadAddress, uint32_t folder) {
  return notepadAddress + kFolderBlockSize * folder;
}
constexpr uint32_t SlotAddress(uint32_t notepadAddress, uint32_t folder, uint32_t slot) {
  return FolderBase(notepadAddress, folder) + kFolderHeaderSize + kRecordSize * slot;
}

static_assert(kFolderHeaderSize + kRecordSize * kSlotsPerFolder == kFolderBlockSize);

}  // namespace orti::sim
