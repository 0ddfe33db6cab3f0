#include "device/folder_block.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "device/frame_codec.h"
#include "device/record_decoder.h"

namespace orti {
namespace {

// The part of the block each read fills, in the order a reading sends them.
struct BlockRead {
  int offset;
  uint8_t size;  // asked for
  int kept;      // bytes of the block it fills
};
constexpr BlockRead kBlockReads[] = {
    {0, kFolderHeaderSize, kFolderHeaderSize},
    {kFolderHeaderSize + 0 * kChunkSize, kChunkSize, kChunkSize},
    {kFolderHeaderSize + 1 * kChunkSize, kChunkSize, kChunkSize},
    {kFolderHeaderSize + 2 * kChunkSize, kChunkSize, kChunkSize},
    {kFolderHeaderSize + 3 * kChunkSize, kChunkSize, kChunkSize},
    {kFolderHeaderSize + 4 * kChunkSize, kChunkSize, kChunkSize},
    // The last slot is asked for as a reading asks, beyond the block's end.
    {kLastSlotOffset, kLastSlotReadSize, kRecordSize},
};

std::string SlotDigits(const uint8_t* bytes) {
  std::string digits;
  for (int i = 0; i < kRecordSize; ++i) {
    uint8_t high = 0, low = 0;
    SplitByte(bytes[i], high, low);
    digits += NibbleToHexDigit(high);
    digits += NibbleToHexDigit(low);
  }
  return digits;
}

}  // namespace

ExchangeStatus ReadFolderBlock(Exchanger& link, int notepadAddress, int folder,
                               FolderBlock& block) {
  const uint16_t base = FolderBase(notepadAddress, folder);
  for (const BlockRead& read : kBlockReads) {
    const ExchangeStatus status = link.Exchange(BuildReadRequest(
        kDefaultDeviceAddress, static_cast<uint16_t>(base + read.offset), read.size));
    if (status != ExchangeStatus::kReply) return status;
    const std::string_view reply = link.Reply();
    for (int i = 0; i < read.kept; ++i) {
      block[read.offset + i] = ReplyByteAt(reply, kReplyDataPosition + 2 * static_cast<size_t>(i));
    }
  }
  return ExchangeStatus::kReply;
}

bool IsFreeHeader(const uint8_t* header) {
  return header[0] == 0xFF || header[0] == 0;
}

std::string BlockRefusal(const uint8_t* block, size_t size) {
  const bool free = IsFreeHeader(block);
  if (size == static_cast<size_t>(kFolderHeaderSize)) {
    if (!free) return "папка без записей";
    const bool unnamed = std::all_of(block, block + kFolderHeaderSize,
                                     [](uint8_t b) { return b == 0xFF || b == 0; });
    return unnamed ? std::string() : "заголовок свободной папки содержит имя";
  }
  if (size != static_cast<size_t>(kFolderBlockSize)) return "неверная длина блока";
  if (free) return "у папки нет имени";
  int end = 0;
  while (end < kFolderNameChars && block[end] != 0xFF && block[end] != 0) ++end;
  if (!std::all_of(block + end, block + kFolderNameChars, [](uint8_t b) { return b == 0xFF; })) {
    return "имя папки не дополнено байтами FF";
  }
  if (!std::equal(block, block + kFolderHeaderSize,
                  FolderHeaderBytes(reinterpret_cast<const char*>(block)).begin())) {
    return "неверная сумма заголовка";
  }
  for (int s = 0; s < kSlotsPerFolder; ++s) {
    const uint8_t* slot = block + kFolderHeaderSize + kRecordSize * s;
    const uint8_t mode = RecordModeOf(slot[0]);
    const bool erased = std::all_of(slot, slot + kRecordSize, [](uint8_t b) { return b == 0xFF; });
    if (mode == kModeEmpty && !erased)
      return "запись " + std::to_string(s) + ": пустая, но не стёрта";
    // The decoder keeps two bits of the mode byte; with neither set, only
    // the deletion mark 0 means anything.
    if (mode == kModeDeleted && slot[0] != kModeDeleted) {
      return "запись " + std::to_string(s) + ": неизвестный режим";
    }
  }
  return {};
}

void LoadFolderFromBlock(NotepadFolder& folder, const FolderBlock& block, double today,
                         Dialogs& dialogs) {
  std::memcpy(folder.knownBlock, block.data(), kFolderBlockSize);
  folder.readInFull = true;
  folder.pending = 0;
  folder.writeFailed = false;
  if (IsFreeHeader(block.data())) {
    MakeFree(folder);
    return;
  }
  std::memset(folder.name, 0, sizeof folder.name);
  for (int i = 0; i < kFolderNameChars && block[i] != 0xFF && block[i] != 0; ++i) {
    folder.name[i] = static_cast<char>(block[i]);
  }
  folder.state = FolderState::kAsRead;
  for (int s = 0; s < kSlotsPerFolder; ++s) {
    const uint8_t* bytes = block.data() + kFolderHeaderSize + kRecordSize * s;
    const int chunk = s / kSlotsPerChunk;
    std::memcpy(folder.slotImage[chunk] + (s % kSlotsPerChunk) * kRecordSize, bytes, kRecordSize);
    DecodeRecord(folder.records[s], SlotDigits(bytes), today, dialogs);
  }
}

}  // namespace orti
