#pragma once
// The console's in-memory copy of the instrument's notepad. Fixed capacity,
// plain data: nothing is allocated per folder or per record.

#include <cstdint>
#include <string>

#include "model/view_mark.h"

namespace orti {

constexpr int kMaxFolders = 100;
constexpr int kSlotsPerFolder = 26;  // slot 25 is read and kept, never shown
constexpr int kShownSlots = 25;      // views, counts and marks use slots 0..24
constexpr int kFolderNameChars = 16;
// A longer name, typed for a folder or as the default for new ones, is refused with:
constexpr const char* kMsgNameTooLong = "Имя папки не может быть длиннее 16 символов";
constexpr int kSlotImageChunks = 6;  // five chunks of five slots, then slot 25
constexpr int kSlotImageChunkBytes = 110;
constexpr int kFolderBlockBytes = 512;  // the header (18 bytes) and 26 slots of 19
constexpr int kFolderHeaderBytes = 18;  // the name field and its sum
constexpr int kRecordSize = 19;         // one record slot
constexpr int kSlotsPerChunk = 5;       // slots per chunk of the slot image
constexpr int kByDateCapacity = kMaxFolders * kShownSlots;  // every record the notepad can hold
constexpr int kReplyWorkAreaBytes = 51200;
constexpr const char* kFreeFolderName = "<Свободно>";

enum class FolderState : uint8_t {
  kFree = 0,    // the block holds no name
  kAsRead = 1,  // in use, nothing pending
  kClearPending = 2,
  kRewritePending = 3,  // renamed, or records marked for deletion
  kCreatePending = 4,
  kRemovePending = 5,
};

// Mode byte of a record slot.
constexpr uint8_t kModeEmpty = 0xFF;
constexpr uint8_t kModeDeleted = 0;
constexpr uint8_t kModePh = 1;
constexpr uint8_t kModePh25 = 2;
constexpr uint8_t kModeMv = 3;

struct NotepadRecord {
  uint8_t mode = 0;
  uint8_t rawDate[2] = {};
  uint8_t rawTime[2] = {};
  float temperature = 0;
  float emf = 0;
  float ph = 0;
  float ph25 = 0;
  uint8_t extra[2] = {};
  uint16_t dayNumber = 0;
  uint16_t timeUnits = 0;
  int32_t seconds = 0;
  double dateTime = 0;       // days since 30 December 1899
  int32_t deletionMark = 0;  // shown as "D" in both views
  ViewMark viewMarks[kViewKinds] = {};

  bool HoldsRecord() const { return mode != kModeEmpty && mode != kModeDeleted; }
  ViewMark& MarkIn(ViewKind view) { return viewMarks[static_cast<int>(view)]; }
  ViewMark MarkIn(ViewKind view) const { return viewMarks[static_cast<int>(view)]; }
};

struct NotepadFolder {
  char name[kFolderNameChars + 1] = {};  // UTF-8 would not fit 16 Cyrillic letters: cp1251 bytes
  FolderState state = FolderState::kFree;
  NotepadRecord records[kSlotsPerFolder];
  int32_t deviceAddress = 0;
  int32_t pending = 0;
  // Header, every chunk and the last slot (a free folder: its header) were
  // read in the last reading. Only such a folder may be erased or rewritten.
  bool readInFull = false;
  // The folder's block as last read in full or written and verified: what a
  // backup saves before the block is erased. Only valid with `readInFull`.
  uint8_t knownBlock[kFolderBlockBytes] = {};
  // Its writing failed in this run: it stays pending, whatever later questions
  // are answered, until it is written or restored (or a refresh drops it).
  bool writeFailed = false;
  uint8_t slotImage[kSlotImageChunks][kSlotImageChunkBytes] = {};
};

// Records of the notepad in date order; the first entry whose folder is -1
// ends the list.
struct ByDateIndex {
  int32_t folder[kByDateCapacity];
  int32_t record[kByDateCapacity];
  double dateTime[kByDateCapacity];

  ByDateIndex() { Clear(); }
  void Clear();
  int Count() const;
};

struct DeviceIdentity {
  char name[9] = {};  // cp1251 bytes as reported
  char version[2] = {};
  uint8_t extra[2] = {};
  int32_t block[4] = {};
  int32_t notepadAddress = 0;
};

struct NotepadModel {
  NotepadFolder folders[kMaxFolders];
  int32_t folderCount = 0;
  int32_t readAddress = 0;
  int32_t readSize = 0;
  uint8_t replyWorkArea[kReplyWorkAreaBytes] = {};
  ByDateIndex byDate;
  double baseDate = 0;
  double readTime = 0;  // when the last reading started: records are never later
  DeviceIdentity identity;
};

// Fills the by-date index with every stored record of folders in use, slots
// 0..24, in folder-then-slot order (not yet sorted). Records beyond the
// index's capacity are left out; returns how many.
int IndexStoredRecords(NotepadModel& model);

// The folder's name as the operator reads it (UTF-8); a name that lost its
// terminating zero still ends after 16 characters. Control characters show
// as blanks (views, export, print, lists); the stored bytes stay as they are.
std::string FolderNameUtf8(const NotepadFolder& folder);

// A free slot: state kFree under the name "<Свободно>".
void MakeFree(NotepadFolder& folder);

// Takes every "S" and "P" off, in both views; deletion marks stay.
void ClearViewMarks(NotepadModel& model);

// True when any folder 0 .. folderCount-1 has a change not yet written.
bool AnyFolderPending(const NotepadModel& model);

}  // namespace orti
