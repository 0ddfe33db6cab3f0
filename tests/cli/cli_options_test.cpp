#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include "cli/cli_commands.h"
#include "model/notepad_model.h"
#include "platform/date_time.h"

namespace orti::cli {
namespace {

using Args = std::vector<std::string>;

CliOptions Parsed(const Args& args) {
  CliOptions options;
  std::string error;
  EXPECT_TRUE(ParseCliOptions(args, options, error)) << error;
  return options;
}

std::string Refusal(const Args& args) {
  CliOptions options;
  std::string error;
  EXPECT_FALSE(ParseCliOptions(args, options, error));
  return error;
}

TEST(CliOptions, GlobalOptionsComeBeforeTheCommand) {
  const CliOptions o = Parsed({"--port", "7", "--operator", "Петров Иван Ильич", "read"});
  EXPECT_EQ(o.port, 7);
  EXPECT_EQ(o.operatorName, "Петров Иван Ильич");
  EXPECT_EQ(o.command, Command::kRead);
  EXPECT_FALSE(o.byDate);
  EXPECT_EQ(Parsed({"read"}).port, 0);
  EXPECT_FALSE(Parsed({"read"}).operatorName);
  // After the command --port is not a global option.
  EXPECT_NE(Refusal({"read", "--port", "7"}), "");
}

TEST(CliOptions, PortNumbersAreOneToSixtyThree) {
  EXPECT_EQ(Parsed({"--port", "63", "identify"}).port, 63);
  for (const char* bad : {"0", "64", "-1", "+3", "3x", "", " 3", "99999999999"}) {
    EXPECT_NE(Refusal({"--port", bad, "identify"}), "") << bad;
  }
  EXPECT_NE(Refusal({"--port"}), "");
  EXPECT_NE(Refusal({"--operator"}), "");
}

TEST(CliOptions, ExportTakesAFileAndOneWayWithAnExistingFile) {
  CliOptions o = Parsed({"export", "out.csv", "--by-date", "--extend"});
  EXPECT_EQ(o.command, Command::kExport);
  EXPECT_EQ(o.file, "out.csv");
  EXPECT_TRUE(o.byDate);
  EXPECT_EQ(o.existingFile, ExistingFile::kExtend);
  EXPECT_EQ(Parsed({"export", "--replace", "a.txt"}).existingFile, ExistingFile::kReplace);
  EXPECT_EQ(Parsed({"export", "a.txt"}).existingFile, ExistingFile::kRefuse);
  EXPECT_EQ(Parsed({"export", "a.txt", "--extend", "--extend"}).existingFile,
            ExistingFile::kExtend);
  EXPECT_NE(Refusal({"export", "a.txt", "--extend", "--replace"}), "");
  EXPECT_NE(Refusal({"export"}), "");
  EXPECT_NE(Refusal({"export", "a", "b"}), "");
  EXPECT_NE(Refusal({"export", ""}), "");
  // Options of other commands are not taken.
  EXPECT_NE(Refusal({"read", "--extend"}), "");
  EXPECT_NE(Refusal({"mkdir", "X", "--by-date"}), "");
}

TEST(CliOptions, FolderCommandsTakeFolderNumbersAndNames) {
  CliOptions o = Parsed({"rename", "2", "ВОДА"});
  EXPECT_EQ(o.command, Command::kRename);
  EXPECT_EQ(o.folder, 2);
  EXPECT_EQ(o.folderName, "ВОДА");
  EXPECT_EQ(Parsed({"mkdir", "Новая"}).folderName, "Новая");
  EXPECT_EQ(Parsed({"rmdir", "0"}).folder, 0);
  EXPECT_EQ(Parsed({"clear", "99"}).folder, 99);
  EXPECT_EQ(Parsed({"clear-all"}).command, Command::kClearAll);
  // "--" is taken as a word, not as an option.
  EXPECT_EQ(Parsed({"mkdir", "--"}).folderName, "--");
  EXPECT_NE(Refusal({"rename", "2"}), "");
  EXPECT_NE(Refusal({"rename", "x", "NAME"}), "");
  EXPECT_NE(Refusal({"rmdir", "100"}), "");
  EXPECT_NE(Refusal({"rmdir", "-1"}), "");
  EXPECT_NE(Refusal({"clear"}), "");
  EXPECT_NE(Refusal({"clear-all", "3"}), "");
  EXPECT_NE(Refusal({"mkdir"}), "");
}

TEST(CliOptions, DeleteTakesFolderColonSlotPairs) {
  const CliOptions o = Parsed({"delete", "0:3", "2:24"});
  ASSERT_EQ(o.records.size(), 2u);
  EXPECT_EQ(o.records[0].folder, 0);
  EXPECT_EQ(o.records[0].record, 3);
  EXPECT_EQ(o.records[1].folder, 2);
  EXPECT_EQ(o.records[1].record, 24);
  for (const char* bad : {"0:25", "0", ":1", "1:", "1:2:3", "a:1", "100:0", "-1:0"}) {
    EXPECT_NE(Refusal({"delete", bad}), "") << bad;
  }
  EXPECT_NE(Refusal({"delete"}), "");
}

TEST(CliOptions, RestoreTakesABackupFileAndFolderNumbers) {
  const CliOptions all = Parsed({"restore", "b.txt"});
  EXPECT_EQ(all.command, Command::kRestore);
  EXPECT_EQ(all.file, "b.txt");
  EXPECT_TRUE(all.folders.empty());
  EXPECT_EQ(Parsed({"restore", "b.txt", "3", "0"}).folders, (std::vector<int>{3, 0}));
  for (const Args& bad : {Args{"restore"}, Args{"restore", "b.txt", "100"}, Args{"restore", ""}}) {
    EXPECT_NE(Refusal(bad), "");
  }
}

TEST(CliOptions, HelpAndUnknownWords) {
  EXPECT_TRUE(Parsed({"--help"}).help);
  EXPECT_TRUE(Parsed({"read", "--help"}).help);
  EXPECT_NE(Refusal({}), "");
  EXPECT_NE(Refusal({"list"}), "");
  EXPECT_NE(Refusal({"--verbose", "read"}), "");
  EXPECT_NE(CliUsage().find("delete N:S"), std::string::npos);
}

TEST(CliOptions, ShortHelpVersionAndOptionEqualsValue) {
  EXPECT_TRUE(Parsed({"-h"}).help);
  EXPECT_TRUE(Parsed({"read", "-h"}).help);
  EXPECT_TRUE(Parsed({"--version"}).version);
  EXPECT_EQ(CliVersion(), "orti415-cli " ORTI415_VERSION_FOR_TESTS "\n");
  const CliOptions o = Parsed({"--port=7", "--operator=Петров Иван Ильич", "export", "a=b.csv"});
  EXPECT_EQ(o.port, 7);
  EXPECT_EQ(o.operatorName, "Петров Иван Ильич");
  EXPECT_EQ(o.file, "a=b.csv");
  EXPECT_EQ(Parsed({"--operator=", "read"}).operatorName, "");
  EXPECT_EQ(Parsed({"--trace=/tmp/t.txt", "--fast", "read"}).traceFile, "/tmp/t.txt");
  EXPECT_NE(Refusal({"--fast=1", "read"}), "");
  EXPECT_NE(Refusal({"--port=64", "read"}), "");
  EXPECT_NE(Refusal({"--port=", "read"}), "");
  EXPECT_NE(Refusal({"export", "f.csv", "--extend=yes"}), "");
  EXPECT_NE(Refusal({"read", "--by-date=1"}), "");
}

TEST(CliOptions, ArchiveSubcommandsTakeFiltersFilesAndImportNumbers) {
  const CliOptions list = Parsed({"--no-archive", "archive", "list", "--from", "2026-03-01", "--to",
                                  "2026-03-31", "--folder", "Вода", "--mode", "pH25"});
  EXPECT_TRUE(list.noArchive);
  EXPECT_EQ(list.command, Command::kArchive);
  EXPECT_EQ(list.archive.command, ArchiveCommand::kList);
  EXPECT_EQ(list.archive.filter.from, EncodeDate(2026, 3, 1));
  EXPECT_EQ(list.archive.filter.to, EncodeDate(2026, 3, 31));
  EXPECT_EQ(list.archive.filter.folderContains, "Вода");
  EXPECT_EQ(list.archive.filter.mode, kModePh25);
  const CliOptions import = Parsed({"archive", "import", "a.csv", "b.csv"});
  EXPECT_EQ(import.archive.files, (Args{"a.csv", "b.csv"}));
  EXPECT_EQ(Parsed({"archive", "forget-import", "12"}).archive.batch, 12);
  EXPECT_TRUE(Parsed({"archive", "export", "x.csv", "--extend"}).archive.extend);

  const Args refused[] = {
      {"archive"},
      {"archive", "drop"},
      {"archive", "list", "--from", "2026-02-30"},
      {"archive", "list", "--mode", "ph"},
      {"archive", "stats", "--folder", "x"},  // filters only where rows are listed
      {"archive", "export"},
      {"archive", "export", "x.csv", "--extend", "--replace"},
      {"archive", "import"},
      {"archive", "forget-import", "0"},
      {"archive", "forget-import", "1x"},
      {"archive", "backup", "a", "b"},
  };
  for (const Args& args : refused) EXPECT_FALSE(Refusal(args).empty()) << args.back();
}

TEST(OperatorName, SplitsIntoThePartsTheSettingsPageKeeps) {
  auto parts = SplitOperatorName("  Петров   Иван Ильич ");
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->surname, "Петров");
  EXPECT_EQ(parts->firstName, "Иван");
  EXPECT_EQ(parts->patronymic, "Ильич");
  parts = SplitOperatorName("Петров");
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->firstName, "");
  EXPECT_EQ(SplitOperatorName("Петров Иван Ильич Младший")->patronymic, "Ильич Младший");
}

TEST(OperatorName, RefusesWhatWouldBreakOrSubvertTheExportLine) {
  for (const char* bad : {"", "   ", "=HYPERLINK(1) Иван", "Петров Иван;Ильич", "Петров_Иван",
                          "Петров @Иван", "Петров -Иван", "Petrov \x01"}) {
    EXPECT_FALSE(SplitOperatorName(bad)) << bad;
  }
}

}  // namespace
}  // namespace orti::cli
