#pragma once
// The frames that write a folder back into the instrument: erase the block,
// write its header, write its 26 record slots from their stored bytes.

#include <array>
#include <cstdint>
#include <string>

#include "device/memory_map.h"
#include "model/notepad_model.h"

namespace orti {

constexpr int kSlotImageSize = kSlotsPerFolder * kRecordSize;  // 494 bytes

using SlotImage = std::array<uint8_t, kSlotImageSize>;

// Slots 0..25 of a folder in block order, as they were read.
SlotImage FolderSlotImage(const NotepadFolder& folder);

// Erasing the folder's 512-byte block: every byte reads 0xFF afterwards.
std::string BuildEraseFrame(const NotepadModel& model, int folder);

// The 18-byte header: the name padded with 0xFF to 16 bytes, then 17 plus
// the sum of those 16 bytes, low byte first.
std::array<uint8_t, kFolderHeaderSize> FolderHeaderBytes(const char* cp1251Name);
std::string BuildHeaderFrame(const NotepadModel& model, int folder);

// One frame per slot, each writing that slot's 19 bytes of `image`.
std::array<std::string, kSlotsPerFolder> BuildRecordFrames(const NotepadModel& model, int folder,
                                                           const SlotImage& image);

}  // namespace orti
