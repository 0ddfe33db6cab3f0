#pragma once
// A folder's bytes as the instrument holds them: the slot bytes kept beside
// the decoded records, and the 512-byte block the console would write for the
// folder. Whatever changes a folder in memory changes both together, so that
// the block a write leaves is the block the views show.

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/notepad_model.h"

namespace orti {

using FolderBlock = std::array<uint8_t, kFolderBlockBytes>;
using FolderHeader = std::array<uint8_t, kFolderHeaderBytes>;

// The 19 stored bytes of record slot 0..25 inside the folder's slot image.
uint8_t* StoredSlotBytes(NotepadFolder& folder, int slot);
const uint8_t* StoredSlotBytes(const NotepadFolder& folder, int slot);

// The mode a slot's first byte stands for, as the reading decodes it: empty,
// deleted, or pH, pH25 and mV in its two low bits.
uint8_t RecordModeOf(uint8_t firstByte);
inline bool IsRecordMode(uint8_t mode) {
  return mode == kModePh || mode == kModePh25 || mode == kModeMv;
}

// Records of slots 0..24 in a block (or a free slot's header: none), counted
// as the views count them.
int CountBlockRecords(const uint8_t* block, size_t size);

// The slot holds nothing: its mode and its 19 bytes read as erased.
void EmptySlot(NotepadFolder& folder, int slot);
// Every slot, 25 included: a cleared, removed or new folder.
void EmptyAllSlots(NotepadFolder& folder);

// The 18-byte header: the name padded with 0xFF to 16 bytes, then 17 plus the
// sum of those 16 bytes, low byte first.
FolderHeader FolderHeaderBytes(const char* cp1251Name);

// The block the views show for the folder: erased for a free or removed
// folder; otherwise its header, then the records the views show that are not
// marked for deletion, closed up in their order (none while a clear or a
// create is pending), erased slots after them, and slot 25 as kept.
FolderBlock ShownBlock(const NotepadFolder& folder);

// The block a write of the folder leaves, from the bytes it sends: erased for
// a free or removed folder; otherwise its header, then every slot 0..24 whose
// stored bytes hold a record and that is not marked for deletion, closed up,
// and slot 25 as stored.
FolderBlock WrittenBlock(const NotepadFolder& folder);

// The invariant every operation keeps: what would be written is what is shown.
inline bool WritesWhatItShows(const NotepadFolder& folder) {
  return WrittenBlock(folder) == ShownBlock(folder);
}

}  // namespace orti
