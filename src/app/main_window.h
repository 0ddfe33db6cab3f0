#pragma once
// The main window: the left bar of speed buttons, the menu and the five pages.
// It owns the notepad model and the console state and wires the widgets to
// the logic below; the logic itself lives in the layers it calls.

#include <QAction>
#include <QButtonGroup>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_dialogs.h"
#include "app/qt_link_hooks.h"
#include "app/qt_sync_progress.h"
#include "app/reading_window_hooks.h"
#include "device/console_services.h"
#include "device/device_link.h"
#include "device/exchanger.h"
#include "folders/synchronisation.h"
#include "model/console_state.h"
#include "model/notepad_model.h"
#include "model/string_grid.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "settings/operators.h"
#include "settings/work_log.h"
#include "views/marks.h"
#include "views/view_layout.h"
#include "workflow/connection.h"
#include "workflow/page_switch.h"
#include "workflow/reading.h"
#include "workflow/startup_sequence.h"

namespace orti {

class ArchiveKeeper;
class QtBackgroundRunner;
class ColumnChoice;
class HistoryPage;
class FoldersPage;
class LogPage;
class SettingsPage;
class TForm6;
class ViewPage;

class TForm1 final : public QMainWindow,
                     private StartupSteps,
                     private PageSwitchHooks,
                     private ViewsHooks,
                     private OfflineView,
                     private DeletionMarkHooks {
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
  // The two views' texts: StringGrid1 shows the first, StringGrid2 the second.
  StringGrid& ByFoldersGrid() { return byFoldersGrid_; }
  StringGrid& ByDateGrid() { return byDateGrid_; }
  // Orders the by-date index; call before FillGrids.
  void SortByDateIndex() override;
  // Rebuilds both views from the model and refreshes them.
  void FillGrids() override;
  // Lets tests answer the message boxes.
  void SetDialogs(Dialogs* dialogs) { activeDialogs_ = dialogs; }
  // Lets tests answer the save dialog of the export.
  void SetFileChooser(FileChooser* files) { activeFiles_ = files; }
  // Prints `rows` of a view (those marked "P"); false when nothing was
  // printed. By default the print dialog and the system printer; tests put a
  // recorder here.
  using ReportPrinter =
      std::function<bool(ViewKind view, const StringGrid& grid, const std::vector<int>& rows)>;
  void SetReportPrinter(ReportPrinter printer) { reportPrinter_ = std::move(printer); }
  // The serial link that synchronisation writes through; null until a link exists.
  void SetLink(Exchanger* link) { link_ = link; }
  // Puts another serial line (a simulated instrument, in its own time) under
  // the console; by default it is the computer's ports in real time.
  void UseSerialLine(std::unique_ptr<SerialPort> port, Clock& clock);
  // What a synchronisation needs; for every command that writes into the instrument.
  SyncContext SyncFor();
  WriteProgress& WriteProgressWindow() { return writeProgress_; }

  QWidget* Panel1;
  QToolButton* SBByFolders;
  QToolButton* SBByDate;
  QToolButton* SBFoldersManagement;
  QToolButton* SBTools;
  QToolButton* SBArchive;
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
  HistoryPage* TabSheetArchive;
  QAction* MConnect;
  QAction* MFoldersManag;
  QAction* MOptions;
  QAction* MQuit;
  QAction* MByFolders;
  QAction* MByDateTime;
  QAction* MArchive;
  QAction* MArchiveImport;
  QAction* MRefresh;
  QAction* MRestore;  // "Восстановить папки из резервной копии..."
  QAction* MAbout;
  QTimer* Timer1;
  TForm6* Form6;
  // The views' widgets under their own names (they live on TabSheet2 and TabSheet3).
  QTableView* StringGrid1;
  QTableView* StringGrid2;
  QToolBar* ToolBar1;
  QToolBar* ToolBar2;
  QMenu* PMByFolders;
  QMenu* PMByDateTime;
  QToolButton* BtnSaveGrid1;
  QToolButton* BtnSaveGrid2;
  QToolButton* BtnPrintGrid1;
  QToolButton* BtnPrintGrid2;
  QPushButton* BtnExecByFolders;
  QPushButton* BtnExecByDateTime;
  QWidget* RemPanel1;
  QWidget* RemPanel2;
  ColumnChoice* ColumnsChoice;

 public slots:
  void SBByFoldersClick();
  void MByFoldersClick();
  void SBByDateClick();
  void MByDateTimeClick();
  void SBFoldersManagementClick();
  void MFoldersManagClick();
  void SBToolsClick();
  void MOptionsClick();
  void SBArchiveClick();
  void MArchiveClick();
  void MArchiveImportClick();
  void SBQuitClick();
  void MQuitClick();
  void MAboutClick();
  void RefreshClick();
  void MRestoreClick();
  // After a reading: a write cut off before it completed is offered back.
  void OfferRestoreAfterCut();
  void Timer1Timer();
  void BtnSaveLogClick();
  void CLBoxFoldersClick();
  void CLBoxDateClick();
  void PMByFoldersPopup();
  void PMByDateTimePopup();
  void BtnSaveOptionsClick();
  // The marks and "Выполнить" of the by-folders view ...
  void BtnSaveGrid1Click();
  void BtnPrintGrid1Click();
  void BtnExecByFoldersClick();
  void PMBFSelAllClick();
  void PMBFUnselAllClick();
  void PMBFToFileClick();
  void PMBFDeleteClick();
  void PMBFRemoveClick();
  void PMBFUnRemoveClick();
  // ... and of the by-date view.
  void BtnSaveGrid2Click();
  void BtnPrintGrid2Click();
  void BtnExecByDateTimeClick();
  void PMBDTSelAllClick();
  void PMBDTUnselAllClick();
  void PMBDTSave2FileClick();
  void PMBDTPrintClick();
  void PMBDTRemoveClick();
  void PMBDTUnRemoveClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildSpeedBar();
  void BuildPages();
  void BuildMenu();
  void BuildViewControls();
  void ConnectMarkCommands();
  QToolButton* AddSpeedButton(const char* name, const char* hint, int glyph, bool grouped);
  Dialogs& Ask() { return activeDialogs_ ? *activeDialogs_ : *dialogs_; }
  void FormResize();

  // StartupSteps
  void ShowFirstPages() override;
  void LoadSettings() override;
  void OpenStartPage(StartPage startPage) override;
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

  // OfflineView
  void DisableDataCommands() override;

  // DeletionMarkHooks
  void MoveCursor(ViewKind view, int row) override;
  void AddJournalRow(const std::string& operation, const std::string& folderName) override;
  void ShowWarningPanels(bool shown) override;

  // The mark commands of one view.
  ViewPage* PageOf(ViewKind view) const;
  StringGrid& GridOf(ViewKind view);
  RowSelection SelectionOf(ViewKind view) const;
  void ToggleViewMark(ViewKind view, ViewMark mark);
  void SelectAllRows(ViewKind view);
  void ResetViewMarks(ViewKind view);
  void Execute(ViewKind view);
  void MarkCurrentRow(ViewKind view, bool forDeletion);
  FileChooser& Files() { return activeFiles_ ? *activeFiles_ : *dialogs_; }

  // What every command works with: built at each use, as the dialogs and the
  // serial line may be replaced.
  ConsoleServices Services();
  ReadingContext ReadingFor();
  void ClearViewsForReading();

  std::unique_ptr<NotepadModel> model_;
  ConsoleState state_;
  OperatorTable operators_;  // SGUsers of the settings page
  WorkLog log_;
  StringGrid totalData_{2, 1, 1};
  StringGrid byFoldersGrid_{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  StringGrid byDateGrid_{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  std::unique_ptr<QtDialogs> dialogs_;
  Dialogs* activeDialogs_ = nullptr;
  FileChooser* activeFiles_ = nullptr;
  ReportPrinter reportPrinter_;
  bool startMaximised_ = false;
  WriteProgress writeProgress_{this};
  // The serial line: the port of the run, the exchange's window hooks and the link.
  SystemClock clock_;
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<QtLinkHooks> linkHooks_;
  std::unique_ptr<FileTrafficTrace> trace_;
  std::unique_ptr<DeviceLink> deviceLink_;
  Exchanger* link_ = nullptr;
  std::unique_ptr<ReadingWindowHooks> readingHooks_;
  std::unique_ptr<ArchiveKeeper> archive_;
  // Declared after the keeper, so that a push still running ends first.
  std::unique_ptr<QtBackgroundRunner> pushRunner_;
};

}  // namespace orti
