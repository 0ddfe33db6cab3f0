// The history page on a small archive, offscreen: filters narrow the table,
// the plot has one series per folder, and selected rows export as the
// by-date view exports.

#include <gtest/gtest.h>

#include <QLineSeries>
#include <QStackedWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <regex>

#include "app/history_page.h"
#include "app/main_window.h"
#include "app/silent_line.h"
#include "archive/archive_grid.h"
#include "archive/archive_pages.h"
#include "archive/archive_test_model.h"
#include "archive/reading_measurements.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "support/recording_log.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_exchanger.h"
#include "support/temp_dir.h"
#include "support/test_app.h"
#include "views/view_layout.h"

namespace orti {
namespace {

class HistoryPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    auto model = test::SmallNotepad(3, 4);
    test::PutRecord(*model, 2, 3, kModeMv);
    ArchiveStore* store = keeper.Store();
    ASSERT_NE(store, nullptr);
    store->AddReading(ReadingMeasurements(*model, "Петров Иван Ильич"), model->readTime);
    state.session.operatorFullName = "Сидоров Сидор Сидорович";
    page = Open();
    page->FromCheck->setChecked(false);  // March 2026: not of the last 30 days
    page->Refresh();
  }

  std::unique_ptr<HistoryPage> Open() {
    auto opened = std::make_unique<HistoryPage>(HistoryPage::Context{
        keeper,
        [this]() -> ConsoleServices { return {*notepad, state, totalData, link, log, dialogs}; },
        [this]() -> FileChooser& { return files; }});
    opened->resize(1000, 700);
    return opened;
  }

  std::vector<QString> SeriesNames() const {
    std::vector<QString> names;
    for (QAbstractSeries* s : page->Chart()->series()) names.push_back(s->name());
    return names;
  }

  test::TempDir dir;
  test::RecordingLog log;
  test::ScriptedDialogs dialogs;
  test::ScriptedFileChooser files;
  std::unique_ptr<NotepadModel> notepad = std::make_unique<NotepadModel>();
  ConsoleState state;
  StringGrid totalData;
  test::ScriptedExchanger link;
  ArchiveKeeper keeper{dir.File("a.sqlite"), log, [this]() -> Dialogs& { return dialogs; }};
  std::unique_ptr<HistoryPage> page;
};

TEST_F(HistoryPageTest, FiltersNarrowTheTableAndThePlotKeepsOneSeriesPerFolder) {
  ASSERT_EQ(static_cast<size_t>(page->RowCount()), 12u);
  EXPECT_EQ(SeriesNames(), (std::vector<QString>{"P0", "P1", "P2"}));
  const StringGrid& grid = page->Grid();
  EXPECT_EQ(grid.Cell(3, 0), "Дата/Время");
  EXPECT_EQ(grid.Cell(kFirstReadColumn, 0), "Прочитано");
  EXPECT_EQ(grid.Cell(kReadByColumn, 0), "Оператор");
  EXPECT_EQ(grid.Cell(3, 1), "01.03.2026 00:00:08");
  EXPECT_EQ(grid.Cell(4, 1), "P0");
  EXPECT_EQ(grid.Cell(kFirstReadColumn, 1), "02.03.2026 00:00:00");
  EXPECT_EQ(grid.Cell(kReadByColumn, 1), "Петров Иван Ильич");

  page->FolderEdit->setText("P1");
  page->Refresh();
  EXPECT_EQ(static_cast<size_t>(page->RowCount()), 4u);
  EXPECT_EQ(SeriesNames(), (std::vector<QString>{"P1"}));
  auto* series = qobject_cast<QLineSeries*>(page->Chart()->series()[0]);
  ASSERT_NE(series, nullptr);
  ASSERT_EQ(series->count(), 4);
  EXPECT_NEAR(series->at(3).y(), 5.03, 1e-5);  // pH of folder 1, slot 3

  page->ValueBox->setCurrentIndex(3);  // EMF
  series = qobject_cast<QLineSeries*>(page->Chart()->series()[0]);
  EXPECT_NEAR(series->at(0).y(), -99.25, 1e-5);

  page->FolderEdit->clear();
  page->ModeBox->setCurrentText("mV");
  page->Refresh();
  ASSERT_EQ(static_cast<size_t>(page->RowCount()), 1u);
  EXPECT_EQ(SeriesNames(), (std::vector<QString>{"P2"}));

  page->ModeBox->setCurrentIndex(0);
  page->ToCheck->setChecked(true);
  page->ToDate->setDate(QDate(2026, 2, 28));
  page->Refresh();
  EXPECT_TRUE((page->RowCount() == 0));
  EXPECT_TRUE(page->Chart()->series().empty());
}

