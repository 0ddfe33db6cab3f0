#include "views/export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/cp1251.h"
#include "settings/work_log.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_exchanger.h"
#include "support/temp_dir.h"
#include "views/fill_grids.h"
#include "views/marks.h"
#include "views/view_layout.h"

namespace orti {
namespace {

using test::ReadBytes;
using test::ScriptedDialogs;
using test::ScriptedFileChooser;
using test::TempDir;
using test::WriteBytes;

const char* kFolderTitles[] = {"Папка", "Режим", "Дата/Время", "T (C)", "ЭДС (мВ)", "pH", "pH25"};
const char* kDateTitles[] = {"Дата/Время", "Папка", "Режим", "T (C)", "ЭДС (мВ)", "pH", "pH25"};

StringGrid MakeView(const char* const* titles) {
  StringGrid view(kViewColumns, 1, 1);
  for (int k = 0; k < kChoiceColumns; ++k) view.SetCell(kFirstChoiceColumn + k, 0, titles[k]);
  return view;
}

void AddRow(StringGrid& view, const std::string& folder, const std::string& time) {
  const int row = view.RowCount();
  view.SetRowCount(row + 1);
  const std::string cells[] = {folder, "pH", time, "23,5", "-120,0", "7,250", "7,220"};
  for (int k = 0; k < kChoiceColumns; ++k) view.SetCell(kFirstChoiceColumn + k, row, cells[k]);
}

struct Export {
  TempDir dir;
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  ConsoleState state;
  StringGrid totalData;
  test::ScriptedExchanger link;
  ScriptedDialogs dialogs;
  ScriptedFileChooser files;
  WorkLog log;
  Export() {
    state.programFolder = dir.Path();
    state.exportFolder = dir.File("documents/");
    state.session.operatorFullName = "Иванов Пётр Сергеевич";
  }
  ExportOutcome Run(const StringGrid& view, const std::vector<int>& rows) {
    ExportContext c{{*model, state, totalData, link, log, dialogs}, view, files};
    return ExportRows(c, rows);
  }
};

const std::string kFolderHeader =
    Utf8ToCp1251("Папка;Режим;Дата/Время;T (C);ЭДС (мВ);pH;pH25;Исполнитель\r\n");

TEST(Export, NewFileGetsTheHeaderAndOnlyTheRowsGivenInCp1251) {
  Export e;
  StringGrid view = MakeView(kFolderTitles);
  AddRow(view, "Вода", "14.02.2026 12:34:56");
  AddRow(view, "Вода", "14.02.2026 12:35:00");
  AddRow(view, "Соль;1", "14.02.2026 12:36:00");
  AddRow(view, "Соль", "14.02.2026 12:37:00");
  view.SetColWidth(5, 0);  // hidden columns are exported all the same
  e.files.Expect(e.dir.File("out"));
  EXPECT_EQ(e.Run(view, {1, 3}), ExportOutcome::kWritten);
  ASSERT_EQ(e.files.Requests().size(), 1u);
  EXPECT_EQ(e.files.Requests()[0].title, "Экспорт данных");
  EXPECT_EQ(e.files.Requests()[0].defaultExtension, "csv");
  EXPECT_EQ(e.files.Requests()[0].initialFolder, e.dir.File("documents/"));
  EXPECT_EQ(
      ReadBytes(e.dir.File("out.csv")),
      kFolderHeader +
          Utf8ToCp1251(
              "Вода;pH;14.02.2026 12:34:56;23,5;-120,0;7,250;7,220;Иванов Пётр Сергеевич\r\n"
              "Соль 1;pH;14.02.2026 12:36:00;23,5;-120,0;7,250;7,220;Иванов Пётр Сергеевич\r\n"));
  EXPECT_TRUE(e.dialogs.Calls().empty());
}

TEST(Export, ExtendingSkipsRecordsAlreadyThereWhoeverExportedThem) {
  Export e;
  StringGrid view = MakeView(kFolderTitles);
  AddRow(view, "Вода", "14.02.2026 12:34:56");
  const std::string path = e.dir.File("a.csv");
  e.files.Expect(path);
  ASSERT_EQ(e.Run(view, {1}), ExportOutcome::kWritten);
  const std::string first = ReadBytes(path);

  AddRow(view, "Вода", "15.02.2026 08:00:00");
  e.state.session.operatorFullName = "Петрова Анна Ивановна";
  e.files.Expect(path);
  e.dialogs.Expect(DialogAnswer::kYes);
  ASSERT_EQ(e.Run(view, {1, 2}), ExportOutcome::kWritten);
  EXPECT_EQ(
      ReadBytes(path),
      first + Utf8ToCp1251(
                  "Вода;pH;15.02.2026 08:00:00;23,5;-120,0;7,250;7,220;Петрова Анна Ивановна\r\n"));
  ASSERT_EQ(e.dialogs.Calls().size(), 1u);
  EXPECT_EQ(e.dialogs.Calls()[0].buttons, DialogButtons::kYesNoCancel);
  EXPECT_EQ(e.dialogs.Calls()[0].caption, "Экспорт данных");

  // No replaces the file; Cancel writes nothing.
  e.files.Expect(path);
  e.dialogs.Expect(DialogAnswer::kNo);
  ASSERT_EQ(e.Run(view, {2}), ExportOutcome::kWritten);
  EXPECT_EQ(
      ReadBytes(path),
      kFolderHeader +
          Utf8ToCp1251(
              "Вода;pH;15.02.2026 08:00:00;23,5;-120,0;7,250;7,220;Петрова Анна Ивановна\r\n"));
  e.files.Expect(path);
  e.dialogs.Expect(DialogAnswer::kCancel);
  EXPECT_EQ(e.Run(view, {2}), ExportOutcome::kCancelled);
  e.files.Expect(std::nullopt);
  EXPECT_EQ(e.Run(view, {2}), ExportOutcome::kCancelled);
}

TEST(Export, AHeaderOfTheOtherViewStopsAndKeepsTheFile) {
  Export e;
  const std::string path = e.dir.File("a.csv");
  WriteBytes(path, kFolderHeader + "x\r\n");
  StringGrid byDate = MakeView(kDateTitles);
  AddRow(byDate, "Вода", "14.02.2026 12:34:56");
  e.files.Expect(path);
  e.dialogs.Expect(DialogAnswer::kYes);
  EXPECT_EQ(e.Run(byDate, {1}), ExportOutcome::kStopped);
  EXPECT_EQ(ReadBytes(path), kFolderHeader + "x\r\n");
  ASSERT_EQ(e.dialogs.Calls().size(), 2u);
  EXPECT_EQ(e.dialogs.Calls()[1].text,
            "Структура файла не соответствует\nструктуре сохраняемых данных.\nВыполнение операции "
            "невозможно");
  EXPECT_EQ(e.dialogs.Calls()[1].icon, DialogIcon::kWarning);
}

TEST(Export, ExtendingAnEmptyFileOrOneWithoutAFinalLineEnd) {
  Export e;
  StringGrid view = MakeView(kFolderTitles);
  AddRow(view, "Вода", "14.02.2026 12:34:56");
  const std::string empty = e.dir.File("empty.csv");
  WriteBytes(empty, "");
  e.files.Expect(empty);
  e.dialogs.Expect(DialogAnswer::kYes);
  ASSERT_EQ(e.Run(view, {1}), ExportOutcome::kWritten);
  EXPECT_EQ(ReadBytes(empty).substr(0, kFolderHeader.size()), kFolderHeader);

  const std::string open = e.dir.File("open.csv");
  WriteBytes(open, kFolderHeader + "tail");
  e.files.Expect(open);
  e.dialogs.Expect(DialogAnswer::kYes);
  ASSERT_EQ(e.Run(view, {1}), ExportOutcome::kWritten);
  EXPECT_EQ(
      ReadBytes(open),
      kFolderHeader + "tail\r\n" +  // the last line is completed: no record glued onto it
          Utf8ToCp1251(
              "Вода;pH;14.02.2026 12:34:56;23,5;-120,0;7,250;7,220;Иванов Пётр Сергеевич\r\n"));
}

TEST(Export, FilesThatCannotBeReadOrWrittenStopWithTheReason) {
  Export e;
  StringGrid view = MakeView(kFolderTitles);
  AddRow(view, "Вода", "14.02.2026 12:34:56");
  // A directory in the file's place: it exists, cannot be read as a file nor replaced.
  const std::string dir = e.dir.File("taken.csv");
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  e.files.Expect(dir);
  e.dialogs.Expect(DialogAnswer::kYes);
  EXPECT_EQ(e.Run(view, {1}), ExportOutcome::kStopped);
  EXPECT_EQ(e.dialogs.Calls().back().text.rfind("Ошибка при чтении файла\n" + dir + "\n", 0), 0u);

  e.files.Expect(dir);
  e.dialogs.Expect(DialogAnswer::kNo);
  EXPECT_EQ(e.Run(view, {1}), ExportOutcome::kStopped);
  EXPECT_EQ(e.dialogs.Calls().back().text.rfind("Ошибка при открытии файла\n" + dir + "\n", 0), 0u);
  ASSERT_FALSE(e.log.Lines().empty());
  EXPECT_EQ(e.log.Lines().back().rfind("Win32 Error:", 0), 0u);
  EXPECT_EQ(e.log.Lines().back(), "Win32 Error:" + e.state.link.lastErrorText);
}

// Whatever the existing file ends with, every record starts a line of its own.
TEST(Export, AGluedLineNeverAppears) {
  const std::string record =
      Utf8ToCp1251("Вода;pH;14.02.2026 12:34:56;23,5;-120,0;7,250;7,220;Иванов Пётр Сергеевич");
  for (const std::string ending : {"", "\r\n", "\r", "\n"}) {
    Export e;
    StringGrid view = MakeView(kFolderTitles);
    AddRow(view, "Вода", "14.02.2026 12:34:56");
    const std::string path = e.dir.File("old.csv");
    const std::string old =
        kFolderHeader + Utf8ToCp1251("Образец;…;Петрова Анна Ивановна") + ending;
    WriteBytes(path, old);
    e.files.Expect(path);
    e.dialogs.Expect(DialogAnswer::kYes);
    ASSERT_EQ(e.Run(view, {1}), ExportOutcome::kWritten);
    const std::string after = ReadBytes(path);
    ASSERT_EQ(after.rfind(old, 0), 0u) << "the old bytes stay";
    const std::string added = after.substr(old.size());
    const std::string lineEnd = ending == "\r" ? "\n" : ending.empty() ? "\r\n" : "";
    EXPECT_EQ(added, lineEnd + record + "\r\n") << "ending " << ending.size();
  }
}

TEST(ExistingExport, LinesAndTheLineEndThatCompletesTheLast) {
  ExistingExport f = ReadExistingExport("a\r\nb\rc\nd");
  EXPECT_EQ(f.lines, (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(f.lineEndToAdd, "\r\n");
  EXPECT_EQ(ReadExistingExport("a\r").lineEndToAdd, "\n");
  EXPECT_EQ(ReadExistingExport("a\r\n").lineEndToAdd, "");
  EXPECT_EQ(ReadExistingExport("").lineEndToAdd, "");
  EXPECT_TRUE(ReadExistingExport("").lines.empty());
}

// A name field can neither add a column nor start a formula; numbers stay.
TEST(Export, AFormulaNameNeverReachesAnExport) {
  struct Case {
    const char* name;
    const char* field;
  };
  const Case cases[] = {
      {"=HYPERLINK(\"http://x\";\"y\")", "'=HYPERLINK(\"http://x\" \"y\")"},
      {"+1", "'+1"},
      {"-1", "'-1"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"a;b", "a b"},
      {"Вода=1", "Вода=1"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExportNameField(c.name), c.field) << c.name;

  Export e;
  e.state.session.operatorFullName = "=cmd|' /C calc'!A0 Иван Иванович";
  StringGrid view = MakeView(kDateTitles);
  const int row = view.RowCount();
  AddRow(view, "14.02.2026 12:34:56", "");
  view.SetCell(4, row, "-Вода;=1");  // by date: the folder is column 4
  view.SetCell(5, row, "pH");
  view.SetCell(6, row, "-5,0");  // a negative number stays a number
  e.files.Expect(e.dir.File("f.csv"));
  ASSERT_EQ(e.Run(view, {row}), ExportOutcome::kWritten);
  const std::string text = Cp1251ToUtf8(ReadBytes(e.dir.File("f.csv")));
  const std::string line = text.substr(text.find("\r\n") + 2);
  EXPECT_EQ(line,
            "14.02.2026 12:34:56;'-Вода =1;pH;-5,0;-120,0;7,250;7,220;'=cmd|' /C calc'!A0 Иван "
            "Иванович\r\n");
  EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 7);
}

TEST(Export, ARowWithoutARecordIsNeverExported) {
  Export e;
  // An empty notepad: "S" on its empty row 1 marks nothing.
  auto model = std::make_unique<NotepadModel>();
  StringGrid view = MakeView(kFolderTitles), byDate = MakeView(kDateTitles);
  FillGrids(*model, view, byDate, ",");
  ToggleMark(*model, ViewKind::kByFolders, view, {1, 1, 1}, ViewMark::kSave);
  e.files.Expect(e.dir.File("f.csv"));
  ASSERT_EQ(e.Run(view, MarkedRows(*model, ViewKind::kByFolders, ViewMark::kSave)),
            ExportOutcome::kWritten);
  EXPECT_EQ(ReadBytes(e.dir.File("f.csv")), kFolderHeader);
  // Nor is the title row, or a row the grid does not have.
  e.files.Expect(e.dir.File("g.csv"));
  ASSERT_EQ(e.Run(view, {0, 2}), ExportOutcome::kWritten);
  EXPECT_EQ(ReadBytes(e.dir.File("g.csv")), kFolderHeader);
}

TEST(Export, ReplacingThroughALinkReplacesTheTarget) {
  Export e;
  StringGrid view = MakeView(kFolderTitles);
  AddRow(view, "Вода", "14.02.2026 12:34:56");
  const std::string target = e.dir.File("shared.csv");
  WriteBytes(target, "old");
  const std::string link = e.dir.File("link.csv");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  e.files.Expect(link);
  e.dialogs.Expect(DialogAnswer::kNo);  // Нет - Заменить
  ASSERT_EQ(e.Run(view, {1}), ExportOutcome::kWritten);
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadBytes(target).rfind(kFolderHeader, 0), 0u);
}

TEST(Export, AReadOnlyFileIsRefusedAndLeftUnchanged) {
  for (DialogAnswer answer : {DialogAnswer::kNo, DialogAnswer::kYes}) {
    Export e;
    StringGrid view = MakeView(kFolderTitles);
    AddRow(view, "Вода", "14.02.2026 12:34:56");
    const std::string path = e.dir.File("ro.csv");
    WriteBytes(path, kFolderHeader);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    e.files.Expect(path);
    e.dialogs.Expect(answer);
    EXPECT_EQ(e.Run(view, {1}), ExportOutcome::kStopped);
    EXPECT_EQ(e.dialogs.Calls().back().text.rfind("Ошибка при открытии файла\n" + path + "\n", 0),
              0u);
    EXPECT_EQ(ReadBytes(path), kFolderHeader);
    EXPECT_EQ(e.log.Lines().back().rfind("Win32 Error:", 0), 0u);
  }
}

}  // namespace
}  // namespace orti

namespace orti {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// A file written under a "." locale, re-saved by a spreadsheet (trimmed
// zeros, no seconds), then extended under a "," locale: the records it holds
// are found by value and never added twice, and what is added takes the
// file's separator.
TEST(Export, ExtendingFindsRecordsByValueAndKeepsTheFilesSeparator) {
  Export e;
  StringGrid view = MakeView(kFolderTitles);
  AddRow(view, "Вода", "14.02.2026 12:34:56");  // 23,5;-120,0;7,250;7,220
  AddRow(view, "Вода", "14.02.2026 12:40:10");
  AddRow(view, "Соль", "15.02.2026 08:00:00");
  const std::string path = e.dir.File("dot.csv");
  const std::string old =
      kFolderHeader + Utf8ToCp1251(
                          "Вода;pH;14.02.2026 12:34:56;23.5;-120.0;7.250;7.220;Петрова А. И.\r\n"
                          "Вода;pH;14.02.2026 12:40;23.5;-120;7.25;7.22;Петрова А. И.\r\n");
  WriteBytes(path, old);
  e.files.Expect(path);
  e.dialogs.Expect(DialogAnswer::kYes);
  ASSERT_EQ(e.Run(view, {1, 2, 3}), ExportOutcome::kWritten);
  EXPECT_EQ(
      ReadBytes(path),
      old + Utf8ToCp1251(
                "Соль;pH;15.02.2026 08:00:00;23.5;-120.0;7.250;7.220;Иванов Пётр Сергеевич\r\n"));
}

// The extension is one replace of the whole file: stopped dead at any of its
// file calls, it leaves the old file or the whole new one, never a cut row.
TEST(Export, AnExtensionKilledAtEveryFileCallLeavesTheOldOrTheNewFile) {
  struct Seam final : ReplaceSeam {
    int crashAt = 0;
    int calls = 0;
    int Before(ReplaceStep) override { return ++calls == crashAt ? kSimulatedCrash : 0; }
  };
  StringGrid view = MakeView(kFolderTitles);
  for (int i = 0; i < 3000; ++i) {  // new lines beyond one write call
    AddRow(view, "Вода",
           "14.02.2026 " + std::string(i < 1000 ? "10" : "11") + ":" + std::to_string(10 + i % 50) +
               ":" + std::to_string(10 + i / 50 % 20));
  }
  std::vector<int> rows;
  for (int r = 1; r < view.RowCount(); ++r) rows.push_back(r);
  const std::string old = kFolderHeader + Utf8ToCp1251("Образец;…;Петрова А. И.\r\n");
  std::string extended;
  for (int point = 1;; ++point) {
    Export e;
    const std::string path = e.dir.File("a.csv");
    WriteBytes(path, old);
    Seam seam;
    seam.crashAt = point;
    e.files.Expect(path);
    e.dialogs.Expect(DialogAnswer::kYes);
    ExportContext c{
        {*e.model, e.state, e.totalData, e.link, e.log, e.dialogs}, view, e.files, &seam};
    const bool done = ExportRows(c, rows) == ExportOutcome::kWritten;
    const std::string after = ReadBytes(path);
    if (done) {
      ASSERT_GT(point, 5);
      EXPECT_EQ(after, extended) << "every step passed: the whole new file";
      break;
    }
    if (after != old) {
      if (extended.empty()) extended = after;
      EXPECT_EQ(after, extended) << "crash at point " << point;
      EXPECT_GT(after.size(), old.size() + 3000 * 60) << "crash at point " << point;
    }
  }
}

TEST(Export, ANewFileIsNeverCreatedThroughALink) {
  Export e;
  StringGrid view = MakeView(kFolderTitles);
  AddRow(view, "Вода", "14.02.2026 12:34:56");
  const std::string planted = e.dir.File("new.csv");
  ASSERT_EQ(symlink(e.dir.File("elsewhere.csv").c_str(), planted.c_str()), 0);
  e.files.Expect(planted);
  EXPECT_EQ(e.Run(view, {1}), ExportOutcome::kStopped);
  EXPECT_NE(e.dialogs.Calls().back().text.find("ссылка"), std::string::npos);
  EXPECT_FALSE(FileExists(e.dir.File("elsewhere.csv")));
}

}  // namespace
}  // namespace orti
