// Export files read back into the archive: what the archive already holds is
// not added twice, unreadable lines are reported by number, and an import can
// be taken back.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "archive/archive_engines.h"
#include "archive/archive_test_model.h"
#include "archive/csv_import.h"
#include "archive/reading_measurements.h"
#include "archive/sqlite_archive.h"
#include "model/console_state.h"
#include "platform/cp1251.h"
#include "support/recording_log.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_exchanger.h"
#include "support/temp_dir.h"
#include "views/by_date_sort.h"
#include "views/export.h"
#include "views/fill_grids.h"
#include "views/marks.h"

namespace orti {
namespace {

// The views' own export of every record of `model`, as the operator would make it.
std::string ExportOf(NotepadModel& model, ViewKind kind, const std::string& separator,
                     const test::TempDir& dir) {
  StringGrid byFolders{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  StringGrid byDate{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  PrepareViewGrid(ViewKind::kByFolders, byFolders);
  PrepareViewGrid(ViewKind::kByDate, byDate);
  IndexStoredRecords(model);
  SortByDateIndex(model.byDate);
  FillGrids(model, byFolders, byDate, separator);
  StringGrid& view = kind == ViewKind::kByDate ? byDate : byFolders;
  ToggleMark(model, kind, view, {1, view.RowCount() - 1, 1}, ViewMark::kSave);
  ConsoleState state;
  state.session.operatorFullName = "Иванов Иван Иванович";
  test::ScriptedDialogs dialogs;
  test::ScriptedFileChooser files;
  const std::string path = dir.File(std::string(kind == ViewKind::kByDate ? "date" : "folders") +
                                    (separator == "," ? "-comma.csv" : "-point.csv"));
  files.Expect(path);
  test::RecordingLog log;
  StringGrid totalData;
  test::ScriptedExchanger link;
  ExportContext context{{model, state, totalData, link, log, dialogs}, view, files};
  EXPECT_EQ(ExportRows(context, MarkedRows(model, kind, ViewMark::kSave)), ExportOutcome::kWritten);
  ResetMarks(model, kind, view);  // as "Выполнить" does after an export
  return test::ReadBytes(path);
}

class ArchiveImportTest : public test::OnEachEngine {};
ORTI_ON_EACH_ENGINE(ArchiveImportTest);

TEST_P(ArchiveImportTest, AnExportOfArchivedRecordsAddsNothingInEitherLayout) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(2, 3);
  store.AddReading(ReadingMeasurements(*model, "Петров"), 1);
  for (ViewKind kind : {ViewKind::kByFolders, ViewKind::kByDate}) {
    for (const char* separator : {",", "."}) {
      const ParsedExport parsed = ParseExportFile(ExportOf(*model, kind, separator, dir));
      ASSERT_TRUE(parsed.recognised);
      EXPECT_TRUE(parsed.errors.empty()) << parsed.errors[0];
      ASSERT_EQ(parsed.lines.size(), 6u);
      EXPECT_EQ(store.Import("x.csv", parsed.lines, 2), 0) << separator;
    }
  }
  EXPECT_EQ(store.Query({}).size(), 6u);
}

TEST_P(ArchiveImportTest, NewLinesFormABatchThatCanBeTakenBackAndOddLinesAreRefusedOnce) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(1, 2);
  store.AddReading(ReadingMeasurements(*model, "Петров"), 1);
  const std::string line = "05.05.2025 10:00:00;Почва;pH;21,0;-3,5;6,500;6,600;Сидоров С С\r\n";
  const std::string text =
      Utf8ToCp1251("Дата/Время;Папка;Режим;T (C);ЭДС (мВ);pH;pH25;Исполнитель\r\n" + line +
                   "31.04.2025 10:00:00;Почва;pH;21,0;-3,5;6,500;6,600;Сидоров С С\r\n"
                   "05.05.2025 11:00:00;Почва;pHH;21,0;-3,5;6,500;6,600;Сидоров С С\r\n"
                   "05.05.2025 12:00:00;Почва;mV;21,0;-3,5;шесть;6,600;Сидоров С С\r\n"
                   "05.05.2025 13:00:00;Почва\r\n"
                   "05.05.2025 14:00:00;Почва;pH;inf;-3,5;6,500;6,600;С\r\n"
                   "05.05.2025 14:00:00;Почва;pH;21,0;nan;6,500;6,600;С\r\n"
                   "05.05.2025 14:00:00;Почва;pH;21,0;-3,5;1e308;6,600;С\r\n"
                   "05.05.2025 14:00:00;Почва;pH;21,0;-3,5;6,500;0x1A;С\r\n"
                   "05.05.2025 14:00:00;Почва;pH;1" +
                   std::string(39, '0') +  // beyond any single-precision value
                   ";-3,5;6,500;6,600;С\r\n"
                   "05.05.2025 14:00:00;Поч" +
                   std::string(1, '\0') +
                   "ва;pH;21,0;-3,5;6,500;6,600;С\r\n"
                   "05.05.2025 14:00:00;Почва;pH;21,0;-3,5;6,500;6,600;" +
                   std::string(600, '7') + "\r\n");
  const ParsedExport parsed = ParseExportFile(text);
  ASSERT_EQ(parsed.lines.size(), 1u);
  EXPECT_EQ(parsed.errors,
            (std::vector<std::string>{
                "строка 3: дата 31.04.2025 10:00:00", "строка 4: режим pHH",
                "строка 5: число шесть", "строка 6: мало полей", "строка 7: число inf",
                "строка 8: число nan", "строка 9: число 1e308", "строка 10: число 0x1A",
                "строка 11: число 100000000000000000000000…", "строка 12: управляющий символ",
                "строка 13: длиннее 512 байт"}));
  EXPECT_FALSE(ParseExportFile("Дата;Время\r\n").recognised);

  int64_t batch = 0, again = -1;
  EXPECT_EQ(store.Import("soil.csv", parsed.lines, 5, &batch), 1);
  EXPECT_EQ(store.Import("soil.csv", parsed.lines, 6, &again), 0);  // the same file again
  EXPECT_EQ(again, 0);  // nothing added, nothing to take back
  const std::vector<Measurement> rows = store.Query({});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].folderName, "Почва");
  EXPECT_EQ(rows[0].operatorName, "Сидоров С С");
  EXPECT_DOUBLE_EQ(rows[0].ph, 6.5);
  ASSERT_EQ(store.Imports().size(), 1u);
  EXPECT_EQ(store.Imports()[0].added, 1);