TEST_F(HistoryPageTest, SelectedRowsExportAsTheByDateViewAndThePlotSavesAsPngAndSvg) {
  page->Table->selectRow(0);
  page->Table->selectionModel()->select(page->Table->model()->index(2, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
  const std::string csv = dir.File("sel.csv");
  files.Expect(csv);
  page->ExportSelected();
  const std::string text = Cp1251ToUtf8(test::ReadBytes(csv));
  EXPECT_EQ(text, "Дата/Время;Папка;Режим;T (C);ЭДС (мВ);pH;pH25;Исполнитель\r\n" +
                      page->Grid().Cell(3, 1) +
                      ";P0;pH;20.5;-100.3;4.000;4.000;Сидоров Сидор Сидорович\r\n" +
                      page->Grid().Cell(3, 3) +
                      ";P0;pH;22.5;-100.3;4.020;4.020;Сидоров Сидор Сидорович\r\n");
  EXPECT_EQ(page->Grid().Cell(kMarkColumn, 1), "");  // marks do not outlive the export

  for (const char* name : {"plot.png", "plot.svg"}) {
    ASSERT_TRUE(page->SavePlotTo(QString::fromStdString(dir.File(name)))) << name;
    EXPECT_GT(test::ReadBytes(dir.File(name)).size(), 1000u) << name;
  }
  EXPECT_EQ(test::ReadBytes(dir.File("plot.svg")).rfind("<?xml", 0), 0u);
}

// Another instrument's 500 measurements of the last ten days: the page opens
// on them alone, fetches the table a page at a time and plots them all.
TEST_F(HistoryPageTest, ItOpensOnTheLast30DaysAndFetchesTheTablePageByPage) {
  auto recent = test::SmallNotepad(20, kShownSlots);
  std::memcpy(recent->identity.name, "ORTI416", 7);
  const double today = std::floor(LocalNow());
  for (int f = 0; f < 20; ++f) {
    for (int s = 0; s < kShownSlots; ++s) {
      recent->folders[f].records[s].dateTime = today - 10 + f * 0.3 + s * 0.01;
    }
  }
  keeper.Store()->AddReading(ReadingMeasurements(*recent, "Петров"), today);
  page = Open();
  page->Refresh();
  EXPECT_EQ(page->RowCount(), static_cast<int>(kArchivePageRows));
  size_t plotted = 0;
  for (const PlotSeries& s : page->Plotted()) plotted += s.points.size();
  EXPECT_EQ(plotted, 500u);
  QAbstractItemModel* rows = page->Table->model();
  while (rows->canFetchMore({})) rows->fetchMore({});
  EXPECT_EQ(page->RowCount(), 500);
  EXPECT_EQ(page->Grid().Cell(kInstrumentColumn, 500), "ORTI416 ");
}

// The axes write numbers as the table does, in the locale's way, on round
// steps: a folder of pH 5.00 .. 5.03 taken over three minutes.
TEST_F(HistoryPageTest, AxisLabelsAreRoundAndInTheLocalesFormat) {
  QLocale::setDefault(QLocale(QLocale::Russian));
  page = Open();
  page->FromCheck->setChecked(false);
  page->FolderEdit->setText("P1");
  page->show();
  page->Refresh();
  QCoreApplication::processEvents();
  const bool saved = page->SavePlotTo(QString::fromStdString(dir.File("p1.svg")));
  const std::string tableCell = page->Grid().Cell(8, 1);
  QLocale::setDefault(QLocale::system());
  ASSERT_TRUE(saved);
  const std::string svg = test::ReadBytes(dir.File("p1.svg"));
  std::vector<std::string> labels;
  const std::regex text("<text[^>]*>\\s*([^<]*[^<\\s])");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), text); it != std::sregex_iterator();
       ++it) {
    labels.push_back((*it)[1]);
  }
  for (const char* label :
       {"01.03.2026 01:00", "01.03.2026 01:01", "01.03.2026 01:03", "5,00", "5,01", "5,03", "P1"}) {
    EXPECT_NE(std::find(labels.begin(), labels.end(), label), labels.end()) << label;
  }
  EXPECT_EQ(tableCell, "5,000");  // pH in the table
}

