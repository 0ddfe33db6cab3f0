#include "device/notepad_reader.h"

#include <cstring>
#include <string>

#include "device/failure_report.h"
#include "device/frame_codec.h"
#include "device/memory_map.h"
#include "device/record_decoder.h"
#include "device/reply_validation.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"

namespace orti {
namespace {

constexpr uint8_t kHeaderReadSize = kFolderHeaderSize;

void StoreBytes(std::string_view frame, size_t count, uint8_t* out) {
  for (size_t i = 0; i < count; ++i) out[i] = ReplyByteAt(frame, kReplyDataPosition + 2 * i);
}

// The digits of slot `j` of a validated read reply (which holds them all).
std::string_view SlotChars(std::string_view frame, size_t j) {
  const size_t at = kReplyDataPosition + kRecordSlotChars * j;
  return at < frame.size() ? frame.substr(at, kRecordSlotChars) : std::string_view();
}

}  // namespace

void DecodeFolderName(std::string_view block, char (&name)[kFolderNameChars + 1]) {
  std::memset(name, 0, sizeof name);
  for (int i = 0; i < kFolderNameChars; ++i) {
    const uint8_t b = ReplyByteAt(block, kReplyDataPosition + 2 * static_cast<size_t>(i));
    if (b == 0xFF || b == 0) break;
    name[i] = static_cast<char>(b);
  }
}

int ReadNotepad(Exchanger& link, NotepadModel& model, double today, LogSink& log,
                ReadProgress& progress, Dialogs& dialogs) {
  model.baseDate = BaseDateFor(today);
  model.readTime = today;
  model.byDate.Clear();
  const int notepad = model.identity.notepadAddress;
  const int blocks = FolderBlockCount(notepad);
  model.folderCount = blocks < kMaxFolders ? blocks : kMaxFolders;
  if (blocks > kMaxFolders) {
    log.AddLogLine("Папок в блокноте " + std::to_string(blocks) + ", прочитаны первые " +
                   std::to_string(kMaxFolders));
  }
  std::memset(model.replyWorkArea, 0xFF, sizeof model.replyWorkArea);
  progress.Start(model.folderCount);

  int failures = 0;
  // True with the reply frame when the instrument answered the request itself.
  auto request = [&](uint16_t address, uint8_t size, const char* noReply, const char* errorReply,
                     bool reportErrorReply, int folder) {
    const ExchangeStatus status =
        link.Exchange(BuildReadRequest(kDefaultDeviceAddress, address, size));
    if (status == ExchangeStatus::kReply) return true;
    ++failures;
    if (status == ExchangeStatus::kErrorReply) {
      LogReadError(log, errorReply, folder);
      if (reportErrorReply) ReportFailedReply(log, link.ReplyBuffer());
    } else {
      LogReadError(log, noReply, folder);
      ReportFailedReply(log, link.ReplyBuffer());
    }
    return false;
  };

  for (int f = 0; f < model.folderCount; ++f) {
    NotepadFolder& folder = model.folders[f];
    const uint16_t base = FolderBase(notepad, f);
    folder.deviceAddress = base;
    folder.readInFull = false;
    if (!request(base, kHeaderReadSize, kErrHeaderNoReply, kErrHeaderErrorReply, true, f)) continue;
    DecodeFolderName(link.Reply(), folder.name);
    StoreBytes(link.Reply(), kFolderHeaderSize, folder.knownBlock);
    folder.pending = 0;
    progress.FolderHeaderRead();
    if (folder.name[0] == '\0') {
      MakeFree(folder);
      folder.readInFull = true;
      progress.FolderFree();
      continue;
    }
    folder.state = FolderState::kAsRead;

    bool complete = true;
    for (int k = 0; k < kChunkCount; ++k) {
      if (!request(ChunkAddress(notepad, f, k), kChunkSize, kErrChunkNoReply, kErrChunkErrorReply,
                   false, f)) {
        complete = false;
        continue;
      }
      const std::string_view frame = link.Reply();
      // The work area mirrors the notepad: each folder's block at f * 512.
      uint8_t* staging =
          model.replyWorkArea + f * kFolderBlockSize + kFolderHeaderSize + k * kChunkSize;
      StoreBytes(frame, kChunkSize, staging);
      std::memcpy(folder.knownBlock + kFolderHeaderSize + k * kChunkSize, staging, kChunkSize);
      std::memset(folder.slotImage[k], 0xFF, kSlotImageChunkBytes);
      std::memcpy(folder.slotImage[k], staging, kChunkSize);
      for (int j = 0; j < kSlotsPerChunk; ++j) {
        DecodeRecord(folder.records[kSlotsPerChunk * k + j],
                     SlotChars(frame, static_cast<size_t>(j)), today, dialogs);
        progress.SlotDecoded();
      }
    }

    if (request(static_cast<uint16_t>(base + kLastSlotOffset), kLastSlotReadSize,
                kErrLastSlotNoReply, kErrLastSlotErrorReply, true, f)) {
      const std::string_view frame = link.Reply();
      std::memset(folder.slotImage[kChunkCount], 0xFF, kSlotImageChunkBytes);
      StoreBytes(frame, kRecordSize, folder.slotImage[kChunkCount]);
      std::memcpy(folder.knownBlock + kLastSlotOffset, folder.slotImage[kChunkCount], kRecordSize);
      DecodeRecord(folder.records[kLastSlot], SlotChars(frame, 0), today, dialogs);
      progress.SlotDecoded();
    } else {
      complete = false;
    }
    folder.readInFull = complete;
  }
  return failures;
}

}  // namespace orti
