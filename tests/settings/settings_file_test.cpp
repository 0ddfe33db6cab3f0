#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/cp1251.h"
#include "platform/profile_file.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace orti {
namespace {

using test::ReadBytes;
using test::ScriptedDialogs;
using test::TempDir;
using test::WriteBytes;

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() {
    state.settingsPath = dir.File("orti415.ini");
    state.settings.defaultNewFolderName = "Новая папка";
  }
  void WriteIni(const std::string& utf8) { WriteBytes(state.settingsPath, Utf8ToCp1251(utf8)); }
  std::string Ini() const { return Cp1251ToUtf8(ReadBytes(state.settingsPath)); }
  bool Load() { return LoadSettings(state, table); }

  TempDir dir;
  ConsoleState state;
  OperatorTable table;
  ScriptedDialogs dialogs;
};

TEST_F(SettingsFileTest, NoFileGivesTheByDatePageAndNoOperators) {
  state.settings.startPage = StartPage::kByFolders;
  EXPECT_FALSE(Load());
  EXPECT_EQ(state.settings.startPage, StartPage::kByDate);
  EXPECT_TRUE(state.session.operators.empty());
  EXPECT_EQ(state.settings.defaultNewFolderName, "Новая папка");
}

TEST_F(SettingsFileTest, ValidValuesAreTaken) {
  WriteIni(
      "[Startpage]\r\nStartpage=1\r\nStartStyle=1\r\n"
      "[Connection]\r\nConnection=2\r\nPort=10\r\nID=1\r\nFastRead=1\r\n"
      "[FolderName]\r\nNewFolderName=Серия_2_опыт\r\n");
  EXPECT_TRUE(Load());
  EXPECT_TRUE(state.link.fastRead);
  EXPECT_EQ(state.settings.startPage, StartPage::kByFolders);
  EXPECT_TRUE(state.settings.startMaximised);
  EXPECT_EQ(state.settings.connectionMode, 2);
  EXPECT_EQ(state.settings.fixedPort, 10);
  EXPECT_EQ(state.settings.defaultNewFolderName, "Серия 2 опыт");
}

TEST_F(SettingsFileTest, InvalidValuesFallBackToDefaults) {
  struct Case {
    const char* ini;
    StartPage startPage;
    bool maximised;
    int mode;
  } cases[] = {
      {"[Startpage]\r\nStartpage=7\r\nStartStyle=2\r\n", StartPage::kByDate, false, 1},
      {"[Startpage]\r\nStartpage=X\r\nStartStyle=yes\r\n", StartPage::kByDate, false, 1},
      {"[Startpage]\r\nStartpage=0\r\n[Connection]\r\nConnection=3\r\n", StartPage::kByDate, false,
       1},
      {"[Startpage]\r\nStartpage=-1\r\n[Connection]\r\nConnection=2\r\nPort=11\r\n",
       StartPage::kByDate, false, 1},
      {"[Connection]\r\nConnection=2\r\nPort=0\r\n", StartPage::kByDate, false, 1},
      {"[Connection]\r\nConnection=2\r\nID=1\r\n", StartPage::kByDate, false, 1},
      {"[Startpage]\r\nStartpage= 3 pages\r\n", StartPage::kSettings, false, 1},
      {"[FolderName]\r\nNewFolderName=Семнадцать_знаков\r\n", StartPage::kByDate, false, 1},
  };
  for (const Case& c : cases) {
    ConsoleState fresh;
    fresh.settingsPath = state.settingsPath;
    fresh.settings.defaultNewFolderName = "Новая папка";
    WriteIni(c.ini);
    ASSERT_TRUE(LoadSettings(fresh, table)) << c.ini;
    EXPECT_EQ(fresh.settings.startPage, c.startPage) << c.ini;
    EXPECT_EQ(fresh.settings.startMaximised, c.maximised) << c.ini;
    EXPECT_EQ(fresh.settings.connectionMode, c.mode) << c.ini;
    EXPECT_EQ(fresh.settings.defaultNewFolderName, "Новая папка") << c.ini;
  }
}

