#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "app/about_box.h"
#include "app/column_choice.h"
#include "app/folders_page.h"
#include "app/glyphs.h"
#include "app/hidden_window.h"
#include "app/history_page.h"
#include "app/log_page.h"
#include "app/qt_background_runner.h"
#include "app/registration_window.h"
#include "app/settings_page.h"
#include "app/view_pages.h"
#include "archive/archive_keeper.h"
#include "archive/archive_path.h"
#include "archive/archive_server.h"
#include "device/port_probe.h"
#include "folders/restore.h"
#include "platform/date_time.h"
#include "platform/port_map.h"
#include "platform/posix_serial_port.h"
#include "platform/program_folder.h"
#include "settings/registration.h"
#include "settings/settings_file.h"
#include "views/by_date_sort.h"
#include "views/fill_grids.h"
#include "views/shown_records.h"

namespace orti {

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent),
      model_(std::make_unique<NotepadModel>()),
      dialogs_(std::make_unique<QtDialogs>(this)),
      archive_(std::make_unique<ArchiveKeeper>(ResolveArchivePath(CurrentArchivePathSources()),
                                               log_, [this]() -> Dialogs& { return Ask(); })),
      pushRunner_(std::make_unique<QtBackgroundRunner>()) {
  archive_->SetRunner(pushRunner_.get());
  setObjectName("TForm1");
  setWindowTitle("Orti-415");
  resize(909, 672);

  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildSpeedBar();
  BuildPages();
  layout->addWidget(Panel1);
  layout->addWidget(PageControl1, 1);
  setCentralWidget(central);
  BuildMenu();
  BuildViewControls();

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(kReplyTimerInterval);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

  Form6 = new TForm6(this);

  linkHooks_ = std::make_unique<QtLinkHooks>(*Timer1, state_, this);
  linkHooks_->SetMessageShower([this](const std::string& text) { Ask().ShowMessage(text); });
  UseSerialLine(std::make_unique<PosixSerialPort>(PortMap(CurrentPortMapSources())), clock_);
  readingHooks_ = std::make_unique<ReadingWindowHooks>(
      this, ReadingWindowHooks::Actions{[this] {
                                          SortByDateIndex();
                                          FillGrids();
                                        },
                                        [this] { ClearViewsForReading(); },
                                        [this] { TabSheet1->FillFolderList(*model_); }});
}

TForm1::~TForm1() {
  // The pages show grids that are members of this window; the widgets go
  // first, so that no view asks a grid for its texts after the grid is gone.
  delete takeCentralWidget();
}

QToolButton* TForm1::AddSpeedButton(const char* name, const char* hint, int glyph, bool grouped) {
  auto* button = new QToolButton(Panel1);
  button->setObjectName(name);
  button->setToolTip(QString::fromUtf8(hint));
  button->setAutoRaise(true);
  button->setIcon(MakeGlyph(static_cast<Glyph>(glyph)));
  button->setIconSize(QSize(28, 28));
  button->setFixedSize(40, 40);
  if (grouped) {
    button->setCheckable(true);
    SpeedGroup->addButton(button);
  }
  Panel1->layout()->addWidget(button);
  return button;
}

void TForm1::BuildSpeedBar() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  auto* bar = new QVBoxLayout(Panel1);
  bar->setContentsMargins(3, 4, 3, 4);
  bar->setSpacing(2);
  SpeedGroup = new QButtonGroup(this);
  SpeedGroup->setExclusive(true);
  SBByFolders = AddSpeedButton("SBByFolders", "Вид - по папкам", int(Glyph::kByFolders), true);
  SBByDate = AddSpeedButton("SBByDate", "Вид - по дате/времени", int(Glyph::kByDate), true);
  SBFoldersManagement =
      AddSpeedButton("SBFoldersManagement", "Управление папками", int(Glyph::kFolders), true);
  SBTools = AddSpeedButton("SBTools", "Настройки", int(Glyph::kTools), true);
  SBArchive = AddSpeedButton("SBArchive", "Архив", int(Glyph::kArchive), true);
  bar->addSpacing(12);
  SBRefreshData =
      AddSpeedButton("SBRefreshData", "Прочитать данные из блокнота", int(Glyph::kRefresh), false);
  SBQuit = AddSpeedButton("SBQuit", "Выход", int(Glyph::kQuit), false);
  bar->addStretch();

  connect(SBByFolders, &QToolButton::clicked, this, &TForm1::SBByFoldersClick);
  connect(SBByDate, &QToolButton::clicked, this, &TForm1::SBByDateClick);
  connect(SBFoldersManagement, &QToolButton::clicked, this, &TForm1::SBFoldersManagementClick);
  connect(SBTools, &QToolButton::clicked, this, &TForm1::SBToolsClick);
  connect(SBArchive, &QToolButton::clicked, this, &TForm1::SBArchiveClick);
  connect(SBRefreshData, &QToolButton::clicked, this, &TForm1::RefreshClick);
  connect(SBQuit, &QToolButton::clicked, this, &TForm1::SBQuitClick);
}

