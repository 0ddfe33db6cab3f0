#pragma once
// The requests that write one folder block: erase, header, records, each one
// exchange whose failure is logged; and the block they leave in the
// instrument when every one of them is carried out.

#include <cstdint>
#include <vector>

#include "device/exchanger.h"
#include "device/folder_block.h"
#include "folders/sync_hooks.h"
#include "model/notepad_model.h"
#include "platform/log_sink.h"

namespace orti {

constexpr const char* kStepErase = "Очистка блока в приборе - ";
constexpr const char* kStepNewFolder = "Запись в прибор новой папки - ";
constexpr const char* kStepOldName = "Запись в прибор прежнего имени папки - ";
constexpr const char* kStepRenamed = "Запись в прибор переименованной папки - ";
constexpr const char* kStepRecords = "Запись папки в прибор - ";
constexpr const char* kStepRestore = "Восстановление папки из резервной копии - ";

// The step bar of the progress window, counted in steps of 10.
class StepBar {
 public:
  explicit StepBar(SyncProgress& progress) : progress_(progress) {}
  void Reset();
  void SetMaximumSteps(int steps);
  void Advance(int steps);

 private:
  SyncProgress& progress_;
  int position_ = 0;
  int maximum_ = 100;
};

struct FolderWrite {
  NotepadModel& model;
  Exchanger& link;
  LogSink& log;
  StepBar& bar;
  int& failedRequests;  // each failure adds one and its lines to the log
};

// Writes one pending folder as its state asks: erases its block, then sends
// the header and every record slot of `goal` that is not erased, stopping at
// the first request that fails. `goal` is the folder's WrittenBlock taken
// before the write; a rewrite also closes the folder up in memory, as written.
// False when a request failed.
bool WriteFolder(const FolderWrite& w, int folder, const FolderBlock& goal);

// Erases the folder's block and writes `bytes` (a whole block, or a free
// slot's header) back into it as they are; parts that are all 0xFF are left
// to the erase. Stops at the first request that fails; false then.
bool WriteBlockBytes(const FolderWrite& w, int folder, const std::vector<uint8_t>& bytes);

}  // namespace orti