TEST_F(SettingsFileTest, SaveWritesTheKeysInOrderInCp1251) {
  state.session.operators = {"Петров_Пётр_Петрович"};
  SettingsPageValues values;
  values.startPage = StartPage::kSettings;
  values.newFolderName = "Серия 2 опыт";
  state.settings.settingsChanged = true;
  ASSERT_TRUE(SaveSettings(state, values, dialogs));
  EXPECT_FALSE(state.settings.settingsChanged);
  EXPECT_EQ(ReadBytes(state.settingsPath),
            Utf8ToCp1251("[Users]\r\nUsersCount=1\r\nUser0=Петров_Пётр_Петрович\r\n"
                         "[Startpage]\r\nStartpage=3\r\nStartStyle=0\r\n"
                         "[Connection]\r\nConnection=1\r\nFastRead=0\r\n"
                         "[FolderName]\r\nNewFolderName=Серия_2_опыт\r\n"));
  EXPECT_EQ(state.settings.defaultNewFolderName, "Серия 2 опыт");
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].text, "Настройки сохранены");

  ConsoleState next;
  next.settingsPath = state.settingsPath;
  ASSERT_TRUE(LoadSettings(next, table));
  EXPECT_EQ(next.settings.startPage, StartPage::kSettings);
  EXPECT_EQ(next.settings.defaultNewFolderName, "Серия 2 опыт");
  EXPECT_EQ(next.session.operators, state.session.operators);
}

TEST_F(SettingsFileTest, SaveKeepsForeignLinesAndOrder) {
  WriteIni(
      "; лабораторный пульт\r\n[FolderName]\r\nNewFolderName=Старое\r\nColour=blue\r\n\r\n"
      "[Startpage]\r\nstartpage=1\r\n");
  SettingsPageValues values;
  values.startPage = StartPage::kByDate;
  values.startMaximised = true;
  values.fastRead = true;
  values.fixedConnection = true;  // both numbers typed: mode 2 with them
  values.port = "3";
  values.device = "1";
  values.newFolderName = "Новая папка";
  ASSERT_TRUE(SaveSettings(state, values, dialogs));
  EXPECT_EQ(Ini(),
            "; лабораторный пульт\r\n[FolderName]\r\nNewFolderName=Новая_папка\r\nColour=blue\r\n"
            "\r\n[Startpage]\r\nStartpage=2\r\nStartStyle=1\r\n"
            "[Users]\r\nUsersCount=0\r\n"
            "[Connection]\r\nConnection=2\r\nPort=3\r\nID=1\r\nFastRead=1\r\n");
}

TEST_F(SettingsFileTest, FixedConnectionWithoutBothNumbersIsSavedAsAutomatic) {
  SettingsPageValues values;
  values.fixedConnection = true;
  values.port = "3";
  ASSERT_TRUE(SaveSettings(state, values, dialogs));
  std::string mode, port;
  EXPECT_TRUE(ReadSetting(state.settingsPath, "Connection", "Connection", mode));
  EXPECT_EQ(mode, "1");
  EXPECT_FALSE(ReadSetting(state.settingsPath, "Connection", "Port", port));
}

TEST_F(SettingsFileTest, EmptyFolderNameIsStoredEmptyAndReadsAsTheDefault) {
  state.settings.defaultNewFolderName = "Новая папка";
  ASSERT_TRUE(SaveSettings(state, SettingsPageValues{}, dialogs));
  EXPECT_NE(Ini().find("NewFolderName=\r\n"), std::string::npos);
  EXPECT_EQ(state.settings.defaultNewFolderName, "Новая папка");  // not left without a name
  ConsoleState next;
  next.settingsPath = state.settingsPath;
  next.settings.defaultNewFolderName = "Новая папка";
  ASSERT_TRUE(LoadSettings(next, table));
  EXPECT_EQ(next.settings.defaultNewFolderName, "Новая папка");

  // A name no folder could take is refused as a folder's name is, and nothing is saved.
  const std::string before = Ini();
  SettingsPageValues tooLong;
  tooLong.newFolderName = "Семнадцать знаков";
  EXPECT_FALSE(SaveSettings(state, tooLong, dialogs));
  EXPECT_EQ(dialogs.Calls().back().text, "Имя папки не может быть длиннее 16 символов");
  EXPECT_EQ(Ini(), before);
  EXPECT_TRUE(state.settings.settingsChanged);
}

TEST_F(SettingsFileTest, FailedWriteIsReportedAndEndsTheSave) {
  state.settingsPath = dir.File("missing/orti415.ini");
  state.settings.settingsChanged = true;
  ASSERT_FALSE(SaveSettings(state, SettingsPageValues{}, dialogs));
  ASSERT_EQ(dialogs.Calls().size(), 1u) << "one error, no success message";
  EXPECT_EQ(dialogs.Calls()[0].icon, DialogIcon::kError);
  EXPECT_NE(dialogs.Calls()[0].text.find(state.settingsPath), std::string::npos);
}