void TForm1::BuildPages() {
  PageControl1 = new QStackedWidget(this);
  PageControl1->setObjectName("PageControl1");
  TabSheet5 = new QWidget(PageControl1);
  TabSheet5->setObjectName("TabSheet5");
  TabSheet1 = new FoldersPage(PageControl1);
  TabSheet1->SetSyncContext([this] { return SyncFor(); });
  TabSheet2 = new ViewPage(ViewKind::kByFolders, byFoldersGrid_, PageControl1);
  TabSheet3 = new ViewPage(ViewKind::kByDate, byDateGrid_, PageControl1);
  StringGrid1 = TabSheet2->Grid;
  StringGrid2 = TabSheet3->Grid;
  ToolBar1 = TabSheet2->ToolBar;
  ToolBar2 = TabSheet3->ToolBar;
  PMByFolders = TabSheet2->Popup;
  PMByDateTime = TabSheet3->Popup;
  BtnSaveGrid1 = TabSheet2->SaveGrid;
  BtnSaveGrid2 = TabSheet3->SaveGrid;
  BtnPrintGrid1 = TabSheet2->PrintGrid;
  BtnPrintGrid2 = TabSheet3->PrintGrid;
  BtnExecByFolders = TabSheet2->Exec;
  BtnExecByDateTime = TabSheet3->Exec;
  RemPanel1 = TabSheet2->RemPanel;
  RemPanel2 = TabSheet3->RemPanel;
  TabSheet4 = new QWidget(PageControl1);
  TabSheet4->setObjectName("TabSheet4");

  PageControl2 = new QTabWidget(TabSheet4);
  PageControl2->setObjectName("PageControl2");
  TabSheet6 = new SettingsPage(state_, operators_, PageControl2);
  TabSheet6->SetArchive(archive_.get());
  TabSheet6->SetDialogs([this]() -> Dialogs& { return Ask(); });
  TabSheet7 = new LogPage(log_, totalData_, PageControl2);
  PageControl2->addTab(TabSheet6, "Настройки программы");
  PageControl2->addTab(TabSheet7, "Протокол работы программы");
  auto* sheet4Layout = new QVBoxLayout(TabSheet4);
  sheet4Layout->setContentsMargins(4, 4, 4, 4);
  sheet4Layout->addWidget(PageControl2);

  // Index order is the page numbering the commands use.
  PageControl1->addWidget(TabSheet5);
  PageControl1->addWidget(TabSheet1);
  PageControl1->addWidget(TabSheet2);
  PageControl1->addWidget(TabSheet3);
  PageControl1->addWidget(TabSheet4);
  TabSheetArchive = new HistoryPage(
      {*archive_, [this] { return Services(); }, [this]() -> FileChooser& { return Files(); }},
      PageControl1);
  PageControl1->addWidget(TabSheetArchive);

  totalData_.SetColWidth(0, 160);
  totalData_.SetColWidth(1, 120);
  connect(TabSheet7, &LogPage::SaveRequested, this, &TForm1::BtnSaveLogClick);
  connect(TabSheet6, &SettingsPage::SaveRequested, this, &TForm1::BtnSaveOptionsClick);
}

