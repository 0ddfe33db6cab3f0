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
// The instrument puts its error code in the data byte after the function code;
// its low digit selects the device error text.
constexpr size_t kErrorCodePosition = 6;

// What the work log calls the requests of one kind of write.
struct StepTexts {
  const char* header;
  const char* records;
  bool headerLogsOk;  // a restore logs every part it put back
};

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

bool AllErased(const uint8_t* bytes, size_t count) {
  return std::all_of(bytes, bytes + count, [](uint8_t b) { return b == 0xFF; });
}

// Erase, then every part of `bytes` (header, slots 0..25) that is not all
// 0xFF, one request each; nothing more once a request fails.
bool SendBlock(const FolderWrite& w, int i, const uint8_t* bytes, size_t size,
               const StepTexts& steps) {
  struct Part {
    int offset;
    int size;
  };
  std::vector<Part> parts;
  auto add = [&](int offset, int partSize) {
    if (offset + partSize <= static_cast<int>(size) && !AllErased(bytes + offset, partSize)) {
      parts.push_back({offset, partSize});
    }
  };
  add(0, kFolderHeaderSize);
  for (int s = 0; s < kSlotsPerFolder; ++s) add(kFolderHeaderSize + kRecordSize * s, kRecordSize);

  SlotImage image;
  image.fill(0xFF);
  if (size > kFolderHeaderSize) std::memcpy(image.data(), bytes + kFolderHeaderSize, image.size());
  const auto records = BuildRecordFrames(w.model, i, image);

  w.bar.SetMaximumSteps(1 + static_cast<int>(parts.size()));
  w.bar.Advance(1);
  if (!SendLogged(w, BuildEraseFrame(w.model, i), kStepErase)) return false;
  for (const Part& part : parts) {
    const bool header = part.offset == 0;
    const char* step = header ? steps.header : steps.records;
    const std::string frame = header ? BuildHeaderFrame(w.model, i, bytes)
                                     : records[(part.offset - kFolderHeaderSize) / kRecordSize];
    if (!SendLogged(w, frame, step)) return false;
    if (!header || steps.headerLogsOk) w.log.AddLogLine(std::string(step) + kPieceOk);
    w.bar.Advance(1);
  }
  return true;
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

bool WriteFolder(const FolderWrite& w, int i, const FolderBlock& goal) {
  NotepadFolder& folder = w.model.folders[i];
  StepTexts steps{kStepRenamed, kStepRecords, false};
  switch (folder.state) {
    case FolderState::kCreatePending:
      steps.header = kStepNewFolder;
      break;
    case FolderState::kClearPending:
      steps.header = kStepOldName;
      break;
    case FolderState::kRewritePending:
      // The model follows the instrument: the kept records close up as written.
      CompactFolder(folder);
      break;
    case FolderState::kRemovePending:
      break;
    case FolderState::kFree:
    case FolderState::kAsRead:
      return true;
  }
  return SendBlock(w, i, goal.data(), goal.size(), steps);
}

bool WriteBlockBytes(const FolderWrite& w, int i, const std::vector<uint8_t>& bytes) {
  return SendBlock(w, i, bytes.data(), bytes.size(), {kStepRestore, kStepRestore, true});
}

}  // namespace orti
