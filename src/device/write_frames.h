#pragma once
// The frames that write a folder back into the instrument: erase the block,
// write its header, write its 26 record slots from their stored bytes.

#include <array>
#include <cstdint>
#include <string>

#include "device/memory_map.h"
#include "model/folder_bytes.h"
#include "model/notepad_model.h"

namespace orti {

constexpr int kSlotImageSize = kSlotsPerFolder * kRecordSize;  // 494 bytes

using SlotImage = std::array<uint8_t, kSlotImageSize>;

// Erasing the folder's 512-byte block: every byte reads 0xFF afterwards.
std::string BuildEraseFrame(const NotepadModel& model, int folder);

// Writing the folder's 18-byte header (FolderHeaderBytes of its name, or a
// header saved in a backup).
std::string BuildHeaderFrame(const NotepadModel& model, int folder, const uint8_t* header);

// One frame per slot, each writing that slot's 19 bytes of `image` (slots
// 0..25 of a folder block, in block order).
std::array<std::string, kSlotsPerFolder> BuildRecordFrames(const NotepadModel& model, int folder,
                                                           const SlotImage& image);

}  // namespace orti