void TForm1::BuildMenu() {
  auto action = [](QMenu* menu, const char* name, const char* text) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setObjectName(name);
    return a;
  };
  QMenu* file = menuBar()->addMenu("Файл");
  MConnect = action(file, "MConnect", "Подключиться");
  MConnect->setEnabled(false);
  MFoldersManag = action(file, "MFoldersManag", "Управление папками");
  MOptions = action(file, "MOptions", "Настройки");
  MQuit = action(file, "MQuit", "Выход");
  QMenu* data = menuBar()->addMenu("Данные");
  MByFolders = action(data, "MByFolders", "По папкам");
  MByDateTime = action(data, "MByDateTime", "По датам");
  MArchive = action(data, "MArchive", "Архив");
  MArchiveImport = action(data, "MArchiveImport", "Импорт в архив...");
  data->addSeparator();
  MRefresh = action(data, "MRefresh", "Обновить");
  MRestore = action(data, "MRestore", kRestoreMenuText);
  QMenu* about = menuBar()->addMenu("О программе");
  MAbout = action(about, "MAbout", "О программе");

  // Keyboard shortcuts, shown beside the menu texts; they trigger the items
  // themselves, so the same handlers ask the same questions.
  MRefresh->setShortcut(QKeySequence(Qt::Key_F5));
  MQuit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  MByFolders->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
  MByDateTime->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
  MFoldersManag->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));
  MOptions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_4));

  connect(MFoldersManag, &QAction::triggered, this, &TForm1::MFoldersManagClick);
  connect(MOptions, &QAction::triggered, this, &TForm1::MOptionsClick);
  connect(MQuit, &QAction::triggered, this, &TForm1::MQuitClick);
  connect(MByFolders, &QAction::triggered, this, &TForm1::MByFoldersClick);
  connect(MByDateTime, &QAction::triggered, this, &TForm1::MByDateTimeClick);
  connect(MArchive, &QAction::triggered, this, &TForm1::MArchiveClick);
  connect(MArchiveImport, &QAction::triggered, this, &TForm1::MArchiveImportClick);
  connect(MRefresh, &QAction::triggered, this, &TForm1::RefreshClick);
  connect(MRestore, &QAction::triggered, this, &TForm1::MRestoreClick);
  connect(MAbout, &QAction::triggered, this, &TForm1::MAboutClick);
}

void TForm1::BuildViewControls() {
  ColumnsChoice = new ColumnChoice(TabSheet6->ColumnsPlace);
  auto* place = new QVBoxLayout(TabSheet6->ColumnsPlace);
  place->setContentsMargins(0, 0, 0, 0);
  place->addWidget(ColumnsChoice);
  connect(ColumnsChoice, &ColumnChoice::FoldersClicked, this, &TForm1::CLBoxFoldersClick);
  connect(ColumnsChoice, &ColumnChoice::DateClicked, this, &TForm1::CLBoxDateClick);
  connect(PMByFolders, &QMenu::aboutToShow, this, &TForm1::PMByFoldersPopup);
  connect(PMByDateTime, &QMenu::aboutToShow, this, &TForm1::PMByDateTimePopup);
  ConnectMarkCommands();
}

// --- the two views ----------------------------------------------------------

void TForm1::SortByDateIndex() {
  orti::SortByDateIndex(model_->byDate);
}

void TForm1::FillGrids() {
  // The system's decimal separator, as in export files and printed reports.
  const std::string separator = QLocale::system().decimalPoint().toStdString();
  orti::FillGrids(*model_, byFoldersGrid_, byDateGrid_, separator);
  // The notice asks for a write: once nothing is pending there is none to ask for.
  if (!AnyFolderPending(*model_)) ShowWarningPanels(false);
  PMByFoldersPopup();  // the items' keys act on the grids without the menu opened
}

void TForm1::CLBoxFoldersClick() {
  ApplyFolderColumns(byFoldersGrid_, ColumnChoice::Ticks(ColumnsChoice->CLBoxFolders));
}

void TForm1::CLBoxDateClick() {
  ApplyDateColumns(byDateGrid_, ColumnChoice::Ticks(ColumnsChoice->CLBoxDate));
}

void TForm1::PMByFoldersPopup() {
  // Both menus follow the same count, whichever of them opens.
  const bool enabled = PopupItemsEnabled(*model_);
  TabSheet2->SetPopupItemsEnabled(enabled);
  TabSheet3->SetPopupItemsEnabled(enabled);
}

void TForm1::PMByDateTimePopup() {
  PMByFoldersPopup();
}

// --- page switching -------------------------------------------------------

