// The commands in one process against the simulated instrument in virtual
// time: the refusals and failures that need no real line to show.

#include "cli/cli_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "archive/sqlite_archive.h"
#include "device/device_link.h"
#include "device/memory_map.h"
#include "device/record_decoder.h"
#include "folders/folder_operations.h"
#include "folders/synchronisation.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "support/sim_rig.h"
#include "support/temp_dir.h"

namespace orti::cli {
namespace {

constexpr uint16_t kSmallNotepad = 62464;

// The generated small notepad; `adjust` changes its memory first.
sim::MemoryImage SmallNotepad(void (*adjust)(sim::MemoryImage&) = nullptr) {
  sim::MemoryImage memory = sim::GenerateNotepad({5, kSmallNotepad, 200});
  if (adjust) adjust(memory);
  return memory;
}

struct Commands {
  explicit Commands(void (*adjust)(sim::MemoryImage&) = nullptr)
      : rig(SmallNotepad(adjust), kSmallNotepad) {}
  test::SimRig rig;
  test::TempDir dir;
  CliEnvironment env{rig.port, rig.clock, dir.Path(), ",", LocalNow()};
  std::ostringstream out, err;

  int Run(const std::vector<std::string>& args) {
    CliOptions options;
    std::string error;
    EXPECT_TRUE(ParseCliOptions(args, options, error)) << error;
    out.str("");
    err.str("");
    return RunCommand(options, env, PortMap(), out, err);
  }
  bool AnyWriteSent() const {
    // Write requests carry function code 0x12 after the device address.
    return rig.port.Sent().find(":0112") != std::string::npos;
  }
};

TEST(CliCommands, IdentifyPrintsTheIdentityWithoutReadingTheNotepad) {
  Commands c;
  EXPECT_EQ(c.Run({"--port", "1", "identify"}), kExitOk) << c.err.str();
  EXPECT_NE(c.out.str().find("Наименование прибора\tОРТИ-415\n"), std::string::npos);
  EXPECT_NE(c.out.str().find("Адрес блокнота\t62464\n"), std::string::npos);
  EXPECT_EQ(c.rig.port.Sent().find(":0102"), std::string::npos) << "no read request";
}

TEST(CliCommands, ReadUsesTheSeparatorItIsGiven) {
  Commands c;
  EXPECT_EQ(c.Run({"--port", "1", "read"}), kExitOk) << c.err.str();
  const std::string rows = c.out.str();
  ASSERT_FALSE(rows.empty());
  std::istringstream firstRow(rows.substr(0, rows.find('\n')));
  std::vector<std::string> fields;
  for (std::string field; std::getline(firstRow, field, ';');) fields.push_back(field);
  ASSERT_EQ(fields.size(), 7u) << rows;
  // Folder, mode, date, then temperature, EMF, pH and pH25.
  for (size_t i = 3; i < fields.size(); ++i) {
    EXPECT_NE(fields[i].find(','), std::string::npos) << fields[i];
    EXPECT_EQ(fields[i].find('.'), std::string::npos) << fields[i];
  }
}

TEST(CliCommands, AnExistingExportFileNeedsExtendOrReplace) {
  Commands c;
  const std::string file = c.dir.File("out.csv");
  test::WriteBytes(file, "старое\r\n");
  EXPECT_EQ(c.Run({"--port", "1", "export", file}), kExitRefused);
  EXPECT_NE(c.err.str().find("Файл уже существует."), std::string::npos) << c.err.str();
  EXPECT_NE(c.err.str().find("--extend"), std::string::npos) << c.err.str();
  EXPECT_NE(c.err.str().find("--replace"), std::string::npos) << c.err.str();
  EXPECT_EQ(test::ReadBytes(file), "старое\r\n");
  // Refused before the instrument is asked anything.
  EXPECT_TRUE(c.rig.port.Sent().empty()) << c.rig.port.Sent();
  // The same for the name the export would write (".csv" added).
  EXPECT_EQ(c.Run({"--port", "1", "export", c.dir.File("out")}), kExitRefused);
  EXPECT_TRUE(c.rig.port.Sent().empty());
  EXPECT_EQ(c.Run({"--port", "1", "export", c.dir.Path() + "."}), kExitRefused);
  EXPECT_NE(c.err.str().find("это папка"), std::string::npos) << c.err.str();

  // Another structure is not extended either.
  EXPECT_EQ(c.Run({"--port", "1", "export", file, "--extend"}), kExitRefused);
  EXPECT_NE(c.err.str().find("Структура файла"), std::string::npos) << c.err.str();
  EXPECT_EQ(test::ReadBytes(file), "старое\r\n");

  EXPECT_EQ(c.Run({"--port", "1", "export", file, "--replace"}), kExitOk) << c.err.str();
  const std::string text = Cp1251ToUtf8(test::ReadBytes(file));
  EXPECT_EQ(text.rfind("Папка;Режим;Дата/Время;", 0), 0u) << text;
  // Three blanks for the operator when the settings file names nobody.
  EXPECT_NE(text.find(";   \r\n"), std::string::npos);
}

TEST(CliCommands, AnExportThatCannotBeWrittenFails) {
  Commands c;
  EXPECT_EQ(c.Run({"--port", "1", "export", c.dir.File("missing/out.csv")}), kExitFailed);
  EXPECT_NE(c.err.str().find("Ошибка при открытии файла"), std::string::npos) << c.err.str();
}

TEST(CliCommands, ARecordNoViewShowsIsRefusedAndNothingIsWritten) {
  Commands c;
  EXPECT_EQ(c.Run({"--port", "1", "delete", "99:3"}), kExitRefused);
  EXPECT_NE(c.err.str().find("Нет записи 99:3"), std::string::npos) << c.err.str();
  EXPECT_FALSE(c.AnyWriteSent());
}

TEST(CliCommands, FolderOperationsRefuseWhatTheFoldersPageRefuses) {
  Commands c;
  EXPECT_EQ(c.Run({"--port", "1", "rename", "0", "ИТОГ"}), kExitRefused);
  EXPECT_NE(c.err.str().find(kMsgCannotRename), std::string::npos) << c.err.str();
  EXPECT_EQ(c.Run({"--port", "1", "rmdir", "50"}), kExitRefused);
  EXPECT_NE(c.err.str().find(kMsgCannotRemove), std::string::npos) << c.err.str();
  EXPECT_FALSE(c.AnyWriteSent());
}

TEST(CliCommands, NothingIsWrittenIntoAFolderReadInPart) {
  // The third read is folder 0's second chunk, the ninth folder 1's first.
  const struct {
    int silencedRead;
    std::vector<std::string> args;
    const char* refusal;
  } cases[] = {
      {3, {"clear", "0"}, kMsgNotReadInFull},
      {3, {"clear-all"}, kMsgNotReadInFull},
      {3, {"mkdir", "НОВАЯ"}, "Блокнот прочитан не полностью"},
      {9, {"rename", "1", "ИТОГ"}, kMsgNotReadInFull},
      {9, {"rmdir", "1"}, kMsgNotReadInFull},
      {9, {"delete", "1:2"}, kMsgNotReadInFull},
  };
  for (const auto& k : cases) {
    Commands c;
    c.rig.SilenceExchange(sim::RequestKind::kRead, k.silencedRead);
    std::vector<std::string> args{"--port", "1"};
    args.insert(args.end(), k.args.begin(), k.args.end());
    EXPECT_EQ(c.Run(args), kExitFailed) << k.args[0];
    EXPECT_NE(c.err.str().find(k.refusal), std::string::npos) << c.err.str();
    EXPECT_FALSE(c.AnyWriteSent()) << k.args[0];
  }
}

TEST(CliCommands, AFailedWriteGivesStatusOne) {
  Commands c;
  c.rig.ErrorReply(sim::RequestKind::kWrite, 0);
  EXPECT_EQ(c.Run({"--port", "1", "mkdir", "НОВАЯ"}), kExitFailed);
  EXPECT_NE(c.err.str().find("Запись в прибор выполнена не полностью"), std::string::npos)
      << c.err.str();
}

TEST(CliCommands, AConversionMessageOfTheReadingIsNoRefusal) {
  // A record of folder 0 whose time of day lies past midnight.
  Commands c([](sim::MemoryImage& memory) {
    for (int s = 0; s < kShownSlots; ++s) {
      uint8_t* slot = memory.data() + kSmallNotepad + kFolderHeaderSize + kRecordSize * s;
      if (slot[0] < kModePh || slot[0] > kModeMv) continue;
      slot[3] = slot[4] = 0xFF;
      return;
    }
  });
  EXPECT_EQ(c.Run({"--port", "1", "rename", "1", "НОВОЕ"}), kExitOk) << c.err.str();
  EXPECT_NE(c.err.str().find(kDateTimeConversionError), std::string::npos);
  EXPECT_TRUE(c.AnyWriteSent());
}

TEST(CliCommands, ARefusedOperatorNameStopsBeforeThePort) {
  Commands c;
  EXPECT_EQ(c.Run({"--operator", "=cmd() Иван", "--port", "1", "read"}), kExitRefused);
  EXPECT_NE(c.err.str().find(kRefusedNameMessage), std::string::npos);
  EXPECT_EQ(c.rig.port.Sent(), "");
}

TEST(CliCommands, AReadingIsArchivedUnderTheOperatorGiven) {
  Commands c;
  c.env.archivePath = c.dir.File("a.sqlite");
  EXPECT_EQ(c.Run({"--operator", "Сидоров Сидор Сидорович", "--port", "1", "read"}), kExitOk)
      << c.err.str();
  const std::vector<Measurement> rows = SqliteArchive(c.env.archivePath).Query({});
  ASSERT_FALSE(rows.empty());
  for (const Measurement& m : rows) EXPECT_EQ(m.operatorName, "Сидоров Сидор Сидорович");
}

// Nothing added and lines refused: input refused before anything was
// written. The first hundred refusals are named, the rest counted.
TEST(CliCommands, AnImportThatOnlyRefusesGivesStatusTwoAndNamesAHundredLines) {
  Commands c;
  c.env.archivePath = c.dir.File("a.sqlite");
  std::string text = Utf8ToCp1251("Дата/Время;Папка;Режим;T (C);ЭДС (мВ);pH;pH25;Исполнитель\r\n");
  for (int i = 0; i < 150; ++i) text += "05.05.2025 10:00:00;A;pH;1;1;nan;1;B\r\n";
  test::WriteBytes(c.dir.File("bad.csv"), text);
  EXPECT_EQ(c.Run({"archive", "import", c.dir.File("bad.csv")}), kExitRefused);
  const std::string err = c.err.str();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 101) << err;
  EXPECT_NE(err.find("bad.csv: строка 101: число nan\n"), std::string::npos);
  EXPECT_EQ(err.find("строка 102:"), std::string::npos);
  EXPECT_NE(err.find("и ещё 50 строк не прочитано\n"), std::string::npos);
  EXPECT_NE(c.out.str().find("bad.csv: добавлено 0, не прочитано строк: 150"), std::string::npos);
  EXPECT_TRUE(SqliteArchive(c.env.archivePath).Imports().empty());
}

}  // namespace
}  // namespace orti::cli
