#include "settings/operators.h"

#include <gtest/gtest.h>

#include "platform/cp1251.h"
#include "platform/profile_file.h"
#include "settings/registration.h"
#include "support/recording_log.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace orti {
namespace {

using test::ReadBytes;
using test::ScriptedDialogs;
using test::TempDir;
using test::WriteBytes;

using Rows = std::vector<std::vector<std::string>>;

Rows GridRows(const StringGrid& grid) {
  Rows rows;
  for (int r = 0; r < grid.RowCount(); ++r) {
    rows.push_back({grid.Cell(0, r), grid.Cell(1, r), grid.Cell(2, r)});
  }
  return rows;
}

class OperatorsTest : public ::testing::Test {
 protected:
  OperatorsTest() { state.settingsPath = dir.File("orti415.ini"); }
  bool Add(const std::string& s, const std::string& f, const std::string& p) {
    return AddOperator(state, table, {s, f, p}, dialogs).accepted;
  }

  TempDir dir;
  ConsoleState state;
  OperatorTable table;
  ScriptedDialogs dialogs;
};

TEST(OperatorEntries, SplitAtSeparatorsDroppingWhatFollowsTheThird) {
  OperatorParts p = SplitOperatorEntry("Иванов_Иван_Иванович");
  EXPECT_EQ(p.surname, "Иванов");
  EXPECT_EQ(p.firstName, "Иван");
  EXPECT_EQ(p.patronymic, "Иванович");
  p = SplitOperatorEntry("Сидоров__");
  EXPECT_EQ(p.surname, "Сидоров");
  EXPECT_EQ(p.firstName, "");
  p = SplitOperatorEntry("A_B_C_D_E");
  EXPECT_EQ(p.patronymic, "C");
  p = SplitOperatorEntry("Solo");
  EXPECT_EQ(p.surname, "Solo");
  EXPECT_EQ(p.patronymic, "");
  EXPECT_EQ(OperatorEntry({"A", "B", "C"}), "A_B_C");
}

TEST(OperatorEntries, ListStaysSortedAndUniqueIgnoringCase) {
  std::vector<std::string> list;
  EXPECT_TRUE(AddOperatorEntry(list, "Яковлев_Я_Я"));
  EXPECT_TRUE(AddOperatorEntry(list, "ёлкин_Е_Е"));
  EXPECT_TRUE(AddOperatorEntry(list, "Ежов_Е_Е"));
  EXPECT_TRUE(AddOperatorEntry(list, "андреев_А_А"));
  EXPECT_FALSE(AddOperatorEntry(list, "ЯКОВЛЕВ_я_я"));
  EXPECT_FALSE(AddOperatorEntry(list, "Андреев_а_А"));
  EXPECT_EQ(list,
            (std::vector<std::string>{"андреев_А_А", "Ежов_Е_Е", "ёлкин_Е_Е", "Яковлев_Я_Я"}));
}

TEST(OperatorEntries, RefusedNameParts) {
  for (const char* bad : {"Ив_анов", "Иванов;", "=СУММ(A1)", "+7", "-Иванов", "@home", "Ив\tанов",
                          "Ив\x7F", "Ив\xC2\x85", "Ivan 漢"}) {
    EXPECT_FALSE(NamePartIsValid(bad)) << bad;
  }
  for (const char* good : {"Иванов", "Римский-Корсаков", "O'Brien", "Ёлкин", "d'Artagnan", ""}) {
    EXPECT_TRUE(NamePartIsValid(good)) << good;
  }
  // The whole name, as it ends every exported line, holds at most 64 characters.
  std::string thirty;  // 30 characters, 60 bytes
  for (int i = 0; i < 30; ++i) thirty += "Ж";
  EXPECT_TRUE(OperatorEntryIsValid(thirty + "_" + thirty + "_Ян"));
  EXPECT_FALSE(OperatorEntryIsValid(thirty + "_" + thirty + "_Яна"));
}

TEST_F(OperatorsTest, TableStartsWithHeaderAndOneEmptyRow) {
  EXPECT_EQ(GridRows(table.Grid()), (Rows{{"Фамилия", "Имя", "Отчество"}, {"", "", ""}}));
  EXPECT_EQ(table.Grid().ColWidth(0), 99);
  EXPECT_EQ(table.Grid().ColWidth(1), 95);
  EXPECT_EQ(table.Grid().ColWidth(2), 104);
  EXPECT_EQ(table.Count(), 0);
}

TEST_F(OperatorsTest, AddedOperatorsGoToTheEndOfTheGridAndSortedIntoTheList) {
  ASSERT_TRUE(Add("Сидоров", "Сидор", "Сидорович"));
  ASSERT_TRUE(Add("Андреев", "Андрей", "Андреевич"));
  EXPECT_TRUE(state.settings.settingsChanged);
  EXPECT_EQ(state.session.operators,
            (std::vector<std::string>{"Андреев_Андрей_Андреевич", "Сидоров_Сидор_Сидорович"}));
  EXPECT_EQ(GridRows(table.Grid()), (Rows{{"Фамилия", "Имя", "Отчество"},
                                          {"Сидоров", "Сидор", "Сидорович"},
                                          {"Андреев", "Андрей", "Андреевич"}}));
  // The same operator in another case adds nothing and says nothing.
  state.settings.settingsChanged = false;
  ASSERT_TRUE(Add("СИДОРОВ", "сидор", "СидорОвич"));
  EXPECT_EQ(state.session.operators.size(), 2u);
  EXPECT_EQ(table.Count(), 2);
  EXPECT_TRUE(state.settings.settingsChanged);
  EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(OperatorsTest, EmptyOrUnsafePartsAreRefusedAndChangeNothing) {
  for (OperatorParts bad : {OperatorParts{"", "Иван", "Иванович"},
                            {"Иванов", "", "Иванович"},
                            {"Иванов", "Иван", ""},
                            {"Ив_анов", "Иван", "Иванович"},
                            {"Иванов", "Иван;", "Иванович"},
                            {"Иванов", "Иван", "=1+1"},
                            {std::string(41, 'Z'), std::string(20, 'Z'), "Ян"}}) {
    EXPECT_FALSE(AddOperator(state, table, bad, dialogs).accepted);
  }
  EXPECT_TRUE(state.session.operators.empty());
  EXPECT_EQ(table.Count(), 0);
  EXPECT_FALSE(state.settings.settingsChanged);
  ASSERT_EQ(dialogs.Calls().size(), 7u);
  for (const auto& call : dialogs.Calls()) EXPECT_EQ(call.text, "Заполните поля правильно");
}

TEST_F(OperatorsTest, AddingToAnEmptyListRegistersAtStartAndAfterDeletions) {
  AddOutcome first = AddOperator(state, table, {"Петров", "Пётр", "Петрович"}, dialogs);
  EXPECT_TRUE(first.registered);
  EXPECT_EQ(state.session.surname, "Петров");
  EXPECT_EQ(state.session.firstName, "Пётр");
  EXPECT_EQ(state.session.patronymic, "Петрович");

  // A second one joins a list that is not empty: the operator stays.
  EXPECT_FALSE(AddOperator(state, table, {"Сидоров", "Сидор", "Сидорович"}, dialogs).registered);
  EXPECT_EQ(state.session.surname, "Петров");

  // A list emptied by deletions is empty: the next one added registers.
  ASSERT_FALSE(DeleteOperator(state, table, 1));
  ASSERT_TRUE(DeleteOperator(state, table, 1));
  AddOutcome later = AddOperator(state, table, {"Иванов", "Иван", "Иванович"}, dialogs);
  EXPECT_TRUE(later.registered);
  EXPECT_EQ(state.session.surname, "Иванов");
}

TEST_F(OperatorsTest, NamePartsAreTrimmedOfBlanksWhenAdded) {
  ASSERT_TRUE(Add("  Иванов ", "\tИван", "Иванович  "));
  EXPECT_EQ(state.session.operators, (std::vector<std::string>{"Иванов_Иван_Иванович"}));
  EXPECT_EQ(GridRows(table.Grid())[1], (std::vector<std::string>{"Иванов", "Иван", "Иванович"}));
  EXPECT_FALSE(Add("   ", "Иван", "Иванович")) << "blanks only is empty";
}

TEST_F(OperatorsTest, DeleteRemovesTheRowsEntryAndRebuildsSorted) {
  ASSERT_TRUE(Add("Сидоров", "Сидор", "Сидорович"));
  ASSERT_TRUE(Add("Андреев", "Андрей", "Андреевич"));
  ASSERT_TRUE(Add("Борисов", "Борис", "Борисович"));
  state.settings.settingsChanged = false;
  EXPECT_FALSE(DeleteOperator(state, table, 2));  // Андреев, shown second until rebuilt
  EXPECT_TRUE(state.settings.settingsChanged);
  EXPECT_EQ(GridRows(table.Grid()), (Rows{{"Фамилия", "Имя", "Отчество"},
                                          {"Борисов", "Борис", "Борисович"},
                                          {"Сидоров", "Сидор", "Сидорович"}}));
  EXPECT_FALSE(DeleteOperator(state, table, 1));
  EXPECT_TRUE(DeleteOperator(state, table, 1));
  EXPECT_EQ(GridRows(table.Grid()), (Rows{{"Фамилия", "Имя", "Отчество"}, {"", "", ""}}));
  // The empty row of an empty list removes nothing but is still a change.
  state.settings.settingsChanged = false;
  EXPECT_TRUE(DeleteOperator(state, table, 1));
  EXPECT_TRUE(state.settings.settingsChanged);
}

TEST_F(OperatorsTest, EntryWithExtraSeparatorsFromAnOldFileCanBeDeleted) {
  WriteBytes(state.settingsPath,
             Utf8ToCp1251("[Users]\r\nUsersCount=2\r\nUser0=Мамин_Сибиряк_Дмитрий_Наркисович\r\n"
                          "User1=Чехов_Антон_Павлович\r\n"));
  LoadOperators(ReadProfileFile(state.settingsPath), state, table);
  // Four parts: a name typed on the page could not have made it, so it is shown marked.
  EXPECT_EQ(
      GridRows(table.Grid())[1],
      (std::vector<std::string>{std::string(kRefusedEntryMark) + "Мамин", "Сибиряк", "Дмитрий"}));
  EXPECT_FALSE(table.IsValid(0));
  EXPECT_FALSE(DeleteOperator(state, table, 1));
  EXPECT_EQ(state.session.operators, (std::vector<std::string>{"Чехов_Антон_Павлович"}));
}

TEST_F(OperatorsTest, LoadSkipsMissingKeysAndSortsWithoutDuplicates) {
  WriteBytes(state.settingsPath,
             Utf8ToCp1251("[Users]\r\nUsersCount=5\r\nUser0=Яковлев_Яков_Яковлевич\r\n"
                          "User2=андреев_андрей_андреевич\r\nUser3=\r\n"
                          "User4=ЯКОВЛЕВ_ЯКОВ_ЯКОВЛЕВИЧ\r\nUser5=Лишний_Л_Л\r\n"));
  LoadOperators(ReadProfileFile(state.settingsPath), state, table);
  EXPECT_EQ(state.session.operators,
            (std::vector<std::string>{"андреев_андрей_андреевич", "Яковлев_Яков_Яковлевич"}));
  EXPECT_EQ(table.Count(), 2);
  EXPECT_EQ(table.Operator(1).surname, "Яковлев");
}

TEST_F(OperatorsTest, HugeCountDoesNotHangTheLoad) {
  WriteBytes(state.settingsPath, "[Users]\r\nUsersCount=2000000000\r\nUser0=A_B_C\r\n");
  LoadOperators(ReadProfileFile(state.settingsPath), state, table);
  EXPECT_EQ(state.session.operators, (std::vector<std::string>{"A_B_C"}));
}

TEST_F(OperatorsTest, ShorterListLeavesTheOldKeysWhichAreNeverRead) {
  state.session.operators = {"A_A_A", "B_B_B", "C_C_C"};
  ASSERT_TRUE(SaveOperators(state, dialogs));
  state.session.operators = {"D_D_D"};
  ASSERT_TRUE(SaveOperators(state, dialogs));
  EXPECT_EQ(ReadBytes(state.settingsPath),
            "[Users]\r\nUsersCount=1\r\nUser0=D_D_D\r\nUser1=B_B_B\r\nUser2=C_C_C\r\n");
  ConsoleState next;
  LoadOperators(ReadProfileFile(state.settingsPath), next, table);
  EXPECT_EQ(next.session.operators, (std::vector<std::string>{"D_D_D"}));
}

// Names from the file pass the check typed names pass.
TEST_F(OperatorsTest, RefusedEntriesFromTheFileStayListedButAreNeverOffered) {
  const std::string formula = "Иванов;=HYPERLINK(\"http://x\";\"y\")_Иван_Иванович";
  WriteBytes(state.settingsPath,
             Utf8ToCp1251("[Users]\r\nUsersCount=4\r\nUser0=" + formula +
                          "\r\nUser1=  Петров _ Пётр_Петрович \r\nUser2==1+1_А_Б\r\n"
                          "User3=Сидоров_Сидор_Сидорович\r\n"));
  test::RecordingLog log;
  LoadOperators(ReadProfileFile(state.settingsPath), state, table, &log);
  // Sorted, the refused ones included; blanks around parts trimmed.
  EXPECT_EQ(state.session.operators,
            (std::vector<std::string>{"=1+1_А_Б", formula, "Петров_Пётр_Петрович",
                                      "Сидоров_Сидор_Сидорович"}));
  ASSERT_EQ(table.Count(), 4);
  EXPECT_FALSE(table.IsValid(0));
  EXPECT_FALSE(table.IsValid(1));
  EXPECT_TRUE(table.IsValid(2));
  EXPECT_EQ(table.ValidCount(), 2);
  EXPECT_EQ(table.Grid().Cell(0, 2).rfind(kRefusedEntryMark, 0), 0u) << "shown marked";
  ASSERT_EQ(log.lines.size(), 2u) << "one work-log line each";
  EXPECT_NE(log.lines[0].find("HYPERLINK"), std::string::npos);

  // Not offered for registration.
  StringGrid users;
  FillRegistrationGrid(table, users);
  ASSERT_EQ(users.RowCount(), 4);
  EXPECT_EQ(users.Cell(0, 1), "Петров");
  EXPECT_EQ(users.Cell(0, 2), "Сидоров");

  // Written back in its sorted place, so nothing of the file is lost.
  ASSERT_TRUE(SaveOperators(state, dialogs));
  ConsoleState next;
  OperatorTable again;
  LoadOperators(ReadProfileFile(state.settingsPath), next, again);
  EXPECT_EQ(next.session.operators, state.session.operators);

  // Deleting it from the settings page works.
  EXPECT_FALSE(DeleteOperator(state, table, 2));
  EXPECT_EQ(state.session.operators.size(), 3u);
  EXPECT_EQ(state.session.operators[1], "Петров_Пётр_Петрович");
}

TEST_F(OperatorsTest, OperatorIsNewComparesEveryPartIgnoringCase) {
  table.AppendOperatorRow("Иванов", "Иванович", "Иван");
  EXPECT_FALSE(table.OperatorIsNew("ИВАНОВ", "иванович", "иВАН"));
  EXPECT_TRUE(table.OperatorIsNew("Иванов", "Петрович", "Иван"));
  EXPECT_TRUE(table.OperatorIsNew("Иванов", "Иванович", ""));
}

}  // namespace
}  // namespace orti
