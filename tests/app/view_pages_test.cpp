#include <gtest/gtest.h>

#include <QGroupBox>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QStackedWidget>
#include <cstring>

#include "app/column_choice.h"
#include "app/main_window.h"
#include "app/silent_line.h"
#include "app/view_pages.h"
#include "platform/date_time.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_app.h"

namespace orti {
namespace {

using test::App;

class ViewPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    setenv("ORTI415_HOME", home.Path().c_str(), 1);
    form = std::make_unique<TForm1>();
    form->SetDialogs(&dialogs);
    test::OnSilentLine(*form);
    form->FormShow({});  // prepares the views and applies the column choice
  }

  // Folder "Проба" (cp1251) with records in slots 0 and 1, the later one first.
  void FillTwoRecords() {
    NotepadModel& m = form->Model();
    NotepadFolder& f = m.folders[0];
    std::strcpy(f.name, "\xCF\xF0\xEE\xE1\xE0");
    f.state = FolderState::kAsRead;
    for (int s = 0; s < 2; ++s) {
      NotepadRecord& r = f.records[s];
      r.mode = s == 0 ? kModePh : kModeMv;
      r.dateTime = EncodeDate(2026, 3, 1) + EncodeTime(s == 0 ? 11 : 9, 0, 0);
      r.temperature = 25;
      r.emf = -120;
      r.ph = 7;
      r.ph25 = 7;
      m.byDate.folder[s] = 0;
      m.byDate.record[s] = s;
      m.byDate.dateTime[s] = r.dateTime;
    }
    m.folderCount = 1;
    form->SortByDateIndex();
    form->FillGrids();
  }

  QString Text(QTableView* grid, int row, int col) {
    return grid->model()->index(row, col).data().toString();
  }

  test::TempDir home;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TForm1> form;
};

// Whether the cell shows any strongly red pixel: only the deletion icon has them.
bool CellHasRed(QTableView* grid, int row) {
  auto* pages = qobject_cast<QStackedWidget*>(grid->parentWidget()->parentWidget());
  if (pages) pages->setCurrentWidget(grid->parentWidget());
  grid->window()->show();
  QApplication::processEvents();
  const QImage image = grid->viewport()->grab().toImage();
  const QRect cell = grid->visualRect(grid->model()->index(row, 0));
  for (int y = cell.top(); y <= cell.bottom(); ++y) {
    for (int x = cell.left(); x <= cell.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 180 && c.green() < 90 && c.blue() < 90) return true;
    }
  }
  return false;
}

TEST_F(ViewPagesTest, GridsShowTitlesTextsAndTheIconColumn) {
  FillTwoRecords();
  const QString sep = QLocale::system().decimalPoint();
  QTableView* grid1 = form->StringGrid1;
  QTableView* grid2 = form->StringGrid2;
  EXPECT_EQ(form->ToolBar2->parentWidget(), form->TabSheet3);
  EXPECT_EQ(grid1->model()->headerData(3, Qt::Horizontal).toString(), "Папка");
  EXPECT_EQ(grid2->model()->headerData(3, Qt::Horizontal).toString(), "Дата/Время");
  ASSERT_EQ(grid1->model()->rowCount(), 2);
  EXPECT_EQ(Text(grid1, 0, 3), "Проба");
  EXPECT_EQ(Text(grid1, 0, 4), "pH");
  EXPECT_EQ(Text(grid1, 0, 6), "25" + sep + "0");
  EXPECT_EQ(Text(grid1, 0, 8), "7" + sep + "000");
  EXPECT_EQ(Text(grid2, 0, 3), "01.03.2026 09:00:00");
  EXPECT_EQ(Text(grid2, 0, 5), "mV");

  for (QTableView* grid : {grid1, grid2}) {
    EXPECT_EQ(grid->model()->columnCount(), 10);
    for (int c : {1, 2}) EXPECT_TRUE(grid->isColumnHidden(c)) << c;
    EXPECT_EQ(grid->columnWidth(0), 20);
    EXPECT_EQ(grid->columnWidth(5), grid == grid1 ? 159 : 97);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ContiguousSelection);
    // Dragging the icon column wider does not last.
    grid->horizontalHeader()->resizeSection(0, 60);
    EXPECT_EQ(grid->columnWidth(0), 20);
  }

  form->ByFoldersGrid().SetCell(kMarkColumn, 2, "D");
  EXPECT_TRUE(CellHasRed(grid1, 1));
  EXPECT_FALSE(CellHasRed(grid1, 0));
  form->ByFoldersGrid().SetCell(kMarkColumn, 2, "d");  // only the upper-case letter counts
  EXPECT_FALSE(CellHasRed(grid1, 1));
  form->ByFoldersGrid().SetCell(kMarkColumn, 1, "S");
  form->ByFoldersGrid().SetCell(kMarkColumn, 2, "P");
  EXPECT_FALSE(grid1->grab().isNull());
}