  EXPECT_TRUE(store.ForgetImport(batch));
  EXPECT_FALSE(store.ForgetImport(batch));
  EXPECT_EQ(store.Query({}).size(), 2u);
  EXPECT_TRUE(store.Imports().empty());
}

// Read in one year, exported and imported in the next (the instrument stores
// no year, so the file carries the year the console guessed then), read
// again: nothing is added twice and the reading archives.
TEST_P(ArchiveImportTest, AnExportOfTheNextYearAddsNothingAndTheNextReadingArchives) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(2, 3);
  ASSERT_EQ(store.AddReading(ReadingMeasurements(*model, "Петров"), 1).added, 6);
  for (NotepadFolder& folder : model->folders) {
    for (NotepadRecord& r : folder.records) r.dateTime += 365;  // 2027: the same day and time
  }
  const ParsedExport parsed = ParseExportFile(ExportOf(*model, ViewKind::kByDate, ",", dir));
  ASSERT_EQ(parsed.lines.size(), 6u);
  EXPECT_EQ(store.Import("2027.csv", parsed.lines, 2), 0);
  const ReadingAdded again = store.AddReading(ReadingMeasurements(*model, "Петров"), 3);
  EXPECT_EQ(again.added, 0);
  EXPECT_TRUE(again.faults.empty()) << again.faults[0].reason;
  test::PutRecord(*model, 0, 5);  // a new record beside them is still archived
  EXPECT_EQ(store.AddReading(ReadingMeasurements(*model, "Петров"), 4).added, 1);
  EXPECT_EQ(store.Query({}).size(), 7u);
}

// A spreadsheet's re-save of a line: "," for ".", trailing zeros dropped,
// no seconds (the date is the third field of a by-folders line).
std::string Resaved(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string f; std::getline(in, f, ';');) fields.push_back(f);
  fields[2].resize(fields[2].size() - 3);
  for (size_t i = 3; i < 7; ++i) {
    std::string& n = fields[i];
    while (n.back() == '0') n.pop_back();
    if (n.back() == '.') n.pop_back();
    std::replace(n.begin(), n.end(), '.', ',');
  }
  std::string text;
  for (const std::string& f : fields) text += (text.empty() ? "" : ";") + f;
  return text;
}

// The re-save, saved as UTF-8, stands for what the archive holds.
TEST_P(ArchiveImportTest, ASpreadsheetsResaveOfAnExportAddsNothing) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(2, 3);
  store.AddReading(ReadingMeasurements(*model, "Петров"), 1);
  std::istringstream exported(Cp1251ToUtf8(ExportOf(*model, ViewKind::kByFolders, ".", dir)));
  std::string text, line;
  std::getline(exported, line);
  text = line + "\n";
  while (std::getline(exported, line)) text += Resaved(line) + "\n";
  ASSERT_NE(text.find("\nP0;pH;01.03.2026 00:00;20,5;-100,3;4;4;"), std::string::npos) << text;
  const ParsedExport parsed = ParseExportFile("\xEF\xBB\xBF" + text);
  EXPECT_TRUE(parsed.utf8);
  EXPECT_TRUE(parsed.errors.empty()) << parsed.errors[0];
  ASSERT_EQ(parsed.lines.size(), 6u);
  EXPECT_EQ(store.Import("resaved.csv", parsed.lines, 2), 0);
  EXPECT_EQ(store.Query({}).size(), 6u);
}

TEST_P(ArchiveImportTest, ARecordImportedBeforeItIsReadIsNotArchivedTwice) {
  const auto owned = NewStore();
  ArchiveStore& store = *owned;
  auto model = test::SmallNotepad(1, 2);
  const ParsedExport parsed = ParseExportFile(ExportOf(*model, ViewKind::kByDate, ",", dir));
  EXPECT_EQ(store.Import("old.csv", parsed.lines, 1), 2);
  EXPECT_EQ(store.AddReading(ReadingMeasurements(*model, "Петров"), 2).added, 0);
  EXPECT_EQ(store.AddReading(ReadingMeasurements(*model, "Петров"), 3).added, 0);
  const std::vector<Measurement> rows = store.Query({});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_FALSE(rows[0].raw.empty());
  EXPECT_EQ(rows[0].importId, 0);  // read now: taking the import back keeps it
}

}  // namespace
}  // namespace orti
