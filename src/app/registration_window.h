#pragma once
// "Регистрация": the operator picks a known name or types a new one before
// the console starts working. It closes only through OK or Отмена.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>

#include "app/string_grid_model.h"
#include "model/console_state.h"
#include "model/string_grid.h"
#include "platform/dialogs.h"
#include "settings/operators.h"
#include "settings/registration.h"

namespace orti {

class TForm2 final : public QDialog {
  Q_OBJECT
 public:
  TForm2(const OperatorTable& operators, ConsoleState& state, Dialogs& dialogs,
         QWidget* parent = nullptr);
  ~TForm2() override;

  QLabel* Label1;
  QTableView* SGUsers;
  QTableWidget* SGUsersNew;
  QWidget* ToolBar1;
  QPushButton* BtnOK;
  QToolButton* SBDummy;
  QPushButton* BtnCancel;

  // The editors of SGUsersNew's three cells: surname, first name, patronymic.
  QLineEdit* NewCell(int column) const { return newCells_[column]; }

 public slots:
  void BtnOKClick();
  void BtnCancelClick();
  void SGUsersDblClick();
  void SGUsersNewSetEditText();

 protected:
  void showEvent(QShowEvent* event) override;    // FormShow
  void closeEvent(QCloseEvent* event) override;  // FormClose
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;  // SGUsersKeyDown
  void reject() override;

 private:
  void FormShow();
  void PlaceToolBarButtons();

  ConsoleState& state_;
  Dialogs& dialogs_;
  StringGrid grid_;
  StringGridModel* model_;
  QLineEdit* newCells_[3];
  bool newEntry_ = false;
  bool closeAllowed_ = false;
};

}  // namespace orti