TEST_F(ViewPagesTest, CheckListsHideAndShowColumns) {
  ColumnChoice* choice = form->ColumnsChoice;
  auto* group = qobject_cast<QGroupBox*>(choice->parentWidget()->parentWidget());
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), " Отображение данных блокнота ");
  EXPECT_EQ(choice->PageControl3->tabText(0), "По папкам");
  EXPECT_EQ(choice->PageControl3->tabText(1), "По датам");
  ASSERT_EQ(choice->CLBoxFolders->count(), 7);
  EXPECT_EQ(choice->CLBoxDate->item(0)->text(), "Дата/Время");
  QTableView* grid1 = form->StringGrid1;
  QTableView* grid2 = form->StringGrid2;

  choice->CLBoxFolders->item(1)->setCheckState(Qt::Unchecked);
  EXPECT_TRUE(grid1->isColumnHidden(4));
  EXPECT_FALSE(grid2->isColumnHidden(4));
  grid1->setColumnWidth(3, 300);
  choice->CLBoxFolders->item(1)->setCheckState(Qt::Checked);
  EXPECT_FALSE(grid1->isColumnHidden(4));
  EXPECT_EQ(grid1->columnWidth(3), 151);  // a dragged width is reset by the next click

  for (int i = 0; i < choice->CLBoxDate->count(); ++i) {
    choice->CLBoxDate->item(i)->setCheckState(Qt::Unchecked);
  }
  int visible = 0;
  for (int c = 0; c < kViewColumns; ++c) visible += grid2->isColumnHidden(c) ? 0 : 1;
  EXPECT_EQ(visible, 1);
  EXPECT_FALSE(grid2->isColumnHidden(0));
}

TEST_F(ViewPagesTest, PopupItemsFollowTheShownRecords) {
  QMenu* folders = form->PMByFolders;
  QMenu* dates = form->PMByDateTime;
  EXPECT_EQ(folders->objectName(), "PMByFolders");
  EXPECT_EQ(dates->objectName(), "PMByDateTime");
  QStringList names, captions;
  for (QAction* a : dates->actions()) {
    names << a->objectName();
    captions << a->text();
  }
  EXPECT_EQ(names, (QStringList{"PMBDTSelAll", "PMBDTUnselAll", "PMBDTSave2File", "PMBDTPrint",
                                "N3", "PMBDTRemove", "PMBDTUnRemove"}));
  EXPECT_EQ(captions,
            (QStringList{"Выбрать все", "Сбросить отметку", "Сохранить в файл", "Напечатать", "",
                         "Отметить для удаления", "Сбросить отметку для удаления"}));
  EXPECT_EQ(form->TabSheet2->Print->objectName(), "PMBFDelete");
  EXPECT_EQ(form->TabSheet2->Print->text(), "Напечатать");

  emit folders->aboutToShow();  // empty notepad
  for (QMenu* menu : {folders, dates}) {
    for (QAction* a : menu->actions())
      EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  }
  FillTwoRecords();
  emit dates->aboutToShow();
  for (QMenu* menu : {folders, dates}) {
    for (QAction* a : menu->actions()) EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
  }
}

TEST_F(ViewPagesTest, EmptyViewsKeepOneRowWithTheRecordIcon) {
  form->FillGrids();
  EXPECT_EQ(form->ByFoldersGrid().RowCount(), 2);
  EXPECT_EQ(form->StringGrid2->model()->rowCount(), 1);
  EXPECT_EQ(Text(form->StringGrid2, 0, 3), "");
  EXPECT_FALSE(CellHasRed(form->StringGrid2, 0));
}

}  // namespace
}  // namespace orti
