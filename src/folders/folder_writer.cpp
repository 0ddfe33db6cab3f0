#include "folders/folder_writer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "device/failure_report.h"
#include "device/frame_codec.h"
#include "device/write_frames.h"
#include "folders/folder_compaction.h"

namespace orti {
namespace {

constexpr int kBarStep = 10;
constexpr int kFolderSteps = 3;       // per step of a create, remove or clear
constexpr int kRewriteMaxSteps = 27;  // erase, header, preparation and the records
// The instrument puts its error code in the data byte after the function code;
// its low digit selects the device error text.
constexpr size_t kErrorCodePosition = 6;

// Sends one request and logs what went wrong; true when the instrument accepted it.
bool SendLogged(const FolderWrite& w, const std::string& frame, const char* step) {
  const ExchangeStatus status = w.link.Exchange(frame);
  if (status == ExchangeStatus::kReply) return true;
  ++w.failedRequests;
  if (status == ExchangeStatus::kErrorReply) {
    w.log.AddLogLine(std::string(step) + kPieceErrorReply);
    ReportFailedReply(w.log, w.link.ReplyBuffer());
    w.log.AddLogLine(DeviceErrorText(BlockChar(w.link.Reply(), kErrorCodePosition)));
    return false;
  }
  w.log.AddLogLine(std::string(step) + kPieceNoReply);
  ReportFailedReply(w.log, w.link.ReplyBuffer());
  return false;
}

// A record write: "OK" is logged for each one carried out.
bool SendRecord(const FolderWrite& w, const std::string& frame, const char* step) {
  if (!SendLogged(w, frame, step)) return false;
  w.log.AddLogLine(std::string(step) + kPieceOk);
  return true;
}

bool IsEmptySlot(const NotepadFolder& folder, int slot) {
  return StoredSlotBytes(folder, slot)[0] == kModeEmpty;
}

void PutHeader(const NotepadFolder& folder, FolderBlock& expected) {
  const auto header = FolderHeaderBytes(folder.name);
  std::copy(header.begin(), header.end(), expected.begin());
}

void PutSlot(const SlotImage& image, int slot, FolderBlock& expected) {
  std::memcpy(expected.data() + kFolderHeaderSize + kRecordSize * slot,
              image.data() + kRecordSize * slot, kRecordSize);
}

bool WriteRecords(const FolderWrite& w, int i, FolderBlock& expected) {
  NotepadFolder& folder = w.model.folders[i];
  CompactFolder(folder);
  const SlotImage image = FolderSlotImage(folder);
  const auto frames = BuildRecordFrames(w.model, i, image);
  bool ok = true;
  for (int s = 0; s < kShownSlots; ++s) {
    if (folder.records[s].deletionMark || IsEmptySlot(folder, s)) continue;
    PutSlot(image, s, expected);
    ok = SendRecord(w, frames[s], kStepRecords) && ok;
    w.bar.Advance(1);
  }
  // The erase also wiped slot 25, which no view shows; put back what the
  // instrument kept there.
  if (!IsEmptySlot(folder, kLastSlot)) {
    PutSlot(image, kLastSlot, expected);
    ok = SendRecord(w, frames[kLastSlot], kStepRecords) && ok;
    w.bar.Advance(1);
  }
  return ok;
}

bool AllErased(const uint8_t* bytes, size_t count) {
  return std::all_of(bytes, bytes + count, [](uint8_t b) { return b == 0xFF; });
}

}  // namespace

void StepBar::Reset() {
  position_ = 0;
  progress_.SetStepBar(position_, maximum_);
}

void StepBar::SetMaximumSteps(int steps) {
  maximum_ = steps * kBarStep;
  progress_.SetStepBar(position_, maximum_);
}

void StepBar::Advance(int steps) {
  position_ += steps * kBarStep;
  if (position_ > maximum_) position_ = maximum_;
  progress_.SetStepBar(position_, maximum_);
}

bool WriteFolder(const FolderWrite& w, int i, FolderBlock& expected) {
  expected.fill(0xFF);
  const NotepadFolder& folder = w.model.folders[i];
  switch (folder.state) {
    case FolderState::kCreatePending:
    case FolderState::kClearPending: {
      const char* step =
          folder.state == FolderState::kCreatePending ? kStepNewFolder : kStepOldName;
      w.bar.Advance(kFolderSteps);
      if (!SendLogged(w, BuildEraseFrame(w.model, i), kStepErase)) return false;
      w.bar.Advance(kFolderSteps);
      PutHeader(folder, expected);
      const bool ok = SendLogged(w, BuildHeaderFrame(w.model, i), step);
      w.bar.Advance(kFolderSteps);
      return ok;
    }
    case FolderState::kRemovePending: {
      w.bar.Advance(kFolderSteps);
      const bool ok = SendLogged(w, BuildEraseFrame(w.model, i), kStepErase);
      w.bar.Advance(kFolderSteps);
      return ok;
    }
    case FolderState::kRewritePending: {
      w.bar.SetMaximumSteps(kRewriteMaxSteps);
      w.bar.Advance(1);
      if (!SendLogged(w, BuildEraseFrame(w.model, i), kStepErase)) return false;
      w.bar.Advance(1);
      // A failed header still leaves the records worth writing.
      PutHeader(folder, expected);
      const bool headerOk = SendLogged(w, BuildHeaderFrame(w.model, i), kStepRenamed);
      w.bar.Advance(1);
      const bool recordsOk = WriteRecords(w, i, expected);
      return headerOk && recordsOk;
    }
    case FolderState::kFree:
    case FolderState::kAsRead:
      break;
  }
  return true;
}

bool WriteBlockBytes(const FolderWrite& w, int i, const std::vector<uint8_t>& bytes) {
  const int notepad = w.model.identity.notepadAddress;
  w.bar.SetMaximumSteps(kRewriteMaxSteps);
  w.bar.Advance(1);
  if (!SendLogged(w, BuildEraseFrame(w.model, i), kStepErase)) return false;
  bool ok = true;
  auto put = [&](int offset, int size) {
    if (offset + size > static_cast<int>(bytes.size())) return;
    const uint8_t* part = bytes.data() + offset;
    if (!AllErased(part, size)) {
      const std::string frame = BuildWriteRequest(
          kDefaultDeviceAddress, static_cast<uint16_t>(FolderBase(notepad, i) + offset), part,
          static_cast<uint8_t>(size));
      ok = SendRecord(w, frame, kStepRestore) && ok;
    }
    w.bar.Advance(1);
  };
  put(0, kFolderHeaderSize);
  for (int s = 0; s < kSlotsPerFolder; ++s) put(kFolderHeaderSize + kRecordSize * s, kRecordSize);
  return ok;
}

}  // namespace orti
