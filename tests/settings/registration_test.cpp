#include "settings/registration.h"

#include <gtest/gtest.h>

#include "support/scripted_dialogs.h"

namespace orti {
namespace {

using test::ScriptedDialogs;

class RegistrationTest : public ::testing::Test {
 protected:
  RegistrationTest() {
    table.RebuildOperators({"Андреев_Андрей_Андреевич", "Борисов_Борис_Борисович"});
    FillRegistrationGrid(table, grid);
  }
  bool Accept(int row, NewOperatorCells cells = {}) {
    return AcceptRegistration(state, grid, row, NewEntryTyped(cells), cells, dialogs);
  }

  ConsoleState state;
  OperatorTable table;
  StringGrid grid;
  ScriptedDialogs dialogs;
};

TEST_F(RegistrationTest, GridHoldsTheOperatorsAndOneEmptyRow) {
  ASSERT_EQ(grid.RowCount(), 4);
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.Cell(1, 0), "Имя");
  EXPECT_EQ(grid.Cell(0, 1), "Андреев");
  EXPECT_EQ(grid.Cell(2, 2), "Борисович");
  EXPECT_EQ(grid.Cell(0, 3), "");
}

TEST_F(RegistrationTest, ChosenRowRegistersThatOperator) {
  ASSERT_TRUE(Accept(2));
  EXPECT_EQ(state.session.registrationResult, 2);
  EXPECT_EQ(state.session.surname, "Борисов");
  EXPECT_EQ(state.session.firstName, "Борис");
  EXPECT_EQ(state.session.patronymic, "Борисович");
}

TEST_F(RegistrationTest, TrailingEmptyRowGivesSingleBlanks) {
  ASSERT_TRUE(Accept(3));
  EXPECT_EQ(state.session.registrationResult, 3);
  EXPECT_EQ(state.session.surname + state.session.firstName + state.session.patronymic, "   ");
}

TEST_F(RegistrationTest, TypedEntryWinsOverTheSelectedRow) {
  ASSERT_TRUE(Accept(1, {"Сидоров", "", ""}));
  EXPECT_EQ(state.session.registrationResult, 0);
  EXPECT_EQ(state.session.surname, "Сидоров");
  EXPECT_EQ(state.session.firstName, "");
  AddRegisteredOperator(state, table);
  EXPECT_EQ(state.session.operators,
            (std::vector<std::string>{"Сидоров__"}));  // the list started empty in this test
  EXPECT_EQ(table.Count(), 3);
  EXPECT_EQ(table.Grid().Cell(0, 3), "Сидоров");
  AddRegisteredOperator(state, table);  // already there: nothing more
  EXPECT_EQ(table.Count(), 3);
}

TEST_F(RegistrationTest, TypedKnownOperatorIsNotAddedAgain) {
  ASSERT_TRUE(Accept(1, {"андреев", "АНДРЕЙ", "Андреевич"}));
  AddRegisteredOperator(state, table);
  EXPECT_EQ(table.Count(), 2);
  EXPECT_TRUE(state.session.operators.empty());
}

TEST_F(RegistrationTest, RefusedTypedNameKeepsTheWindowOpen) {
  state.session.registrationResult = 7;
  EXPECT_FALSE(Accept(1, {"Сидоров_", "Сидор", "Сидорович"}));
  EXPECT_FALSE(Accept(1, {"@Сидоров", "", ""}));
  EXPECT_EQ(state.session.registrationResult, 7);
  ASSERT_EQ(dialogs.Calls().size(), 2u);
  EXPECT_EQ(dialogs.Calls()[0].text, "Заполните поля правильно");
}

TEST_F(RegistrationTest, CancelGivesMinusOneAndEmptyParts) {
  state.session.surname = "x";
  CancelRegistration(state);
  EXPECT_EQ(state.session.registrationResult, -1);
  EXPECT_EQ(state.session.surname, "");
  EXPECT_EQ(state.session.patronymic, "");
}

TEST_F(RegistrationTest, OutOfRangeSelectionStaysOnARealRow) {
  ASSERT_TRUE(Accept(0));
  EXPECT_EQ(state.session.registrationResult, 1);
  ASSERT_TRUE(Accept(99));
  EXPECT_EQ(state.session.registrationResult, 3);
}

}  // namespace
}  // namespace orti
