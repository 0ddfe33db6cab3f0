#pragma once
// Writing folder blocks back from a backup file: the console's menu command,
// orti415-cli restore, and the offer after a write that was cut off.

#include <string>
#include <vector>

#include "device/folder_block.h"
#include "folders/backup_file.h"
#include "folders/synchronisation.h"

namespace orti {

constexpr const char* kRestoreCaption = "Восстановление папок";
constexpr const char* kRestoreMenuText = "Восстановить папки из резервной копии...";
constexpr const char* kIdentityNotice =
    "Название прибора, версия ПО и адрес блокнота совпадают с указанными в копии;\n"
    "два прибора одной модели по ним не различить.";

struct RestorePlan {
  std::string path;
  Backup backup;
  std::vector<size_t> entries;       // the backup's folders to restore
  std::vector<FolderBlock> current;  // each one's block as read just now
  // One line per folder: its name and record count now and in the backup.
  std::string description;
};

// Loads and checks the backup (its instrument and notepad address must be
// the model's) and reads the target folders in full. `folders` empty: every
// folder of the backup. False with the refusal (UTF-8) when any of it fails.
bool PrepareRestore(const SyncContext& context, const std::string& path,
                    const std::vector<int>& folders, RestorePlan& plan, std::string& refusal);

// Saves the targets as they are now in a new backup, writes each block and
// reads it back; the model's folders follow. A folder that fails stays
// pending as a rewrite of the backup's records.
SyncOutcome RunRestore(const SyncContext& context, const RestorePlan& plan, double today);

// The console's command: prepare (a refusal is a message), ask with what
// will be overwritten, then restore. `preface` opens the question.
void RestoreFromBackup(const SyncContext& context, const std::string& path,
                       const std::vector<int>& folders, double today,
                       const std::string& preface = {});

// After a reading: when the newest backup did not complete and the block of
// one of its folders not yet written differs from it, says so and offers
// their restore.
void OfferRestoreAfterCut(const SyncContext& context, double today);

}  // namespace orti
