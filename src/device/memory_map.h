#pragma once
// Where the notepad lives in the instrument's memory: a run of 512-byte folder
// blocks from the notepad address up to 64000, each an 18-byte header and 26
// record slots of 19 bytes.

#include <cstdint>

#include "model/notepad_model.h"

namespace orti {

constexpr int kNotepadEnd = 64000;
constexpr int kFolderBlockSize = kFolderBlockBytes;
constexpr int kFolderHeaderSize = kFolderHeaderBytes;
constexpr int kChunkCount = kShownSlots / kSlotsPerChunk;  // chunks of slots 0..24
constexpr int kChunkSize = kSlotsPerChunk * kRecordSize;   // 95 bytes
constexpr int kLastSlot = kSlotsPerFolder - 1;
constexpr int kLastSlotOffset = kFolderHeaderSize + kLastSlot * kRecordSize;  // 493
constexpr int kLastSlotReadSize = 38;  // what the console asks for at slot 25

// Folder blocks from `notepadAddress` to the end of the notepad; 0 when the
// address lies at or beyond the end.
inline int FolderBlockCount(int notepadAddress) {
  int count = (kNotepadEnd - notepadAddress) / kFolderBlockSize;
  return count > 0 ? count : 0;
}

// Addresses are 16 bits on the line.
inline uint16_t FolderBase(int notepadAddress, int folder) {
  return static_cast<uint16_t>(notepadAddress + kFolderBlockSize * folder);
}

inline uint16_t SlotAddress(int notepadAddress, int folder, int slot) {
  return static_cast<uint16_t>(FolderBase(notepadAddress, folder) + kFolderHeaderSize +
                               kRecordSize * slot);
}

inline uint16_t ChunkAddress(int notepadAddress, int folder, int chunk) {
  return static_cast<uint16_t>(FolderBase(notepadAddress, folder) + kFolderHeaderSize +
                               kChunkSize * chunk);
}

}  // namespace orti
