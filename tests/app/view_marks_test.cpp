// The mark commands and "Выполнить" of the two views, driven through the
// main window's buttons and popup items.

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <cstring>
#include <memory>

#include "app/folders_page.h"
#include "app/grid_selection.h"
#include "app/main_window.h"
#include "app/silent_line.h"
#include "app/view_pages.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_app.h"
#include "views/view_layout.h"

namespace orti {
namespace {

struct PrintCall {
  ViewKind view;
  std::vector<int> rows;  // the rows marked "P" when the report was asked for
};

class ViewMarksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    setenv("ORTI415_HOME", home.Path().c_str(), 1);
    form = std::make_unique<TForm1>();
    form->SetDialogs(&dialogs);
    form->SetFileChooser(&files);
    test::OnSilentLine(*form);
    form->SetReportPrinter([this](ViewKind view, const StringGrid&, const std::vector<int>& rows) {
      printed.push_back({view, rows});
      return printerAnswer;
    });
    PrepareViewGrid(ViewKind::kByFolders, form->ByFoldersGrid());
    PrepareViewGrid(ViewKind::kByDate, form->ByDateGrid());
    FillNotepad();
  }

  // Folder 0 "Вода" with three records, folder 1 "Почва" with two; the by-date
  // order interleaves them: F1S0 (day 1), F0S0 (2), F0S1 (3), F1S1 (4), F0S2 (5).
  void FillNotepad() {
    NotepadModel& m = form->Model();
    const char* names[] = {"Вода", "Почва"};
    const int counts[] = {3, 2};
    const int days[2][3] = {{2, 3, 5}, {1, 4, 0}};
    int entry = 0;
    for (int f = 0; f < 2; ++f) {
      NotepadFolder& folder = m.folders[f];
      std::strcpy(folder.name, Utf8ToCp1251(names[f]).c_str());
      folder.state = FolderState::kAsRead;
      folder.readInFull = true;
      for (int s = 0; s < counts[f]; ++s) {
        NotepadRecord& r = folder.records[s];
        r.mode = kModePh;
        r.dateTime = EncodeDate(2026, 4, days[f][s]) + EncodeTime(10, 0, 0);
        r.temperature = 20 + s;
        r.ph = 7;
        m.byDate.folder[entry] = f;
        m.byDate.record[entry] = s;
        m.byDate.dateTime[entry] = r.dateTime;
        ++entry;
      }
    }
    m.folderCount = 2;
    form->SortByDateIndex();
    form->FillGrids();
  }

  QTableView* Grid(ViewKind view) {
    return view == ViewKind::kByFolders ? form->StringGrid1 : form->StringGrid2;
  }
  StringGrid& Texts(ViewKind view) {
    return view == ViewKind::kByFolders ? form->ByFoldersGrid() : form->ByDateGrid();
  }

  void Select(ViewKind view, int top, int bottom, int current) {
    test::SelectRows(Grid(view), top, bottom, current);
  }
  void SelectOne(ViewKind view, int row) { test::SelectRow(Grid(view), row); }
  std::vector<int> SelectedRows(ViewKind view) { return test::SelectedRows(Grid(view)); }
  int CursorRow(ViewKind view) { return test::CursorRow(Grid(view)); }

  std::string Marks(ViewKind view) {
    std::string marks;
    for (int row = 1; row < Texts(view).RowCount(); ++row) {
      const std::string& mark = Texts(view).Cell(kMarkColumn, row);
      marks += mark.empty() ? "." : mark;
    }
    return marks;
  }

  int JournalEntries() { return form->TabSheet1->Journal().RowCount() - 2; }

  test::TempDir home;
  test::ScriptedDialogs dialogs;
  test::ScriptedFileChooser files;
  std::unique_ptr<TForm1> form;
  std::vector<PrintCall> printed;
  bool printerAnswer = true;
};

