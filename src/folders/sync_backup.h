#pragma once
// The backup a synchronisation or a restore saves before its first erase: the
// blocks it is about to change, as last read or verified. It is marked
// completed once every one of its folders was written and verified.

#include <string>
#include <vector>

#include "folders/backup_file.h"
#include "model/console_state.h"
#include "model/notepad_model.h"

namespace orti {

constexpr const char* kReasonSync = "Синхронизация";
constexpr const char* kReasonRestore = "Восстановление из ";

// The instrument as a backup names it: its reported name and software version.
std::string IdentityText(const DeviceIdentity& identity);

// A block as a backup keeps it: the whole block, or only the header of a
// free slot (a reading reads no more of it).
std::vector<uint8_t> SavedBytes(const uint8_t* block);

// Folder `folder` at `address` from its block, and the block the write is
// meant to leave.
BackupFolder BackupFolderOf(int folder, int address, const uint8_t* block, const uint8_t* goal);
// The same for a folder of the model as last read or verified, and what its
// write leaves (WrittenBlock).
BackupFolder BackupFolderOf(const NotepadModel& model, int folder);

class WriteBackup {
 public:
  // Saves a new backup of `folders`, or takes the last unfinished backup of
  // the run when `folders` are all folders whose writing failed and it holds
  // them (a retry keeps the blocks they had before the first attempt). False
  // with the reason in `error` (UTF-8) when nothing could be saved.
  bool Begin(const NotepadModel& model, ConsoleState& state, const std::vector<int>& folders,
             const std::string& reason, std::string& error);
  // Saves a new backup of the blocks given. `restorable`: refused unless a
  // restore would accept it (a restore saves the blocks it overwrites
  // whatever they hold).
  bool BeginWith(const DeviceIdentity& identity, ConsoleState& state,
                 std::vector<BackupFolder> folders, const std::string& reason, std::string& error,
                 bool restorable = true);
  // That folder was written and verified; the file says so from now on.
  void MarkWritten(int folder);
  // Once no folder's writing has failed: this and every earlier unfinished
  // backup of the run are completed, and old completed ones are removed.
  void Settle(const NotepadModel& model, ConsoleState& state);

  const std::string& Path() const { return path_; }

 private:
  void Save();
  // Saves the file, when `restorable` only if a restore would accept it;
  // false with the reason.
  bool SaveChecked(std::string& error, bool restorable = true);

  std::string path_;
  Backup backup_;
};

// Marks the backup file completed (its folders were written or restored).
void MarkBackupCompleted(const std::string& path);

}  // namespace orti
