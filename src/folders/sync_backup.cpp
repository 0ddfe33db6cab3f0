#include "folders/sync_backup.h"

#include <algorithm>
#include <cstring>

#include "device/folder_block.h"
#include "folders/backup_store.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "platform/system_error.h"

namespace orti {
namespace {

bool AllWriteFailed(const NotepadModel& model, const std::vector<int>& folders) {
  return !folders.empty() && std::all_of(folders.begin(), folders.end(),
                                         [&](int f) { return model.folders[f].writeFailed; });
}

bool HoldsAll(const Backup& backup, const std::vector<int>& folders) {
  return std::all_of(folders.begin(), folders.end(), [&](int f) {
    return std::any_of(backup.folders.begin(), backup.folders.end(),
                       [f](const BackupFolder& b) { return b.folder == f; });
  });
}

}  // namespace

std::string IdentityText(const DeviceIdentity& identity) {
  return Cp1251ToUtf8(std::string(identity.name, strnlen(identity.name, sizeof identity.name))) +
         " " + Cp1251ToUtf8(std::string(identity.version, strnlen(identity.version, 1)));
}

std::vector<uint8_t> SavedBytes(const uint8_t* block) {
  return {block, block + (IsFreeHeader(block) ? kFolderHeaderBytes : kFolderBlockBytes)};
}

BackupFolder BackupFolderOf(int folder, int address, const uint8_t* block, const uint8_t* goal) {
  BackupFolder b;
  b.folder = folder;
  b.address = address;
  b.block = SavedBytes(block);
  b.goal = SavedBytes(goal);
  b.name = BlockNameUtf8(b.block);
  return b;
}

BackupFolder BackupFolderOf(const NotepadModel& model, int folder) {
  const NotepadFolder& f = model.folders[folder];
  return BackupFolderOf(folder, f.deviceAddress, f.knownBlock, WrittenBlock(f).data());
}

bool WriteBackup::Begin(const NotepadModel& model, ConsoleState& state,
                        const std::vector<int>& folders, const std::string& reason,
                        std::string& error) {
  if (!state.session.unfinishedBackups.empty() && AllWriteFailed(model, folders)) {
    Backup earlier;
    if (LoadBackup(state.session.unfinishedBackups.back(), earlier, error) &&
        HoldsAll(earlier, folders)) {
      path_ = state.session.unfinishedBackups.back();
      backup_ = earlier;
      // The blocks stay as before the first attempt; the goals are this write's.
      for (BackupFolder& b : backup_.folders) {
        if (std::find(folders.begin(), folders.end(), b.folder) != folders.end()) {
          b.goal = SavedBytes(WrittenBlock(model.folders[b.folder]).data());
        }
      }
      return SaveChecked(error);
    }
  }
  std::vector<BackupFolder> blocks;
  for (int f : folders) blocks.push_back(BackupFolderOf(model, f));
  return BeginWith(model.identity, state, std::move(blocks), reason, error);
}

bool WriteBackup::BeginWith(const DeviceIdentity& identity, ConsoleState& state,
                            std::vector<BackupFolder> folders, const std::string& reason,
                            std::string& error, bool restorable) {
  int errorNumber = 0;
  const NewBackupName name = NewBackupPath(state.programFolder, errorNumber);
  if (name.path.empty()) {
    error = state.programFolder + kBackupsFolder + ": " + SystemErrorText(errorNumber);
    return false;
  }
  backup_ = Backup{};
  backup_.created = name.created;
  backup_.identity = IdentityText(identity);
  backup_.notepadAddress = identity.notepadAddress;
  backup_.reason = reason;
  backup_.folders = std::move(folders);
  path_ = name.path;
  if (!SaveChecked(error, restorable)) return false;
  state.session.unfinishedBackups.push_back(path_);
  return true;
}

bool WriteBackup::SaveChecked(std::string& error, bool restorable) {
  // A backup that a restore would refuse could not bring the blocks back.
  // The bytes checked are the bytes written.
  const std::string text = FormatBackup(backup_);
  Backup reread;
  if (restorable && !ParseBackup(text, reread, error)) {
    error = path_ + ": " + error;
    return false;
  }
  const FileResult saved = WriteFileAtomically(path_, text);
  if (saved.ok) return true;
  error = path_ + ": " + FileErrorText(saved);
  return false;
}

void WriteBackup::Save() {
  // The blocks are on disk already; a failure here only leaves a flag older.
  SaveBackup(path_, backup_);
}

void WriteBackup::MarkWritten(int folder) {
  for (BackupFolder& b : backup_.folders) {
    if (b.folder == folder) b.written = true;
  }
  Save();
}

void WriteBackup::Settle(const NotepadModel& model, ConsoleState& state) {
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    if (model.folders[f].writeFailed) return;
  }
  for (const std::string& path : state.session.unfinishedBackups) MarkBackupCompleted(path);
  state.session.unfinishedBackups.clear();
  PruneCompletedBackups(state.programFolder);
}

void MarkBackupCompleted(const std::string& path) {
  Backup backup;
  std::string error;
  if (!LoadBackup(path, backup, error) || backup.completed) return;
  backup.completed = true;
  SaveBackup(path, backup);
}

}  // namespace orti
