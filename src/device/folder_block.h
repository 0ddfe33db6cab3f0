#pragma once
// A folder's whole 512-byte block as the console reads it back after a write
// and before a restore, and the folder of the model loaded from such a block.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/exchanger.h"
#include "device/memory_map.h"
#include "model/folder_bytes.h"
#include "model/notepad_model.h"
#include "platform/dialogs.h"

namespace orti {

// The header, the five chunks and the last slot, in that order, as a reading
// asks for them; stops at the first request that is not answered and returns
// its status (kReply when all were).
ExchangeStatus ReadFolderBlock(Exchanger& link, int notepadAddress, int folder, FolderBlock& block);

// True when the header names no folder: the block is a free slot.
bool IsFreeHeader(const uint8_t* header);

// Why a reading would not take `size` bytes (a free slot's 18-byte header, or
// a whole block of a folder in use) for what the console writes: a free
// header that holds a name, a name not padded with 0xFF, a wrong header sum,
// an empty slot that is not erased, or a mode byte the decoder knows no mode
// for. Empty when it would.
std::string BlockRefusal(const uint8_t* block, size_t size);

// The folder as a reading would leave it had it read `block` in full: name,
// state, records, slot image and known block.
void LoadFolderFromBlock(NotepadFolder& folder, const FolderBlock& block, double today,
                         Dialogs& dialogs);

}  // namespace orti
