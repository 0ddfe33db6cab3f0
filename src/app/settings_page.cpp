#include "app/settings_page.h"

#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "workflow/startup_sequence.h"

namespace orti {

namespace {
QLineEdit* MakeEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QRadioButton* MakeRadio(const char* name, const char* text, QWidget* parent) {
  auto* radio = new QRadioButton(QString::fromUtf8(text), parent);
  radio->setObjectName(name);
  return radio;
}
}  // namespace

SettingsPage::SettingsPage(ConsoleState& state, OperatorTable& operators, QWidget* parent)
    : QWidget(parent), state_(state), operators_(operators) {
  setObjectName("TabSheet6");
  BuildStartGroup();
  BuildConnectionGroup();
  BuildUsersGroup();
  BuildInstrumentsGroup();

  GroupBox2 = new QGroupBox("Новая папка", this);
  GroupBox2->setObjectName("GroupBox2");
  ENewFolder = MakeEdit("ENewFolder", GroupBox2);
  (new QVBoxLayout(GroupBox2))->addWidget(ENewFolder);
  GroupBox2->hide();

  GroupBox4 = new QGroupBox(" Отображение данных блокнота ", this);
  GroupBox4->setObjectName("GroupBox4");
  ColumnsPlace = new QWidget(GroupBox4);
  ColumnsPlace->setObjectName("ColumnsPlace");
  auto* columnsLayout = new QVBoxLayout(GroupBox4);
  columnsLayout->addWidget(ColumnsPlace, 1);

  BtnSaveOptions = new QPushButton("Сохранить настройки", this);
  BtnSaveOptions->setObjectName("BtnSaveOptions");
  connect(BtnSaveOptions, &QPushButton::clicked, this, &SettingsPage::SaveRequested);

  auto* left = new QVBoxLayout;
  left->addWidget(GroupBox1);
  left->addWidget(GroupBox3);
  left->addWidget(GroupBox2);
  left->addWidget(GroupInstruments, 1);
  auto* groups = new QHBoxLayout;
  groups->addLayout(left);
  groups->addWidget(GroupBox6, 1);
  groups->addWidget(GroupBox4, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BtnSaveOptions);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups, 1);
  layout->addLayout(buttons);
}

void SettingsPage::BuildStartGroup() {
  GroupBox1 = new QGroupBox("Стартовая страница", this);
  GroupBox1->setObjectName("GroupBox1");
  RBByFolders = MakeRadio("RBByFolders", "По папкам", GroupBox1);
  RBByDateTime = MakeRadio("RBByDateTime", "По датам", GroupBox1);
  RBOptions = MakeRadio("RBOptions", "Настройки", GroupBox1);
  CBStartStyle = new QCheckBox("Раскрывать во весь экран", GroupBox1);
  CBStartStyle->setObjectName("CBStartStyle");
  auto* layout = new QVBoxLayout(GroupBox1);
  layout->addWidget(RBByFolders);
  layout->addWidget(RBByDateTime);
  layout->addWidget(RBOptions);
  layout->addSpacing(6);
  layout->addWidget(CBStartStyle);

  // Like a click, a selection made by the program counts as a change too.
  auto onSelected = [this](QRadioButton* radio, void (SettingsPage::*handler)()) {
    connect(radio, &QRadioButton::toggled, this, [this, handler](bool on) {
      if (on) (this->*handler)();
    });
  };
  onSelected(RBByFolders, &SettingsPage::RBByFoldersClick);
  onSelected(RBByDateTime, &SettingsPage::RBByDateTimeClick);
  onSelected(RBOptions, &SettingsPage::RBOptionsClick);
  connect(CBStartStyle, &QCheckBox::toggled, this, &SettingsPage::CBStartStyleClick);
}