TEST_F(ViewMarksTest, TogglesMarkTheSelectedRowsAndKeepTheSelection) {
  form->show();
  Select(ViewKind::kByFolders, 2, 4, 3);
  form->BtnSaveGrid1->click();
  EXPECT_EQ(Marks(ViewKind::kByFolders), ".SSS.");
  EXPECT_EQ(SelectedRows(ViewKind::kByFolders), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(CursorRow(ViewKind::kByFolders), 3);
  // The icon column shows the new mark: its cell is repainted with the row.
  EXPECT_EQ(Grid(ViewKind::kByFolders)->model()->index(1, 1).data().toString(), "S");

  Select(ViewKind::kByFolders, 3, 5, 5);
  form->BtnPrintGrid1->click();  // "S" is replaced, an empty row gets "P"
  EXPECT_EQ(Marks(ViewKind::kByFolders), ".SPPP");
  form->BtnPrintGrid1->click();  // and a second toggle takes them off again
  EXPECT_EQ(Marks(ViewKind::kByFolders), ".S...");
  EXPECT_EQ(SelectedRows(ViewKind::kByFolders), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(CursorRow(ViewKind::kByFolders), 5);
  EXPECT_EQ(Marks(ViewKind::kByDate), ".....");  // the other view is not touched

  form->TabSheet3->SelAll->trigger();
  form->BtnSaveGrid2->click();
  EXPECT_EQ(Marks(ViewKind::kByDate), "SSSSS");
  EXPECT_EQ(SelectedRows(ViewKind::kByDate).size(), 5u);

  form->TabSheet3->UnselAll->trigger();  // "Сбросить отметку"
  EXPECT_EQ(Marks(ViewKind::kByDate), ".....");
  EXPECT_EQ(SelectedRows(ViewKind::kByDate), (std::vector<int>{1}));
  EXPECT_EQ(Marks(ViewKind::kByFolders), ".S...");
}

// The popup items' keys, pressed on the grid with the focus.
TEST_F(ViewMarksTest, KeysOnTheGridActAsThePopupItems) {
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->MByDateTime->trigger();
  QTableView* grid = Grid(ViewKind::kByDate);
  grid->setFocus();
  auto press = [grid](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(grid, static_cast<Qt::Key>(key), modifiers);
  };

  SelectOne(ViewKind::kByDate, 2);
  press(Qt::Key_Delete);
  EXPECT_EQ(Marks(ViewKind::kByDate), ".D...");
  EXPECT_EQ(form->Model().folders[0].records[0].deletionMark, 1);
  SelectOne(ViewKind::kByDate, 2);
  press(Qt::Key_Insert);
  EXPECT_EQ(Marks(ViewKind::kByDate), ".....");

  SelectOne(ViewKind::kByDate, 3);
  files.Expect(std::nullopt);  // the save dialog, cancelled
  press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(files.Requests().size(), 1u);
  EXPECT_EQ(Marks(ViewKind::kByDate), ".....");
}

TEST_F(ViewMarksTest, DeletionMarkShowsInBothViewsAndSurvivesTheToggles) {
  // By-date row 2 is folder 0, slot 0: by-folders row 1.
  SelectOne(ViewKind::kByDate, 2);
  form->TabSheet3->Remove->trigger();
  EXPECT_EQ(Marks(ViewKind::kByDate), ".D...");
  EXPECT_EQ(Marks(ViewKind::kByFolders), "D....");
  EXPECT_EQ(CursorRow(ViewKind::kByFolders), 1);  // the other view's cursor went there
  const NotepadFolder& folder = form->Model().folders[0];
  EXPECT_EQ(folder.records[0].deletionMark, 1);
  EXPECT_EQ(folder.pending, 1);
  EXPECT_EQ(folder.state, FolderState::kRewritePending);
  EXPECT_FALSE(form->TabSheet1->SGFoldersOperations->isHidden());
  ASSERT_EQ(JournalEntries(), 1);
  EXPECT_EQ(form->TabSheet1->Journal().Cell(1, 1), "Удаление записи");
  EXPECT_EQ(form->TabSheet1->Journal().Cell(2, 1), "Вода");
  EXPECT_FALSE(form->RemPanel1->isHidden());
  EXPECT_FALSE(form->RemPanel2->isHidden());

  for (ViewKind view : {ViewKind::kByFolders, ViewKind::kByDate}) {
    Select(view, 1, 5, 1);
    if (view == ViewKind::kByFolders) {
      form->BtnSaveGrid1->click();
      form->BtnPrintGrid1->click();
      form->BtnSaveGrid1->click();
    } else {
      form->BtnSaveGrid2->click();
      form->BtnPrintGrid2->click();
      form->BtnSaveGrid2->click();
    }
  }
  EXPECT_EQ(Marks(ViewKind::kByFolders), "DSSSS");
  EXPECT_EQ(Marks(ViewKind::kByDate), "SDSSS");
  form->PMBFUnselAllClick();
  EXPECT_EQ(Marks(ViewKind::kByFolders), "D....");

  // A row that carries "S" cannot be marked for deletion until its mark is reset.
  SelectOne(ViewKind::kByDate, 1);
  form->PMBDTRemoveClick();
  EXPECT_EQ(Marks(ViewKind::kByDate), "SDSSS");
  EXPECT_EQ(form->Model().folders[1].records[0].deletionMark, 0);
  EXPECT_EQ(JournalEntries(), 1);
}

TEST_F(ViewMarksTest, TakingBackTheLastDeletionMarkHidesThePanels) {
  SelectOne(ViewKind::kByFolders, 2);  // folder 0, slot 1: by-date row 3
  form->PMBFRemoveClick();
  SelectOne(ViewKind::kByFolders, 4);  // folder 1, slot 0: by-date row 1
  form->PMBFRemoveClick();
  EXPECT_EQ(Marks(ViewKind::kByDate), "D.D..");

  SelectOne(ViewKind::kByDate, 3);
  form->TabSheet3->UnRemove->trigger();
  EXPECT_EQ(Marks(ViewKind::kByDate), "D....");
  EXPECT_EQ(Marks(ViewKind::kByFolders), "...D.");
  EXPECT_EQ(CursorRow(ViewKind::kByFolders), 2);
  EXPECT_EQ(form->Model().folders[0].records[1].deletionMark, 0);
  EXPECT_EQ(form->Model().folders[0].pending, 0);
  EXPECT_EQ(form->Model().folders[0].state, FolderState::kRewritePending);
  EXPECT_FALSE(form->RemPanel1->isHidden());
  EXPECT_FALSE(form->RemPanel2->isHidden());

  SelectOne(ViewKind::kByFolders, 4);
  form->TabSheet2->UnRemove->trigger();
  EXPECT_EQ(Marks(ViewKind::kByDate), ".....");
  EXPECT_TRUE(form->RemPanel1->isHidden());
  EXPECT_TRUE(form->RemPanel2->isHidden());
  ASSERT_EQ(JournalEntries(), 4);
  EXPECT_EQ(form->TabSheet1->Journal().Cell(1, 4), "Отмена удаления записи");
  EXPECT_EQ(form->TabSheet1->Journal().Cell(2, 4), "Почва");
}

TEST_F(ViewMarksTest, ExecuteWithSaveAbovePrintExportsOnlyAndResetsBoth) {
  SelectOne(ViewKind::kByDate, 2);
  form->BtnSaveGrid2->click();
  SelectOne(ViewKind::kByDate, 3);
  form->BtnPrintGrid2->click();
  SelectOne(ViewKind::kByDate, 5);
  form->BtnSaveGrid2->click();  // unselected, but exported all the same
  EXPECT_EQ(Marks(ViewKind::kByDate), ".SP.S");

  form->State().session.operatorFullName = "Иванов Пётр Сергеевич";
  const std::string path = home.File("out.csv");
  files.Expect(path);
  Select(ViewKind::kByDate, 1, 3, 1);
  form->BtnExecByDateTime->click();

  EXPECT_TRUE(printed.empty());
  EXPECT_EQ(Marks(ViewKind::kByDate), ".....");
  EXPECT_EQ(SelectedRows(ViewKind::kByDate), (std::vector<int>{1}));
  ASSERT_EQ(files.Requests().size(), 1u);
  EXPECT_EQ(files.Requests()[0].title, "Экспорт данных");
  EXPECT_TRUE(dialogs.Calls().empty());
  const std::string text = Cp1251ToUtf8(test::ReadBytes(path));
  const std::string sep = Texts(ViewKind::kByDate).Cell(6, 1).substr(2, 1);
  EXPECT_EQ(text,
            "Дата/Время;Папка;Режим;T (C);ЭДС (мВ);pH;pH25;Исполнитель\r\n"
            "02.04.2026 10:00:00;Вода;pH;20" +
                sep + "0;0" + sep + "0;7" + sep + "000;0" + sep +
                "000;Иванов Пётр Сергеевич\r\n"
                "05.04.2026 10:00:00;Вода;pH;22" +
                sep + "0;0" + sep + "0;7" + sep + "000;0" + sep + "000;Иванов Пётр Сергеевич\r\n");
}

TEST_F(ViewMarksTest, RefusedExportKeepsEveryMark) {
  const std::string path = home.File("foreign.csv");
  test::WriteBytes(path, "Something;else\r\n");
  SelectOne(ViewKind::kByFolders, 1);
  form->BtnSaveGrid1->click();
  SelectOne(ViewKind::kByFolders, 2);
  form->BtnPrintGrid1->click();
  files.Expect(path);
  dialogs.Expect(DialogAnswer::kYes);  // extend the existing file
  Select(ViewKind::kByFolders, 1, 2, 1);
  form->BtnExecByFoldersClick();
  ASSERT_EQ(dialogs.Calls().size(), 2u);
  EXPECT_EQ(dialogs.Calls()[1].text.rfind("Структура файла не соответствует", 0), 0u);
  EXPECT_EQ(Marks(ViewKind::kByFolders), "SP...");
  EXPECT_EQ(test::ReadBytes(path), "Something;else\r\n");

  files.Expect(std::nullopt);  // the operator cancels the save dialog: the marks go
  form->BtnExecByFoldersClick();
  EXPECT_EQ(Marks(ViewKind::kByFolders), ".....");
}

TEST_F(ViewMarksTest, ExecutePrintsEveryPrintRowAndResetsWhetherOrNotPrinted) {
  SelectOne(ViewKind::kByFolders, 4);
  form->BtnPrintGrid1->click();
  Select(ViewKind::kByFolders, 1, 2, 1);
  form->PMBFDeleteClick();  // "Напечатать": toggle "P" on rows 1-2, then Execute
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].view, ViewKind::kByFolders);
  EXPECT_EQ(printed[0].rows, (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(Marks(ViewKind::kByFolders), ".....");

  printerAnswer = false;  // the print dialog cancelled
  Select(ViewKind::kByDate, 4, 5, 4);
  form->PMBDTPrintClick();
  ASSERT_EQ(printed.size(), 2u);
  EXPECT_EQ(printed[1].rows, (std::vector<int>{4, 5}));
  EXPECT_EQ(Marks(ViewKind::kByDate), ".....");
  EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(ViewMarksTest, ExecuteWithoutMarkOrWithDeletionFirstSynchronises) {
  SelectOne(ViewKind::kByDate, 5);
  form->BtnPrintGrid2->click();
  dialogs.Expect(DialogAnswer::kNo);
  Select(ViewKind::kByDate, 1, 2, 1);  // no mark among the selected rows
  form->BtnExecByDateTime->click();
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].caption, "Обновление данных");
  EXPECT_TRUE(printed.empty());
  EXPECT_EQ(Marks(ViewKind::kByDate), ".....");  // unselected "P" reset all the same

  // The first mark "D" decides, even with "S" below it.
  SelectOne(ViewKind::kByDate, 2);
  form->PMBDTRemoveClick();
  SelectOne(ViewKind::kByDate, 3);
  form->BtnSaveGrid2->click();
  dialogs.Expect(DialogAnswer::kNo);
  Select(ViewKind::kByDate, 2, 3, 2);
  form->BtnExecByDateTimeClick();
  ASSERT_EQ(dialogs.Calls().size(), 2u);
  EXPECT_EQ(dialogs.Calls()[1].caption, "Обновление данных");
  EXPECT_TRUE(files.Requests().empty());
  EXPECT_EQ(Marks(ViewKind::kByDate), ".D...");
  // Declined: the model forgets the pending change; the "D" stays in the views.
  EXPECT_EQ(form->Model().folders[0].pending, 0);

  // "Сохранить в файл" on rows that all carry "S" takes the marks off, then synchronises.
  SelectOne(ViewKind::kByFolders, 5);
  form->BtnSaveGrid1->click();
  dialogs.Expect(DialogAnswer::kNo);
  form->TabSheet2->SaveToFile->trigger();
  EXPECT_EQ(dialogs.Calls().size(), 3u);
  EXPECT_EQ(Marks(ViewKind::kByFolders), "D....");
}

TEST_F(ViewMarksTest, CommandsDoNothingWhileBusy) {
  form->State().link.busy = true;
  Select(ViewKind::kByFolders, 1, 5, 1);
  form->BtnSaveGrid1Click();
  form->PMBFRemoveClick();
  form->BtnExecByFoldersClick();  // would ask the synchronisation question
  EXPECT_EQ(Marks(ViewKind::kByFolders), ".....");
  EXPECT_EQ(form->Model().folders[0].records[0].deletionMark, 0);
  EXPECT_TRUE(dialogs.Calls().empty());
  form->State().link.busy = false;
  form->BtnSaveGrid1Click();
  EXPECT_EQ(Marks(ViewKind::kByFolders), "SSSSS");
}

TEST_F(ViewMarksTest, ToolBarsHoldTheCommandsAndOfflineDisablesThem) {
  EXPECT_EQ(form->findChild<QToolButton*>("BtnSaveGrid1"), form->BtnSaveGrid1);
  EXPECT_EQ(form->findChild<QToolButton*>("BtnPrintGrid2"), form->BtnPrintGrid2);
  EXPECT_TRUE(form->BtnSaveGrid2->text().isEmpty());
  EXPECT_FALSE(form->BtnPrintGrid1->icon().isNull());
  EXPECT_EQ(form->BtnExecByFolders->objectName(), "BtnExecByFolders");
  EXPECT_EQ(form->BtnExecByDateTime->text(), "Выполнить");
  EXPECT_TRUE(form->ToolBar2->isAncestorOf(form->RemPanel2));
  EXPECT_TRUE(form->RemPanel1->isHidden());
  auto* label = form->RemPanel2->findChild<QLabel*>("RemLabel2");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "После удаления данных необходимо произвести запись в прибор.");
  EXPECT_TRUE(label->font().bold());
  form->show();
  form->TabSheet3->show();
  const QImage text = label->grab().toImage();
  int red = 0;
  for (int y = 0; y < text.height(); ++y) {
    for (int x = 0; x < text.width(); ++x) {
      const QColor c = text.pixelColor(x, y);
      if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++red;
    }
  }
  EXPECT_GT(red, 50);  // the text is drawn in red
  EXPECT_NE(form->RemPanel1->findChild<QLabel*>("Image6"), nullptr);
  for (QMenu* menu : {form->PMByFolders, form->PMByDateTime}) {
    for (QAction* item : menu->actions()) {
      EXPECT_EQ(item->icon().isNull(), item->isSeparator()) << item->objectName().toStdString();
    }
  }

  form->FormShow({});  // nothing answers on the line: offline
  EXPECT_EQ(dialogs.Forget("Ошибка при подключении"), 1u);
  for (QWidget* w : std::initializer_list<QWidget*>{
           form->BtnSaveGrid1, form->BtnSaveGrid2, form->BtnPrintGrid1, form->BtnPrintGrid2,
           form->BtnExecByFolders, form->BtnExecByDateTime}) {
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  }
}

}  // namespace
}  // namespace orti