void TForm1::SBByFoldersClick() {
  SwitchPage(PageCommand::kByFolders, *model_, state_, *this);
}
void TForm1::MByFoldersClick() {
  SwitchPage(PageCommand::kByFolders, *model_, state_, *this);
  SBByFolders->setChecked(true);
}
void TForm1::SBByDateClick() {
  SwitchPage(PageCommand::kByDate, *model_, state_, *this);
}
void TForm1::MByDateTimeClick() {
  SwitchPage(PageCommand::kByDate, *model_, state_, *this);
  SBByDate->setChecked(true);
}
void TForm1::SBFoldersManagementClick() {
  SwitchPage(PageCommand::kFoldersManagement, *model_, state_, *this);
}
void TForm1::MFoldersManagClick() {
  SBFoldersManagement->setChecked(true);  // before switching, unlike the other menu items
  SwitchPage(PageCommand::kFoldersManagement, *model_, state_, *this);
}
void TForm1::SBToolsClick() {
  SwitchPage(PageCommand::kTools, *model_, state_, *this);
}
void TForm1::MOptionsClick() {
  SwitchPage(PageCommand::kTools, *model_, state_, *this);
  SBTools->setChecked(true);
}
void TForm1::SBQuitClick() {
  SwitchPage(PageCommand::kQuitButton, *model_, state_, *this);
}
void TForm1::MQuitClick() {
  SwitchPage(PageCommand::kQuitMenu, *model_, state_, *this);
}

void TForm1::OpenPage(int page) {
  PageControl1->setCurrentIndex(page);
  switch (page) {
    case kPageByFolders:
      StringGrid1->setFocus();
      break;
    case kPageByDate:
      StringGrid2->setFocus();
      break;
    case kPageArchive:
      TabSheetArchive->Refresh();  // readings since it was last shown are in it
      TabSheetArchive->Table->setFocus();
      break;
    case kPageFolders:
      TabSheet1->LBFolders->setFocus();
      if (TabSheet1->LBFolders->currentRow() < 0 && TabSheet1->LBFolders->count() > 0) {
        TabSheet1->LBFolders->setCurrentRow(0);
      }
      emit TabSheet1->FolderClicked();
      break;
    default:
      break;
  }
}

void TForm1::CloseMainWindow() {
  close();
}

void TForm1::ConfirmSaveSettings() {
  // The command that asked goes on to its own page, so the save does not
  // switch pages itself here.
  if (AskSaveSettings(Ask())) SaveSettings(state_, TabSheet6->Values(), Ask());
}

void TForm1::BtnSaveOptionsClick() {
  const SettingsPageValues values = TabSheet6->Values();
  if (!SaveSettings(state_, values, Ask())) return;
  if (values.startPage == StartPage::kByFolders) MByFoldersClick();
  if (values.startPage == StartPage::kByDate) MByDateTimeClick();
}

void TForm1::ConfirmPendingSync() {
  orti::ConfirmPendingSync(SyncFor());
}

ConsoleServices TForm1::Services() {
  return {*model_, state_, totalData_, *link_, log_, Ask()};
}

SyncContext TForm1::SyncFor() {
  SyncContext context{Services(), writeProgress_, *this};
  context.changes = archive_.get();
  return context;
}

void TForm1::UseSerialLine(std::unique_ptr<SerialPort> port, Clock& clock) {
  deviceLink_.reset();
  port_ = std::move(port);
  deviceLink_ = std::make_unique<DeviceLink>(*port_, state_, log_, clock, *linkHooks_);
  if (const std::string traceFile = TraceFile(); !traceFile.empty()) {
    std::string error;
    trace_ = FileTrafficTrace::Open(traceFile, &error);
    if (!trace_) log_.AddLogLine("Не удалось открыть файл трассировки " + traceFile + ": " + error);
  }
  deviceLink_->SetTrace(trace_.get());
  link_ = deviceLink_.get();
}

void TForm1::RefreshClick() {
  ReadingContext context = ReadingFor();
  if (RefreshNotepad(context)) OfferRestoreAfterCut();
}

ReadingContext TForm1::ReadingFor() {
  ReadingContext context{Services(), *readingHooks_, LocalNow()};
  context.archive = archive_.get();
  return context;
}

void TForm1::ClearViewsForReading() {
  for (StringGrid* grid : {&byFoldersGrid_, &byDateGrid_}) {
    GridUpdate update(*grid);
    for (int row = 1; row < grid->RowCount(); ++row) {
      for (int col = 0; col < grid->ColCount(); ++col) grid->SetCell(col, row, "");
    }
    grid->SetRowCount(kViewFixedRows + 1);
  }
}

