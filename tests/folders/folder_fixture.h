#pragma once
// A small notepad, recording doubles of the windows and a decoder of the
// write frames the console sends.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/folder_block.h"
#include "device/memory_map.h"
#include "device/write_frames.h"
#include "folders/folder_compaction.h"
#include "folders/folder_names.h"
#include "folders/folder_page_view.h"
#include "folders/synchronisation.h"
#include "model/string_grid.h"
#include "settings/work_log.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_exchanger.h"
#include "support/temp_dir.h"

namespace orti::test {

constexpr int kNotepad = kNotepadEnd - 4 * kFolderBlockSize;  // four folder blocks
constexpr const char* kWriteRefused = ":0192016C\r\n";

// One write request taken apart.
struct WriteFrame {
  int address = -1;
  int size = -1;
  std::vector<uint8_t> data;
  bool lrcOk = false;
};

inline WriteFrame DecodeWrite(const std::string& frame) {
  WriteFrame w;
  if (frame.size() < 15 || frame[0] != ':' || frame.substr(frame.size() - 2) != "\r\n") return w;
  std::vector<uint8_t> bytes;
  for (size_t i = 1; i + 3 < frame.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(frame.substr(i, 2), nullptr, 16)));
  }
  uint8_t sum = 0;
  for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
  w.lrcOk = sum == 0;
  if (bytes.size() < 6 || bytes[0] != 1 || bytes[1] != 0x12) return w;
  w.address = bytes[2] * 256 + bytes[3];
  w.size = bytes[4];
  w.data.assign(bytes.begin() + 5, bytes.end() - 1);
  return w;
}

inline int Base(int folder) {
  return kNotepad + kFolderBlockSize * folder;
}
inline int SlotAt(int folder, int slot) {
  return Base(folder) + kFolderHeaderSize + kRecordSize * slot;
}

// The 19 bytes a test puts into a slot: mode 1, then bytes that name the
// folder and the slot.
inline std::vector<uint8_t> RecordBytes(int folder, int slot) {
  std::vector<uint8_t> b(kRecordSize);
  b[0] = kModePh;
  for (int k = 1; k < kRecordSize; ++k) b[k] = static_cast<uint8_t>(folder * 40 + slot + k);
  return b;
}

class RecordingProgress final : public SyncProgress {
 public:
  void Open(const std::string& title) override {
    ++opened;
    this->title = title;
    open = true;
  }
  void SetFolderBar(int position, int maximum) override {
    folderPosition = position;
    folderMaximum = maximum;
  }
  void SetStepBar(int position, int maximum) override {
    EXPECT_TRUE(open) << "step bar moved while the window is closed";
    EXPECT_LE(position, maximum);
    stepMaximum = maximum;
  }
  void Close() override {
    ++closed;
    open = false;
  }
  int opened = 0, closed = 0;
  bool open = false;
  std::string title;
  int folderPosition = -1, folderMaximum = -1, stepMaximum = -1;
};

class RecordingViews final : public ViewsHooks {
 public:
  void SortByDateIndex() override { calls.push_back("sort"); }
  void FillGrids() override { calls.push_back("fill"); }
  std::vector<std::string> calls;
};

class FakeFolderPage final : public FolderPageView {
 public:
  int FolderItemCount() const override { return static_cast<int>(items.size()); }
  int SelectedFolder() const override { return selected; }
  void SelectFolder(int index) override { selected = index; }
  void SetFolderItem(int index, const std::string& text) override { items.at(index) = text; }
  void FocusFolderList() override { focus = "list"; }
  std::string FolderNameText() const override { return name; }
  void SetFolderNameText(const std::string& text) override { name = text; }
  void FocusFolderName() override { focus = "name"; }
  void SetFolderButtons(bool r, bool m, bool c) override {
    rename = r;
    remove = m;
    clear = c;
  }
  void ShowJournal() override { journalShown = true; }

  std::vector<std::string> items;
  int selected = -1;
  std::string name;
  std::string focus;
  bool rename = false, remove = false, clear = false, journalShown = false;
};