void SettingsPage::BuildConnectionGroup() {
  GroupBox3 = new QGroupBox("Параметры подключения", this);
  GroupBox3->setObjectName("GroupBox3");
  RBAutodetect = MakeRadio("RBAutodetect", "Автоопределение", GroupBox3);
  RBFixed = MakeRadio("RBFixed", "Фиксированные параметры", GroupBox3);
  LPort = new QLabel("Порт №", GroupBox3);
  LPort->setObjectName("LPort");
  EPort = MakeEdit("EPort", GroupBox3);
  LDevice = new QLabel("Устройство №", GroupBox3);
  LDevice->setObjectName("LDevice");
  EDevice = MakeEdit("EDevice", GroupBox3);
  // The port search always runs and the instrument is always device 1.
  RBAutodetect->setChecked(true);
  RBFixed->setEnabled(false);
  EPort->setText("1");
  EDevice->setText("1");
  SetConnectionFieldsEnabled(false);
  CBFastRead = new QCheckBox("Быстрое чтение", GroupBox3);
  CBFastRead->setObjectName("CBFastRead");
  connect(CBFastRead, &QCheckBox::toggled, this, &SettingsPage::CBFastReadClick);
  connect(RBAutodetect, &QRadioButton::clicked, this, &SettingsPage::RBAutodetectClick);
  connect(RBFixed, &QRadioButton::clicked, this, &SettingsPage::RBFixedClick);

  auto* fields = new QFormLayout;
  fields->addRow(LPort, EPort);
  fields->addRow(LDevice, EDevice);
  auto* layout = new QVBoxLayout(GroupBox3);
  layout->addWidget(RBAutodetect);
  layout->addWidget(RBFixed);
  layout->addLayout(fields);
  layout->addWidget(CBFastRead);
}

SettingsPage::~SettingsPage() {
  delete SGInstruments;
  delete instrumentsModel_;
}

void SettingsPage::BuildInstrumentsGroup() {
  GroupInstruments = new QGroupBox("Приборы архива", this);
  GroupInstruments->setObjectName("GroupInstruments");
  instrumentsModel_ = new StringGridModel(instrumentsGrid_, this);
  SGInstruments = MakeGridView(instrumentsModel_, "SGInstruments", GroupInstruments);
  SGInstruments->setSelectionMode(QAbstractItemView::SingleSelection);
  SGInstruments->setSelectionBehavior(QAbstractItemView::SelectRows);
  ELabName = MakeEdit("ELabName", GroupInstruments);
  BtnSetLabName = new QPushButton("Задать название", GroupInstruments);
  BtnSetLabName->setObjectName("BtnSetLabName");
  connect(BtnSetLabName, &QPushButton::clicked, this, &SettingsPage::BtnSetLabNameClick);
  connect(ELabName, &QLineEdit::returnPressed, this, &SettingsPage::BtnSetLabNameClick);
  auto* edit = new QHBoxLayout;
  edit->addWidget(ELabName, 1);
  edit->addWidget(BtnSetLabName);
  auto* layout = new QVBoxLayout(GroupInstruments);
  layout->addWidget(SGInstruments, 1);
  layout->addLayout(edit);
}

void SettingsPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  LoadInstruments();
}

void SettingsPage::LoadInstruments() {
  // The lab's instruments: the server's when one is named.
  std::string notice;
  ArchiveStore* store = archive_ ? archive_->ViewStore(notice) : nullptr;
  try {
    labNames_.Load(store);
  } catch (const ArchiveError& error) {
    labNames_.Load(nullptr);
    archive_->ReportViewFault("Приборы архива", error);
  }
}

void SettingsPage::BtnSetLabNameClick() {
  const QModelIndex current = SGInstruments->currentIndex();
  if (!archive_ || !current.isValid()) return;
  try {
    labNames_.Set(*archive_, current.row(), ELabName->text().trimmed().toStdString());
  } catch (const ArchiveError& error) {
    archive_->ReportViewFault("Название прибора не сохранено", error);
  }
}

