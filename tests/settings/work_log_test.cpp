#include "settings/work_log.h"

#include <gtest/gtest.h>

#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace orti {
namespace {

using test::ReadBytes;
using test::ScriptedDialogs;
using test::TempDir;
using test::WriteBytes;

TEST(WorkLog, LeadingBlanksAndControlCharactersAreDropped) {
  WorkLog log;
  std::vector<std::string> shown;
  log.SetListeners([&](const std::string& l) { shown.push_back(l); }, [&] { shown.clear(); });
  log.AddLogLine(" Err2 7");
  log.AddLogLine("\t\x01  Запрос прерван");
  log.AddLogLine("   ");
  log.AddLogLine("");
  log.AddLogLine("inner  blanks stay ");
  const std::vector<std::string> expected{"Err2 7", "Запрос прерван", "", "",
                                          "inner  blanks stay "};
  EXPECT_EQ(log.Lines(), expected);
  EXPECT_EQ(shown, expected);
  log.Clear();
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_TRUE(shown.empty());
}

TEST(WorkLog, ATextWithLineBreaksBecomesSeveralLines) {
  WorkLog log;
  log.AddLogLine("Win32 Error:2 - No such file\r\nsecond\nthird");
  const std::vector<std::string> expected{"Win32 Error:2 - No such file", "second", "third"};
  EXPECT_EQ(log.Lines(), expected);
}

TEST(WorkLog, SavedFileIsCp1251WithCrLfAndReplacedEachTime) {
  TempDir dir;
  ConsoleState state;
  state.programFolder = dir.Path();
  ScriptedDialogs dialogs;
  WorkLog log;
  log.AddLogLine("Запрос папок прибора");
  SaveWorkLog(log, state, dialogs);
  const std::string path = dir.File("orti-415.txt");
  EXPECT_EQ(ReadBytes(path),
            "\xC7\xE0\xEF\xF0\xEE\xF1 \xEF\xE0\xEF\xEE\xEA \xEF\xF0\xE8\xE1\xEE\xF0\xE0\r\n");
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].text, "Протокол сохранен в файле\n" + path);

  log.AddLogLine("OK");
  SaveWorkLog(log, state, dialogs);
  EXPECT_EQ(ReadBytes(path),
            "\xC7\xE0\xEF\xF0\xEE\xF1 \xEF\xE0\xEF\xEE\xEA \xEF\xF0\xE8\xE1\xEE\xF0\xE0\r\nOK\r\n");

  log.Clear();
  SaveWorkLog(log, state, dialogs);
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(dialogs.Calls().size(), 3u);
}

TEST(WorkLog, AFileThatCannotBeWrittenIsReportedAndNothingChanges) {
  TempDir dir;
  ConsoleState state;
  state.programFolder = dir.File("no-such-folder/");
  ScriptedDialogs dialogs;
  WorkLog log;
  log.AddLogLine("line");
  SaveWorkLog(log, state, dialogs);
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].icon, DialogIcon::kError);
  EXPECT_NE(dialogs.Calls()[0].text.find("orti-415.txt"), std::string::npos);
  EXPECT_EQ(log.Lines().size(), 1u);
}

}  // namespace
}  // namespace orti
