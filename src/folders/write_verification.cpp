#include "folders/write_verification.h"

#include "device/failure_report.h"

namespace orti {

std::string FolderLabel(const NotepadModel& model, int folder) {
  return FolderNameUtf8(model.folders[folder]) + " (№ " + std::to_string(folder) + ")";
}

std::string FirstDifference(const FolderBlock& expected, const FolderBlock& read) {
  for (int i = 0; i < kFolderBlockSize; ++i) {
    if (expected[i] == read[i]) continue;
    if (i < kFolderHeaderSize) return "заголовок";
    return "запись " + std::to_string((i - kFolderHeaderSize) / kRecordSize);
  }
  return {};
}

bool VerifyFolder(const FolderWrite& w, int folder, const FolderBlock& expected) {
  const std::string step = kStepVerify + FolderLabel(w.model, folder) + " - ";
  FolderBlock read{};
  if (ReadFolderBlock(w.link, w.model.identity.notepadAddress, folder, read) !=
      ExchangeStatus::kReply) {
    ++w.failedRequests;
    w.log.AddLogLine(step + kPieceNoReply);
    ReportFailedReply(w.log, w.link.ReplyBuffer());
    return false;
  }
  const std::string difference = FirstDifference(expected, read);
  if (difference.empty()) return true;
  ++w.failedRequests;
  w.log.AddLogLine(step + "прочитано не то, что записано: " + difference);
  return false;
}

}  // namespace orti