void SettingsPage::BuildUsersGroup() {
  GroupBox6 = new QGroupBox("Список работников", this);
  GroupBox6->setObjectName("GroupBox6");
  usersModel_ = new StringGridModel(operators_.Grid(), this);
  SGUsers = MakeGridView(usersModel_, "SGUsers", GroupBox6);
  SGUsers->setSelectionMode(QAbstractItemView::SingleSelection);
  SGUsers->setCurrentIndex(usersModel_->index(0, 0));
  SGUsers->viewport()->installEventFilter(this);
  // The grid is refilled as a whole; the selected row stays where it was.
  connect(usersModel_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    keptUsersRow_ = SGUsers->currentIndex().isValid() ? SGUsers->currentIndex().row() : 0;
  });
  connect(usersModel_, &QAbstractItemModel::modelReset, this, [this] {
    const int rows = usersModel_->rowCount();
    if (rows > 0) SGUsers->selectRow(keptUsersRow_ < rows ? keptUsersRow_ : rows - 1);
  });

  ELName = MakeEdit("ELName", GroupBox6);
  EFName = MakeEdit("EFName", GroupBox6);
  EMName = MakeEdit("EMName", GroupBox6);
  BtnAddUser = new QPushButton("Добавить", GroupBox6);
  BtnAddUser->setObjectName("BtnAddUser");
  BtnDelUser = new QPushButton("Удалить", GroupBox6);
  BtnDelUser->setObjectName("BtnDelUser");
  // Enter walks from field to field and stops on "Добавить" without pressing it.
  connect(ELName, &QLineEdit::returnPressed, EFName, [this] { EFName->setFocus(); });
  connect(EFName, &QLineEdit::returnPressed, EMName, [this] { EMName->setFocus(); });
  connect(EMName, &QLineEdit::returnPressed, BtnAddUser, [this] { BtnAddUser->setFocus(); });
  connect(BtnAddUser, &QPushButton::clicked, this, &SettingsPage::BtnAddUserClick);
  connect(BtnDelUser, &QPushButton::clicked, this, &SettingsPage::BtnDelUserClick);

  auto* edits = new QGridLayout;
  const char* captions[] = {"Фамилия", "Имя", "Отчество"};
  QLineEdit* fields[] = {ELName, EFName, EMName};
  for (int i = 0; i < 3; ++i) {
    edits->addWidget(new QLabel(QString::fromUtf8(captions[i]), GroupBox6), 0, i);
    edits->addWidget(fields[i], 1, i);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnAddUser);
  buttons->addWidget(BtnDelUser);
  auto* layout = new QVBoxLayout(GroupBox6);
  layout->addWidget(SGUsers, 1);
  layout->addLayout(edits);
  layout->addLayout(buttons);
}

SettingsPageValues SettingsPage::Values() const {
  SettingsPageValues values;
  values.startPage = RBByFolders->isChecked() ? StartPage::kByFolders
                     : RBOptions->isChecked() ? StartPage::kSettings
                                              : StartPage::kByDate;
  values.fixedConnection = RBFixed->isChecked();
  values.port = EPort->text().toStdString();
  values.device = EDevice->text().toStdString();
  values.startMaximised = CBStartStyle->isChecked();
  values.fastRead = CBFastRead->isChecked();
  values.newFolderName = ENewFolder->text().toStdString();
  return values;
}

void SettingsPage::SelectStartPage(StartPage startPage) {
  QRadioButton* radio = startPage == StartPage::kByFolders  ? RBByFolders
                        : startPage == StartPage::kSettings ? RBOptions
                                                            : RBByDateTime;
  radio->setChecked(true);
}

void SettingsPage::SizeUserColumns() {
  const int width = SGUsers->viewport()->width() / 3;
  for (int c = 0; c < 3; ++c) operators_.Grid().SetColWidth(c, width);
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SGUsers->viewport() && event->type() == QEvent::Resize) SizeUserColumns();
  return QWidget::eventFilter(watched, event);
}

void SettingsPage::RBByFoldersClick() {
  SettingsChanged();
}
void SettingsPage::RBByDateTimeClick() {
  SettingsChanged();
}
void SettingsPage::RBOptionsClick() {
  SettingsChanged();
}
void SettingsPage::CBStartStyleClick() {
  SettingsChanged();
}
void SettingsPage::CBFastReadClick() {
  SettingsChanged();
}

void SettingsPage::SetConnectionFieldsEnabled(bool enabled) {
  for (QWidget* w : {static_cast<QWidget*>(LPort), static_cast<QWidget*>(LDevice),
                     static_cast<QWidget*>(EPort), static_cast<QWidget*>(EDevice)}) {
    w->setEnabled(enabled);
  }
}

void SettingsPage::RBAutodetectClick() {
  SetConnectionFieldsEnabled(false);
}
void SettingsPage::RBFixedClick() {
  SetConnectionFieldsEnabled(true);
}

void SettingsPage::BtnAddUserClick() {
  const OperatorParts parts{ELName->text().toStdString(), EFName->text().toStdString(),
                            EMName->text().toStdString()};
  const AddOutcome outcome = AddOperator(state_, operators_, parts, dialogs_());
  if (!outcome.accepted) return;
  if (outcome.registered) ComposeOperatorNames(state_);
  ELName->clear();
  EFName->clear();
  EMName->clear();
  if (!state_.session.operators.empty()) BtnDelUser->setEnabled(true);
}

void SettingsPage::BtnDelUserClick() {
  const QModelIndex current = SGUsers->currentIndex();
  const int gridRow = current.isValid() ? usersModel_->GridRow(current.row()) : -1;
  if (DeleteOperator(state_, operators_, gridRow)) BtnDelUser->setEnabled(false);
}

}  // namespace orti
