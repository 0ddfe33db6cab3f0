#include "device/notepad_reader.h"

#include <cstring>
#include <string>

#include "device/failure_report.h"
#include "device/frame_codec.h"
#include "device/memory_map.h"
#include "device/record_decoder.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"

namespace orti {
namespace {

constexpr uint8_t kHeaderReadSize = kFolderHeaderSize;

void StoreBytes(std::string_view block, size_t count, uint8_t* out) {
  for (size_t i = 0; i < count; ++i) out[i] = ReplyByteAt(block, kReplyDataPosition + 2 * i);
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
  auto request = [&](uint16_t address, uint8_t size, const char* noReply, const char* errorReply,
                     bool reportErrorReply, int folder) {
    if (!link.Exchange(BuildReadRequest(kDefaultDeviceAddress, address, size))) {
      ++failures;
      LogReadError(log, noReply, folder);
      ReportFailedReply(log, link.ReplyBuffer());
      return false;
    }
    if (IsErrorReply(link.ReplyBuffer())) {
      ++failures;
      LogReadError(log, errorReply, folder);
      if (reportErrorReply) ReportFailedReply(log, link.ReplyBuffer());
      return false;
    }
    return true;
  };

  for (int f = 0; f < model.folderCount; ++f) {
    NotepadFolder& folder = model.folders[f];
    const uint16_t base = FolderBase(notepad, f);
    folder.deviceAddress = base;
    if (!request(base, kHeaderReadSize, kErrHeaderNoReply, kErrHeaderErrorReply, true, f)) continue;
    DecodeFolderName(link.ReplyBuffer(), folder.name);
    folder.pending = 0;
    progress.FolderHeaderRead();
    if (folder.name[0] == '\0') {
      folder.state = FolderState::kFree;
      std::strncpy(folder.name, Utf8ToCp1251(kFreeFolderName).c_str(), kFolderNameChars);
      progress.FolderFree();
      continue;
    }
    folder.state = FolderState::kAsRead;

    for (int k = 0; k < kChunkCount; ++k) {
      if (!request(ChunkAddress(notepad, f, k), kChunkSize, kErrChunkNoReply, kErrChunkErrorReply,
                   false, f)) {
        continue;
      }
      const std::string_view block = link.ReplyBuffer();
      // The work area mirrors the notepad: each folder's block at f * 512.
      uint8_t* staging =
          model.replyWorkArea + f * kFolderBlockSize + kFolderHeaderSize + k * kChunkSize;
      StoreBytes(block, kChunkSize, staging);
      std::memset(folder.slotImage[k], 0xFF, 100);
      std::memcpy(folder.slotImage[k], staging, kChunkSize);
      for (int j = 0; j < kSlotsPerChunk; ++j) {
        DecodeRecord(folder.records[kSlotsPerChunk * k + j],
                     block.substr(kReplyDataPosition + 2 * kRecordSize * static_cast<size_t>(j)),
                     model.baseDate, dialogs);
        progress.SlotDecoded();
      }
    }

    if (request(static_cast<uint16_t>(base + kLastSlotOffset), kLastSlotReadSize,
                kErrLastSlotNoReply, kErrLastSlotErrorReply, true, f)) {
      const std::string_view block = link.ReplyBuffer();
      std::memset(folder.slotImage[kChunkCount], 0xFF, 100);
      StoreBytes(block, kRecordSize, folder.slotImage[kChunkCount]);
      DecodeRecord(folder.records[kLastSlot], block.substr(kReplyDataPosition), model.baseDate,
                   dialogs);
      progress.SlotDecoded();
    }
  }
  return failures;
}

}  // namespace orti
