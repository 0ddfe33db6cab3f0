#include "app/folders_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "app/string_grid_model.h"
#include "folders/folder_names.h"
#include "folders/journal.h"
#include "platform/date_time.h"

namespace orti {

namespace {

QPushButton* MakeButton(const char* name, const char* text, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

FoldersPage::FoldersPage(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet1");
  LBFolders = new QListWidget(this);
  LBFolders->setObjectName("LBFolders");

  Label2 = new QLabel("Имя папки (не более 16 символов)", this);
  Label2->setObjectName("Label2");
  EFolderName = new QLineEdit(this);
  EFolderName->setObjectName("EFolderName");
  EFolderName->setMaxLength(kFolderNameChars);
  BtnAddFolderName = new QToolButton(this);
  BtnAddFolderName->setObjectName("BtnAddFolderName");
  BtnAddFolderName->setArrowType(Qt::LeftArrow);

  BtnNewFolder = MakeButton("BtnNewFolder", "Создать папку", this);
  BtnRenameFolder = MakeButton("BtnRenameFolder", "Переименовать папку", this);
  BtnRemoveFolder = MakeButton("BtnRemoveFolder", "Удалить папку", this);
  BtnClearFolder = MakeButton("BtnClearFolder", "Очистить папку", this);
  BtnClearFolders = MakeButton("BtnClearFolders", "Очистить все папки", this);
  // Present but never shown: synchronisation starts from the operations themselves.
  BtnSyncroFolders = MakeButton("BtnSyncroFolders", "Синхронизировать", this);
  BtnSyncroFolders->hide();
  BitBtn4 = MakeButton("BitBtn4", "", this);
  BitBtn4->hide();
  LWarn = new QLabel("После изменения данных необходимо произвести запись в прибор.", this);
  LWarn->setObjectName("LWarn");
  LWarn->hide();

  InitJournal(journal_);
  auto* journalModel = new StringGridModel(journal_, this);
  SGFoldersOperations = MakeGridView(journalModel, "SGFoldersOperations", this);
  // The design's width was for its own small font: the time must show whole in ours.
  const QString time = QString::fromStdString(FormatDateTime(EncodeDate(2026, 12, 28)));
  journal_.SetColWidth(kJournalTimeColumn, std::max(journal_.ColWidth(kJournalTimeColumn),
                                                    FittingColumnWidth(SGFoldersOperations, time)));
  ApplyColumnWidths(SGFoldersOperations, journal_);
  SGFoldersOperations->hide();

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(EFolderName, 1);
  nameRow->addWidget(BtnAddFolderName);
  auto* commands = new QVBoxLayout;
  commands->addWidget(Label2);
  commands->addLayout(nameRow);
  for (QPushButton* b : {BtnNewFolder, BtnRenameFolder, BtnRemoveFolder, BtnClearFolder,
                         BtnClearFolders, BtnSyncroFolders, BitBtn4}) {
    commands->addWidget(b);
  }
  commands->addWidget(LWarn);
  commands->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(LBFolders, 1);
  top->addLayout(commands);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(SGFoldersOperations, 1);

  connect(LBFolders, &QListWidget::currentRowChanged, this, &FoldersPage::FolderClicked);
  connect(this, &FoldersPage::FolderClicked, this,
          [this] { Run(&FolderOperations::LBFoldersClick); });
  const std::pair<QAbstractButton*, void (FolderOperations::*)()> commandsOf[] = {
      {BtnNewFolder, &FolderOperations::BtnNewFolderClick},
      {BtnRenameFolder, &FolderOperations::BtnRenameFolderClick},
      {BtnRemoveFolder, &FolderOperations::BtnRemoveFolderClick},
      {BtnClearFolder, &FolderOperations::BtnClearFolderClick},
      {BtnClearFolders, &FolderOperations::BtnClearFoldersClick},
      {BtnAddFolderName, &FolderOperations::BtnAddFolderNameClick},
      {BtnSyncroFolders, &FolderOperations::BtnSyncroFoldersClick},
  };
  for (const auto& [button, handler] : commandsOf) {
    connect(button, &QAbstractButton::clicked, this, [this, h = handler] { Run(h); });
  }
}

FoldersPage::~FoldersPage() {
  // The journal grid dies before the child widgets; its view must go first.
  delete SGFoldersOperations;
}

void FoldersPage::Run(void (FolderOperations::*handler)()) {
  if (!context_) return;
  const SyncContext context = context_();
  FolderOperations operations(context, *this, journal_, LocalNow);
  (operations.*handler)();
}

void FoldersPage::FillFolderList(const NotepadModel& model) {
  const int selected = LBFolders->currentRow();
  LBFolders->clear();
  for (int f = 0; f < model.folderCount && f < kMaxFolders; ++f) {
    LBFolders->addItem(QString::fromStdString(FolderNameUtf8(model.folders[f])));
  }
  if (selected >= 0 && selected < LBFolders->count()) LBFolders->setCurrentRow(selected);
}

void FoldersPage::SetFolderItem(int index, const std::string& text) {
  if (QListWidgetItem* item = LBFolders->item(index)) item->setText(QString::fromStdString(text));
}

void FoldersPage::SetFolderButtons(bool rename, bool remove, bool clear) {
  BtnRenameFolder->setEnabled(rename);
  BtnRemoveFolder->setEnabled(remove);
  BtnClearFolder->setEnabled(clear);
}

}  // namespace orti