TEST_F(SettingsFileTest, DirectoryInTheFilesPlaceLeavesItUntouched) {
  ASSERT_EQ(mkdir(state.settingsPath.c_str(), 0755), 0);
  EXPECT_FALSE(SaveSettings(state, SettingsPageValues{}, dialogs));
  struct stat st {};
  ASSERT_EQ(stat(state.settingsPath.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(dialogs.Calls().size(), 1u);
}

// The whole file is written once: a save stopped at any write point leaves
// the old file or the new one, never a mix of the two lists of operators.
TEST_F(SettingsFileTest, ASaveKilledAtEveryWritePointLeavesTheOldOrTheNewFile) {
  struct Seam final : ReplaceSeam {
    int crashAt = 0;
    int calls = 0;
    int Before(ReplaceStep) override { return ++calls == crashAt ? kSimulatedCrash : 0; }
  };
  const std::string oldIni =
      "[Users]\r\nUsersCount=3\r\nUser0=Антонов_А_А\r\nUser1=Борисов_Б_Б\r\n"
      "User2=Волков_В_В\r\n[Startpage]\r\nStartpage=1\r\n";
  ConsoleState after = state;
  after.session.operators = {"Антонов_А_А", "Волков_В_В",
                             "Глебов_Г_Г"};  // Борисов deleted, Глебов added
  SettingsPageValues values;
  values.startPage = StartPage::kSettings;
  WriteIni(oldIni);
  Seam count;
  ASSERT_TRUE(SaveSettings(after, values, dialogs, &count));
  const std::string newIni = Ini();
  ASSERT_GE(count.calls, 7);
  for (int point = 1; point <= count.calls; ++point) {
    WriteIni(oldIni);
    Seam seam;
    seam.crashAt = point;
    ConsoleState saving = after;
    saving.settings.settingsChanged = true;
    SaveSettings(saving, values, dialogs, &seam);
    const std::string ini = Ini();
    EXPECT_TRUE(ini == Cp1251ToUtf8(Utf8ToCp1251(oldIni)) || ini == newIni) << point << ":\n"
                                                                            << ini;
  }
}

TEST_F(SettingsFileTest, AFailedSaveNamesThePathAndReasonAndKeepsTheFlag) {
  WriteIni("[Startpage]\r\nStartpage=1\r\n");
  ASSERT_EQ(chmod(state.settingsPath.c_str(), 0444), 0);
  state.settings.settingsChanged = true;
  EXPECT_FALSE(SaveSettings(state, SettingsPageValues{}, dialogs));
  EXPECT_TRUE(state.settings.settingsChanged);
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_NE(dialogs.Calls()[0].text.find(state.settingsPath), std::string::npos);
  EXPECT_NE(dialogs.Calls()[0].text.find("Permission denied"), std::string::npos)
      << dialogs.Calls()[0].text;
  EXPECT_EQ(Ini(), "[Startpage]\r\nStartpage=1\r\n");
}

// Issue 13: files written by programs on Windows.
TEST_F(SettingsFileTest, QuotedValuesAndCarriageReturnLinesGiveWhatWindowsGives) {
  WriteBytes(state.settingsPath,
             Utf8ToCp1251("[Users]\rUsersCount=\"2\"\rUser0='Иванов_Иван_Иванович'\r"
                          "User1=\"Петров_Пётр_Петрович\"\r[Startpage]\rStartpage=\"1\"\r"));
  ASSERT_TRUE(Load());
  EXPECT_EQ(state.session.operators,
            (std::vector<std::string>{"Иванов_Иван_Иванович", "Петров_Пётр_Петрович"}));
  EXPECT_EQ(state.settings.startPage, StartPage::kByFolders);
}

TEST_F(SettingsFileTest, QuestionIsAWarningWithYesAndNo) {
  dialogs.Expect(DialogAnswer::kYes);
  EXPECT_TRUE(AskSaveSettings(dialogs));
  dialogs.Expect(DialogAnswer::kNo);
  EXPECT_FALSE(AskSaveSettings(dialogs));
  const auto& call = dialogs.Calls().at(0);
  EXPECT_EQ(call.text,
            "Настройки были изменены\nРекомендуется сохранить изменения\nиначе они будут "
            "потеряны\nСохранить?");
  EXPECT_EQ(call.caption, "Настройки");
  EXPECT_EQ(call.icon, DialogIcon::kWarning);
  EXPECT_EQ(call.buttons, DialogButtons::kYesNo);
}

}  // namespace
}  // namespace orti
