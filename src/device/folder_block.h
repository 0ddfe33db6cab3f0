#pragma once
// A folder's whole 512-byte block as the console reads it back after a write
// and before a restore, and the folder of the model loaded from such a block.

#include <array>
#include <cstdint>

#include "device/exchanger.h"
#include "device/memory_map.h"
#include "model/notepad_model.h"
#include "platform/dialogs.h"

namespace orti {

using FolderBlock = std::array<uint8_t, kFolderBlockSize>;

// The header, the five chunks and the last slot, in that order, as a reading
// asks for them; stops at the first request that is not answered and returns
// its status (kReply when all were).
ExchangeStatus ReadFolderBlock(Exchanger& link, int notepadAddress, int folder, FolderBlock& block);

// True when the header names no folder: the block is a free slot.
bool IsFreeHeader(const uint8_t* header);

// The folder as a reading would leave it had it read `block` in full: name,
// state, records, slot image and known block.
void LoadFolderFromBlock(NotepadFolder& folder, const FolderBlock& block, double today,
                         Dialogs& dialogs);

}  // namespace orti
