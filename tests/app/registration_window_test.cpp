#include "app/registration_window.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QKeyEvent>

#include "support/scripted_dialogs.h"
#include "support/test_app.h"

namespace orti {
namespace {

class TForm2Test : public ::testing::Test {
 protected:
  TForm2Test() {
    test::App();
    operators.RebuildOperators({"Андреев_Андрей_Андреевич", "Борисов_Борис_Борисович"});
    form = std::make_unique<TForm2>(operators, state, dialogs);
    form->show();
  }
  void SelectRow(int viewRow) { form->SGUsers->selectRow(viewRow); }
  void Type(int column, const char* text) { form->NewCell(column)->setText(text); }

  OperatorTable operators;
  ConsoleState state;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TForm2> form;
};

// The texts are checked in window_texts_test.cpp.
TEST_F(TForm2Test, LooksLikeTheRegistrationDialog) {
  const Qt::WindowFlags flags = form->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
  EXPECT_TRUE(form->Label1->font().bold());
  auto* model = form->SGUsers->model();
  ASSERT_EQ(model->rowCount(), 3) << "two operators and the empty row";
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Отчество");
  EXPECT_EQ(model->index(1, 0).data().toString(), "Борисов");
  EXPECT_EQ(model->index(2, 0).data().toString(), "");
  EXPECT_EQ(form->SGUsers->currentIndex().row(), 0);
  EXPECT_TRUE(form->SGUsers->selectionModel()->isRowSelected(0, {}));
  EXPECT_EQ(form->SGUsersNew->rowCount(), 1);
  EXPECT_EQ(form->SGUsersNew->columnCount(), 3);
  EXPECT_FALSE(form->SGUsersNew->horizontalHeader()->isVisible());
  EXPECT_FALSE(form->SBDummy->isEnabled());
  // OK and Отмена either side of the centre, the spacer between them.
  const int centre = form->ToolBar1->width() / 2;
  EXPECT_EQ(form->BtnOK->geometry().right() + 1 + form->SBDummy->width() / 2, centre);
  EXPECT_EQ(form->BtnCancel->x(), form->SBDummy->geometry().right() + 1);
  EXPECT_EQ(form->SGUsersNew->columnWidth(2), form->SGUsersNew->width() / 3 - 12);
}

TEST_F(TForm2Test, ClosesOnlyThroughOkOrCancel) {
  form->close();
  EXPECT_TRUE(form->isVisible());
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &escape);
  EXPECT_TRUE(form->isVisible());
  form->BtnCancel->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(state.session.registrationResult, -1);
  EXPECT_EQ(state.session.surname, "");
}

TEST_F(TForm2Test, OkTakesTheSelectedRow) {
  SelectRow(1);
  form->BtnOK->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(state.session.registrationResult, 2);
  EXPECT_EQ(state.session.surname, "Борисов");
  EXPECT_EQ(state.session.patronymic, "Борисович");
}

TEST_F(TForm2Test, EnterAndDoubleClickInTheGridMeanOk) {
  SelectRow(2);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form->SGUsers, &enter);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(state.session.registrationResult, 3);
  EXPECT_EQ(state.session.surname + state.session.firstName + state.session.patronymic, "   ");

  TForm2 again(operators, state, dialogs);
  again.show();
  again.SGUsers->selectRow(0);
  emit again.SGUsers->doubleClicked(again.SGUsers->currentIndex());
  EXPECT_FALSE(again.isVisible());
  EXPECT_EQ(state.session.registrationResult, 1);
}

TEST_F(TForm2Test, TypedNameIsANewOperatorUnlessClearedAgain) {
  Type(0, "Сидоров");
  Type(0, "");
  form->BtnOK->click();
  EXPECT_EQ(state.session.registrationResult, 1) << "cells emptied again: the selected row counts";

  TForm2 again(operators, state, dialogs);
  again.show();
  again.NewCell(0)->setText("Сидоров");
  again.BtnOK->click();
  EXPECT_FALSE(again.isVisible());
  EXPECT_EQ(state.session.registrationResult, 0);
  EXPECT_EQ(state.session.surname, "Сидоров");
  EXPECT_EQ(state.session.firstName, "");
}

TEST_F(TForm2Test, RefusedTypedNameKeepsTheWindowOpen) {
  Type(0, "Сидоров_Сидор");
  form->BtnOK->click();
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].text, "Заполните поля правильно");
  Type(0, "Сидоров");
  form->BtnOK->click();
  EXPECT_FALSE(form->isVisible());
}

}  // namespace
}  // namespace orti
