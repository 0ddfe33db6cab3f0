#pragma once
// Writing the pending folder changes into the instrument: erase the block,
// write the header, write the kept records back from their stored bytes,
// read the block back. The blocks are saved to a backup file first.

#include <string>
#include <vector>

#include "device/console_services.h"
#include "folders/change_sink.h"
#include "folders/sync_hooks.h"

namespace orti {

constexpr const char* kSyncQuestion =
    "Изменения должны быть записаны\nв прибор\nДа - записать прямо сейчас\nНет - не записывать\n";
constexpr const char* kSyncQuestionCaption = "Обновление данных";
constexpr const char* kPendingQuestion =
    "Папки/записи были изменены\nРекомендуется выполнить синхронизацию\nВыполнить?";
constexpr const char* kSyncCaption = "Синхронизация";
constexpr const char* kWritingTitle = "Запись данных";
constexpr const char* kMsgNotReadInFull =
    "Папка прочитана не полностью. Обновите данные и повторите операцию.";
constexpr const char* kMsgBackupFailed =
    "В прибор ничего не записано: не удалось сохранить резервную копию папок\n";
constexpr const char* kMsgNotAsShown =
    "В прибор ничего не записано: записываемое не совпадает с показанным для папок ";
constexpr const char* kLogInstrumentLost = "Прибор не отвечает: запись в прибор остановлена";

struct SyncContext : ConsoleServices {
  SyncProgress& progress;
  ViewsHooks& views;
  ChangeSink* changes = nullptr;  // none: the changes are not recorded
};

struct SyncOutcome {
  bool confirmed = false;  // the operator answered Yes
  bool refused = false;    // nothing was sent: a folder not read in full or not as shown, no backup
  int failedRequests = 0;  // no reply, an error reply, or a block that read back wrong
  std::string backupFile;  // where the blocks were saved before the first erase
  std::vector<int> failedFolders;  // a request of theirs failed
  std::vector<int> leftFolders;    // never tried: the instrument stopped answering
};

// Between the folders of one write: after a folder failed, one identification
// checks that the instrument still answers; once it does not, nothing more is
// sent.
class InstrumentWatch {
 public:
  explicit InstrumentWatch(const ConsoleServices& services) : services_(services) {}
  // False once the instrument has stopped answering.
  bool MayWrite();
  void FolderFailed() { check_ = true; }

 private:
  const ConsoleServices& services_;
  bool check_ = false;
  bool lost_ = false;
};

// The whole synchronisation: the question (unless `ask` is false: the
// operator has said Yes already), the backup, the writes and their read-back,
// the deletion pass, the reset of the pending state and the views rebuilt.
// Does nothing while another synchronisation or a reading runs. Each folder
// written is one change recorded, its clear recorded as `clearKind`.
SyncOutcome SynchroniseFolders(const SyncContext& context, bool ask = true,
                               ChangeKind clearKind = ChangeKind::kClear);

// Asked before leaving a page while a folder is pending; Yes synchronises.
bool ConfirmPendingSync(const SyncContext& context);

class WriteBackup;

// The end of every write into the instrument: the backups settled, the
// progress window closed, the by-date index made again (records moved when
// folders were closed up or restored), the views rebuilt, and a warning that
// names the backup file when anything failed.
void FinishWriting(const SyncContext& context, WriteBackup& backup, const SyncOutcome& outcome);

// Hands the changes of a write to the context's sink, if any.
void RecordChanges(const SyncContext& context, const std::vector<InstrumentChange>& changes);

// Folders 0 .. folderCount-1 whose writing failed, in order.
std::vector<int> WriteFailedFolders(const NotepadModel& model);

// "ИМЯ (№ 3), ..." for the questions and messages.
std::string FolderList(const NotepadModel& model, const std::vector<int>& folders);

// Quitting by the menu or the close box while a folder's writing failed: the
// question names them and the backup file. Yes writes them and allows the
// quit only when that succeeded, No allows it, Cancel does not.
bool ConfirmQuitWithUnwrittenFolders(const SyncContext& context);

}  // namespace orti