void TForm1::DisableDataCommands() {
  TabSheet2->SetPopupItemsEnabled(false);
  TabSheet3->SetPopupItemsEnabled(false);
  TabSheet2->SetDataButtonsEnabled(false);
  TabSheet3->SetDataButtonsEnabled(false);
  for (StringGrid* grid : {&byFoldersGrid_, &byDateGrid_}) {
    GridUpdate update(*grid);
    grid->SetRowCount(kViewFixedRows + 1);
    for (int col = kFirstChoiceColumn; col < grid->ColCount(); ++col) grid->SetCell(col, 1, " ");
  }
}

void TForm1::MAboutClick() {
  TAboutBox box(this);
  box.exec();
}

void TForm1::Timer1Timer() {
  state_.link.timeout = true;
  Timer1->stop();
}

void TForm1::BtnSaveLogClick() {
  SaveWorkLog(log_, state_, Ask());
}

void TForm1::closeEvent(QCloseEvent* event) {
  // Nothing is saved implicitly; only a folder whose writing failed is asked
  // about, as its records are nowhere else.
  if (!WriteFailedFolders(*model_).empty() && !ConfirmQuitWithUnwrittenFolders(SyncFor())) {
    event->ignore();
    return;
  }
  event->accept();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TForm1::FormResize() {
  TabSheet6->SizeUserColumns();
}

// --- start-up --------------------------------------------------------------

StartupResult TForm1::FormShow(const std::vector<std::string>& arguments) {
  const ProgramFolderSources sources = CurrentProgramFolderSources();
  const ProgramFolder folder = ResolveProgramFolder(sources);
  if (!folder.problem.empty()) {
    log_.AddLogLine(folder.problem);
    Ask().ShowMessage(folder.problem);
  }
  state_.exportFolder = ExportStartFolder(
      folder.path, sources.userDataDir,
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString(),
      QDir::homePath().toStdString());
  return RunStartupSequence(state_, log_, *this, arguments, folder.path, LocalNow());
}

void TForm1::ShowAfterStartup() {
  if (startMaximised_) {
    showMaximized();
  } else {
    showNormal();
  }
}

void TForm1::ShowFirstPages() {
  PageControl1->setCurrentIndex(kPageEmpty);
  PageControl2->setCurrentIndex(0);
  ColumnsChoice->PageControl3->setCurrentIndex(0);
}

void TForm1::LoadSettings() {
  const bool loaded = orti::LoadSettings(state_, operators_, &log_);
  archive_->SetServer(
      ChooseServer({std::nullopt, ServerVariable(), state_.settings.archiveServer}));
  if (loaded) {
    TabSheet6->ENewFolder->setText(QString::fromStdString(state_.settings.defaultNewFolderName));
    const QSignalBlocker loading(TabSheet6->CBFastRead);  // as loaded: no change to save
    TabSheet6->CBFastRead->setChecked(state_.link.fastRead);
  }
}

void TForm1::OpenStartPage(StartPage startPage) {
  switch (startPage) {
    case StartPage::kByFolders:
      MByFoldersClick();
      break;
    case StartPage::kSettings:
      MOptionsClick();
      break;
    default:
      MByDateTimeClick();
      break;
  }
  TabSheet6->SelectStartPage(startPage);
}

void TForm1::PrepareViews() {
  PrepareViewGrid(ViewKind::kByFolders, byFoldersGrid_);
  PrepareViewGrid(ViewKind::kByDate, byDateGrid_);
  ColumnsChoice->Fill(ColumnTitles(ViewKind::kByFolders), ColumnTitles(ViewKind::kByDate));
}

void TForm1::RunRegistration() {
  TForm2 form2(operators_, state_, Ask(), this);
  form2.exec();
}

void TForm1::AddNewOperator() {
  AddRegisteredOperator(state_, operators_);
}

void TForm1::OpenSettingsPage() {
  MOptionsClick();
}

ConnectOutcome TForm1::Connect() {
  ConnectionContext context{Services(), *linkHooks_,
                            [this](int port) { return IsPortAvailable(*port_, port); }};
  return SearchInstrument(context);
}

void TForm1::ApplyWindowState(bool maximised) {
  startMaximised_ = maximised;
  TabSheet6->CBStartStyle->setChecked(maximised);
}

void TForm1::ApplyColumns() {
  CLBoxFoldersClick();
  CLBoxDateClick();
}

void TForm1::ReadNotepad() {
  ReadingContext context = ReadingFor();
  RunReading(context);
  OfferRestoreAfterCut();
}

void TForm1::ConnectionFailed() {
  GoOffline(state_, *model_, *this, Ask());
}

void TForm1::ProcessMessages() {
  QApplication::processEvents();
}

}  // namespace orti