class FolderFixture : public ::testing::Test {
 protected:
  FolderFixture() {
    state.programFolder = home.Path();
    link.ServeReadsFromMemory();
    model->identity.notepadAddress = kNotepad;
    model->folderCount = FolderBlockCount(kNotepad);
    for (int f = 0; f < model->folderCount; ++f) {
      NotepadFolder& folder = model->folders[f];
      std::memset(folder.slotImage, 0xFF, sizeof folder.slotImage);
      for (auto& r : folder.records) r.mode = kModeEmpty;
      folder.deviceAddress = Base(f);
      MakeFree(f);
    }
  }

  // A free slot read in full; the instrument's block is erased.
  void MakeFree(int f) {
    SetFolderName(model->folders[f], kFreeFolderName);
    model->folders[f].state = FolderState::kFree;
    model->folders[f].readInFull = true;
    std::memset(model->folders[f].knownBlock, 0xFF, kFolderBlockSize);
    for (int i = 0; i < kFolderBlockSize; ++i) link.Memory(Base(f) + i) = 0xFF;
  }
  // A folder in use holding records in `filled`, as read from the instrument.
  void MakeFolder(int f, const std::string& utf8Name, std::vector<int> filled = {}) {
    NotepadFolder& folder = model->folders[f];
    SetFolderName(folder, utf8Name);
    folder.state = FolderState::kAsRead;
    const auto header = FolderHeaderBytes(folder.name);
    std::memcpy(folder.knownBlock, header.data(), kFolderHeaderSize);
    for (int i = 0; i < kFolderHeaderSize; ++i) link.Memory(Base(f) + i) = header[i];
    for (int s : filled) PutRecord(f, s);
  }
  void PutRecord(int f, int s) {
    NotepadFolder& folder = model->folders[f];
    const auto bytes = RecordBytes(f, s);
    std::memcpy(StoredSlotBytes(folder, s), bytes.data(), kRecordSize);
    const int offset = kFolderHeaderSize + kRecordSize * s;
    std::memcpy(folder.knownBlock + offset, bytes.data(), kRecordSize);
    for (int i = 0; i < kRecordSize; ++i) link.Memory(Base(f) + offset + i) = bytes[i];
    folder.records[s].mode = kModePh;
    folder.records[s].dayNumber = static_cast<uint16_t>(100 + s);  // follows the record
  }
  // The instrument's block of folder `f`.
  FolderBlock InstrumentBlock(int f) {
    FolderBlock block{};
    for (int i = 0; i < kFolderBlockSize; ++i) block[i] = link.Memory(Base(f) + i);
    return block;
  }
  void MarkForDeletion(int f, int s) {
    model->folders[f].records[s].deletionMark = 1;
    model->folders[f].state = FolderState::kRewritePending;
    model->folders[f].pending = 1;
  }
  void ReplyOk(int count) {
    for (int i = 0; i < count; ++i) link.Accept();
  }

  std::vector<WriteFrame> Frames() const {
    std::vector<WriteFrame> frames;
    for (const auto& r : link.Writes()) {
      frames.push_back(DecodeWrite(r));
      EXPECT_TRUE(frames.back().lrcOk) << r;
    }
    return frames;
  }
  // Addresses of the frames sent, in order.
  std::vector<int> Addresses() const {
    std::vector<int> a;
    for (const auto& f : Frames()) a.push_back(f.address);
    return a;
  }
  std::vector<std::string> LogLines() const { return log.Lines(); }

  TempDir home;
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  ConsoleState state;
  ScriptedDialogs dialogs;
  WorkLog log;
  RecordingProgress progress;
  RecordingViews views;
  ScriptedExchanger link;
  StringGrid totalData;
  // The fixture's services with the message boxes of `answers`.
  ConsoleServices Services(Dialogs& answers) {
    return {*model, state, totalData, link, log, answers};
  }
  SyncContext sync{Services(dialogs), progress, views};
};

}  // namespace orti::test