TEST(HistoryPageInWindow, TheSeventhSpeedButtonAndTheMenuItemOpenIt) {
  test::App();
  test::TempDir home;
  setenv("ORTI415_HOME", home.Path().c_str(), 1);
  TForm1 form;
  test::ScriptedDialogs dialogs;
  form.SetDialogs(&dialogs);
  test::OnSilentLine(form);
  form.MArchiveClick();
  EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheetArchive);
  EXPECT_TRUE(form.SBArchive->isChecked());
  form.MByDateTimeClick();
  form.SBArchive->click();
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageArchive);
}

TEST_F(HistoryPageTest, TheChangeLogListsEachChangeAndRemovedRecordsShowWhoRemovedThem) {
  ArchiveStore* store = keeper.Store();
  const std::vector<Measurement> all = store->Query({});
  ASSERT_GE(all.size(), 3u);
  const std::vector<uint8_t> identity = store->Instruments().at(0).identity;
  store->SetLabName(identity, "pH-метр №2");
  InstrumentChange clear;
  clear.at = EncodeDate(2026, 3, 5) + EncodeTime(10, 0, 0);
  clear.operatorName = "Сидоров Сидор Сидорович";
  clear.workstation = "ПК-1";
  clear.identity = identity;
  clear.folderIndex = 1;
  clear.folderName = "P1";
  clear.kind = ChangeKind::kClear;
  clear.records = {all[0].raw, all[1].raw};
  clear.backup = "/b/1.bak";
  store->AddChange(clear);
  // A write that failed removed nothing.
  InstrumentChange failed = clear;
  failed.at += 1;
  failed.records = {all[2].raw};
  failed.outcome = ChangeOutcome::kFailed;
  store->AddChange(failed);

  page->RemovedOnlyCheck->setChecked(true);  // searches at once
  ASSERT_EQ(page->RowCount(), 2);
  for (int row = kViewFixedRows; row < kViewFixedRows + 2; ++row) {
    EXPECT_EQ(page->Grid().Cell(kRemovedByColumn, row), clear.operatorName);
    EXPECT_EQ(page->Grid().Cell(kRemovedAtColumn, row), "05.03.2026 10:00:00");
    EXPECT_EQ(page->Grid().Cell(kInstrumentColumn, row), "pH-метр №2");
  }
  const ChangeTableModel& changes = page->ChangeRows();
  ASSERT_EQ(changes.rowCount(), 2);
  EXPECT_EQ(changes.Row(0),
            (std::vector<std::string>{"05.03.2026 10:00:00", "Сидоров Сидор Сидорович", "ПК-1",
                                      "pH-метр №2", "1", "P1", "Очистка папки", "", "2", "/b/1.bak",
                                      "выполнено"}));
  EXPECT_EQ(changes.Row(1)[10], "не записано");
  EXPECT_EQ(changes.headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), "Изменение");

  page->InstrumentEdit->setText("другой");
  page->Refresh();
  EXPECT_EQ(page->RowCount(), 0);
  EXPECT_EQ(changes.rowCount(), 0);
}

}  // namespace
}  // namespace orti
