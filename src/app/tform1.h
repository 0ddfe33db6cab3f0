#pragma once
// The main window: the left bar of speed buttons, the menu and the five pages.
// It owns the notepad model and the console state and wires the widgets to
// the logic below; the logic itself lives in the layers it calls.

#include <QAction>
#include <QButtonGroup>
#include <QMainWindow>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_dialogs.h"
#include "app/write_progress.h"
#include "device/exchanger.h"
#include "folders/synchronisation.h"
#include "model/console_state.h"
#include "model/notepad_model.h"
#include "model/string_grid.h"
#include "settings/work_log.h"
#include "workflow/page_switch.h"
#include "workflow/startup_sequence.h"

namespace orti {

class FoldersPage;
class LogPage;
class SettingsPage;
class TForm6;
class ViewPage;

class TForm1 final : public QMainWindow,
                     private StartupSteps,
                     private PageSwitchHooks,
                     private ViewsHooks {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // The start-up sequence; runs before the window is first displayed.
  StartupResult FormShow(const std::vector<std::string>& arguments);
  // Displays the window in the state the start-up chose.
  void ShowAfterStartup();

  NotepadModel& Model() { return *model_; }
  ConsoleState& State() { return state_; }
  WorkLog& Log() { return log_; }
  Dialogs& DialogsFor() { return *dialogs_; }
  // Lets tests answer the message boxes.
  void SetDialogs(Dialogs* dialogs) { activeDialogs_ = dialogs; }
  // The serial link that synchronisation writes through; null until a link exists.
  void SetLink(Exchanger* link) { link_ = link; }
  // What a synchronisation needs; for every command that writes into the instrument.
  SyncContext SyncFor();
  WriteProgress& WriteProgressWindow() { return writeProgress_; }

  QWidget* Panel1;
  QToolButton* SBByFolders;
  QToolButton* SBByDate;
  QToolButton* SBFoldersManagement;
  QToolButton* SBTools;
  QToolButton* SBRefreshData;
  QToolButton* SBQuit;
  QButtonGroup* SpeedGroup;
  QStackedWidget* PageControl1;
  QTabWidget* PageControl2;
  FoldersPage* TabSheet1;
  ViewPage* TabSheet2;
  ViewPage* TabSheet3;
  QWidget* TabSheet4;
  QWidget* TabSheet5;
  SettingsPage* TabSheet6;
  LogPage* TabSheet7;
  QAction* MConnect;
  QAction* MFoldersManag;
  QAction* MOptions;
  QAction* MQuit;
  QAction* MByFolders;
  QAction* MByDateTime;
  QAction* MRefresh;
  QAction* MAbout;
  QTimer* Timer1;
  TForm6* Form6;

 public slots:
  void SBByFoldersClick();
  void MByFoldersClick();
  void SBByDateClick();
  void MByDateTimeClick();
  void SBFoldersManagementClick();
  void MFoldersManagClick();
  void SBToolsClick();
  void MOptionsClick();
  void SBQuitClick();
  void MQuitClick();
  void MAboutClick();
  void RefreshClick();
  void Timer1Timer();
  void BtnSaveLogClick();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildSpeedBar();
  void BuildPages();
  void BuildMenu();
  QToolButton* AddSpeedButton(const char* name, const char* hint, int glyph, bool grouped);
  Dialogs& Ask() { return activeDialogs_ ? *activeDialogs_ : *dialogs_; }

  // StartupSteps
  void ShowFirstPages() override;
  void LoadSettings() override;
  void OpenStartPage(int startPage) override;
  void PrepareViews() override;
  void RunRegistration() override;
  void AddNewOperator() override;
  void OpenSettingsPage() override;
  ConnectOutcome Connect() override;
  void ApplyWindowState(bool maximised) override;
  void ApplyColumns() override;
  void ReadNotepad() override;
  void ConnectionFailed() override;
  void ProcessMessages() override;

  // PageSwitchHooks
  void ConfirmSaveSettings() override;
  void ConfirmPendingSync() override;
  void OpenPage(int page) override;
  void CloseMainWindow() override;

  // ViewsHooks
  void SortByDateIndex() override;
  void FillGrids() override;
  void ClearMarkColumns() override;

  std::unique_ptr<NotepadModel> model_;
  ConsoleState state_;
  WorkLog log_;
  StringGrid totalData_{2, 1, 1};
  std::unique_ptr<QtDialogs> dialogs_;
  Dialogs* activeDialogs_ = nullptr;
  bool startMaximised_ = false;
  Exchanger* link_ = nullptr;
  WriteProgress writeProgress_{this};
};

// Created with the main window and never shown.
class TForm6 final : public QWidget {
  Q_OBJECT
 public:
  explicit TForm6(QWidget* parent) : QWidget(parent, Qt::Window) { setObjectName("TForm6"); }
};

}  // namespace orti
