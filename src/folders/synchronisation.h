#pragma once
// Writing the pending folder changes into the instrument: erase the block,
// write the header, write the kept records back from their stored bytes.

#include "device/exchanger.h"
#include "folders/sync_hooks.h"
#include "model/console_state.h"
#include "model/notepad_model.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"

namespace orti {

constexpr const char* kSyncQuestion =
    "Изменения должны быть записаны\nв прибор\nДа - записать прямо сейчас\nНет - не записывать\n";
constexpr const char* kSyncQuestionCaption = "Обновление данных";
constexpr const char* kPendingQuestion =
    "Папки/записи были изменены\nРекомендуется выполнить синхронизацию\nВыполнить?";
constexpr const char* kSyncCaption = "Синхронизация";
constexpr const char* kWritingTitle = "Запись данных";

constexpr const char* kStepErase = "Очистка блока в приборе - ";
constexpr const char* kStepNewFolder = "Запись в прибор новой папки - ";
constexpr const char* kStepOldName = "Запись в прибор прежнего имени папки - ";
constexpr const char* kStepRenamed = "Запись в прибор переименованной папки - ";
constexpr const char* kStepRecords = "Запись папки в прибор - ";

struct SyncContext {
  NotepadModel& model;
  ConsoleState& state;
  Dialogs& dialogs;
  LogSink& log;
  SyncProgress& progress;
  ViewsHooks& views;
  Exchanger& link;
};

struct SyncOutcome {
  bool confirmed = false;  // the operator answered Yes
  int failedRequests = 0;  // no reply or an error reply
};

// The whole synchronisation: the question, the writes, the deletion pass, the
// reset of the pending state and the views rebuilt. Does nothing while
// another synchronisation or a reading runs.
SyncOutcome SynchroniseFolders(const SyncContext& context);

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

// Writes one pending folder as its state asks; false when any request failed
// (each failure adds one to `failedRequests` and its lines to the log).
bool WriteFolder(const SyncContext& context, Exchanger& link, int folder, StepBar& stepBar,
                 int& failedRequests);

// Asked before leaving a page while a folder is pending; Yes synchronises.
bool ConfirmPendingSync(const SyncContext& context);

}  // namespace orti
