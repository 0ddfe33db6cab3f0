#include "app/registration_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace orti {

namespace {
constexpr int kWindowWidth = 460;
constexpr int kToolBarHeight = 32;
}  // namespace

TForm2::TForm2(const OperatorTable& operators, ConsoleState& state, Dialogs& dialogs,
               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      state_(state),
      dialogs_(dialogs) {
  setObjectName("TForm2");
  setWindowTitle("Регистрация");
  setModal(true);

  Label1 = new QLabel("Пожалуйста, зарегистрируйтесь перед началом работы", this);
  Label1->setObjectName("Label1");
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setContentsMargins(4, 6, 4, 6);

  FillRegistrationGrid(operators, grid_);
  model_ = new StringGridModel(grid_, this);
  SGUsers = MakeGridView(model_, "SGUsers", this);
  SGUsers->setSelectionMode(QAbstractItemView::SingleSelection);
  SGUsers->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SGUsers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGUsers->installEventFilter(this);
  connect(SGUsers, &QTableView::doubleClicked, this, &TForm2::SGUsersDblClick);

  SGUsersNew = new QTableWidget(1, 3, this);
  SGUsersNew->setObjectName("SGUsersNew");
  SGUsersNew->horizontalHeader()->hide();
  SGUsersNew->verticalHeader()->hide();
  SGUsersNew->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGUsersNew->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (int c = 0; c < 3; ++c) {
    // The editor of every cell is always shown.
    newCells_[c] = new QLineEdit(SGUsersNew);
    newCells_[c]->setFrame(false);
    SGUsersNew->setCellWidget(0, c, newCells_[c]);
    connect(newCells_[c], &QLineEdit::textChanged, this, &TForm2::SGUsersNewSetEditText);
  }

  ToolBar1 = new QWidget(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setFixedHeight(kToolBarHeight);
  BtnOK = new QPushButton("OK", ToolBar1);
  BtnOK->setObjectName("BtnOK");
  SBDummy = new QToolButton(ToolBar1);
  SBDummy->setObjectName("SBDummy");
  SBDummy->setEnabled(false);
  SBDummy->setAutoRaise(true);
  SBDummy->setFixedWidth(16);
  BtnCancel = new QPushButton("Отмена", ToolBar1);
  BtnCancel->setObjectName("BtnCancel");
  // Enter in the grid means OK; in the new-name cells it means nothing.
  BtnOK->setAutoDefault(false);
  BtnCancel->setAutoDefault(false);
  connect(BtnOK, &QPushButton::clicked, this, &TForm2::BtnOKClick);
  connect(BtnCancel, &QPushButton::clicked, this, &TForm2::BtnCancelClick);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Label1);
  layout->addWidget(SGUsers);
  layout->addWidget(SGUsersNew);
  layout->addWidget(ToolBar1);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  const int rowHeight = SGUsers->verticalHeader()->defaultSectionSize();
  SGUsers->setFixedSize(kWindowWidth, rowHeight * 4 + 2 * SGUsers->frameWidth());
  SGUsersNew->verticalHeader()->setDefaultSectionSize(rowHeight);
  SGUsersNew->setFixedSize(kWindowWidth, rowHeight + 4);
  ToolBar1->setFixedWidth(kWindowWidth);
}

// The grid view asks the grid for its texts while the window comes down, and
// the grid is gone before the base class destroys the children.
TForm2::~TForm2() {
  delete SGUsers;
}

void TForm2::FormShow() {
  newEntry_ = false;
  closeAllowed_ = false;
  // Widths first: a change of the grid refills the view and drops its selection.
  const int third = SGUsers->viewport()->width() / 3;
  for (int c = 0; c < 3; ++c) grid_.SetColWidth(c, third);
  SGUsers->setFocus();
  SGUsers->selectRow(0);
  const int newThird = SGUsersNew->width() / 3;
  SGUsersNew->setColumnWidth(0, newThird);
  SGUsersNew->setColumnWidth(1, newThird);
  SGUsersNew->setColumnWidth(2, newThird - 12);
  PlaceToolBarButtons();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TForm2::PlaceToolBarButtons() {
  // OK and Отмена stand either side of the centre.
  const int indent = ToolBar1->width() / 2 - BtnOK->width() - SBDummy->width() / 2;
  const int top = (ToolBar1->height() - BtnOK->height()) / 2;
  BtnOK->move(indent, top);
  SBDummy->setGeometry(indent + BtnOK->width(), top, SBDummy->width(), BtnOK->height());
  BtnCancel->move(indent + BtnOK->width() + SBDummy->width(), top);
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TForm2::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceToolBarButtons();
}

void TForm2::SGUsersNewSetEditText() {
  newEntry_ = NewEntryTyped({newCells_[0]->text().toStdString(), newCells_[1]->text().toStdString(),
                             newCells_[2]->text().toStdString()});
}

void TForm2::BtnOKClick() {
  const QModelIndex current = SGUsers->currentIndex();
  const int row = current.isValid() ? model_->GridRow(current.row()) : grid_.FixedRows();
  const NewOperatorCells cells{newCells_[0]->text().toStdString(),
                               newCells_[1]->text().toStdString(),
                               newCells_[2]->text().toStdString()};
  if (!AcceptRegistration(state_, grid_, row, newEntry_, cells, dialogs_)) return;
  closeAllowed_ = true;
  accept();
}

void TForm2::BtnCancelClick() {
  CancelRegistration(state_);
  closeAllowed_ = true;
  QDialog::reject();
}

void TForm2::SGUsersDblClick() {
  BtnOKClick();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SGUsers && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      BtnOKClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm2::closeEvent(QCloseEvent* event) {
  if (closeAllowed_) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TForm2::reject() {
  // Escape and the window manager's close end up here: only Отмена may close.
  if (closeAllowed_) QDialog::reject();
}

}  // namespace orti
