#include "app/folders_page.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "app/main_window.h"
#include "app/qt_sync_progress.h"
#include "folders/folder_fixture.h"
#include "folders/journal.h"
#include "platform/date_time.h"
#include "support/temp_dir.h"

namespace orti::test {
namespace {

QApplication& FoldersApp() {
  static int argc = 1;
  static char name[] = "app_tests";
  static char* argv[] = {name, nullptr};
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// What the cells of column `col` need to show their texts whole.
int TextWidth(const QAbstractItemView* view, int col) {
  return view->sizeHintForColumn(col);
}

class FoldersPageTest : public FolderFixture {
 protected:
  FoldersPageTest() {
    MakeFolder(0, "ОБЩАЯ", {0});
    MakeFolder(1, "ВОДА", {0, 1});
    page.SetSyncContext([this] {  // with the real TForm4
      return SyncContext{Services(dialogs), progressWindow, views};
    });
    page.FillFolderList(*model);
  }
  bool appReady = (FoldersApp(), true);  // widgets need the application first
  WriteProgress progressWindow{nullptr};
  FoldersPage page;
};

TEST_F(FoldersPageTest, ShowsTheFoldersAndHidesWhatNoCodeShows) {
  ASSERT_EQ(page.LBFolders->count(), 4);
  EXPECT_EQ(page.LBFolders->item(1)->text(), "ВОДА");
  EXPECT_EQ(page.LBFolders->item(2)->text(), "<Свободно>");
  EXPECT_EQ(page.EFolderName->maxLength(), 16);
  page.show();
  EXPECT_FALSE(page.SGFoldersOperations->isVisible());
  EXPECT_FALSE(page.BtnSyncroFolders->isVisible());
  EXPECT_FALSE(page.LWarn->isVisible());
  EXPECT_FALSE(page.BitBtn4->isVisible());
  EXPECT_EQ(page.SGFoldersOperations->model()->headerData(3, Qt::Horizontal).toString(),
            "Результирующая папка");
  EXPECT_EQ(page.SGFoldersOperations->columnWidth(1), 240);
}

TEST_F(FoldersPageTest, SelectionEnablesTheFolderButtons) {
  page.LBFolders->setCurrentRow(0);
  EXPECT_FALSE(page.BtnRenameFolder->isEnabled());
  EXPECT_FALSE(page.BtnRemoveFolder->isEnabled());
  EXPECT_TRUE(page.BtnClearFolder->isEnabled());
  page.LBFolders->setCurrentRow(2);
  EXPECT_FALSE(page.BtnClearFolder->isEnabled());
  page.LBFolders->setCurrentRow(1);
  EXPECT_TRUE(page.BtnRenameFolder->isEnabled());
  EXPECT_TRUE(page.BtnRemoveFolder->isEnabled());
  EXPECT_TRUE(page.BtnNewFolder->isEnabled());
  page.BtnAddFolderName->click();
  EXPECT_EQ(page.EFolderName->text(), "ВОДА");
}

TEST_F(FoldersPageTest, CreatingAFolderWritesItAndShowsTheJournal) {
  page.show();
  page.EFolderName->setText("проба");
  dialogs.Expect(DialogAnswer::kYes);
  ReplyOk(2);

  page.BtnNewFolder->click();

  EXPECT_EQ(Addresses(), (std::vector<int>{Base(2), Base(2)}));
  EXPECT_EQ(page.LBFolders->item(2)->text(), "ПРОБА");
  EXPECT_EQ(page.EFolderName->text(), "ПРОБА");
  EXPECT_TRUE(page.SGFoldersOperations->isVisible());
  ASSERT_EQ(page.SGFoldersOperations->model()->rowCount(), 2);  // the entry and the empty row
  EXPECT_EQ(page.SGFoldersOperations->model()->index(0, 1).data().toString(), "Создание папки");
  // The time shows whole: its column is as wide as the cell's text needs.
  EXPECT_LE(TextWidth(page.SGFoldersOperations, 0), page.SGFoldersOperations->columnWidth(0));
  EXPECT_EQ(progressWindow.Window(), nullptr);  // created for the write, gone afterwards
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FoldersPageTest, TheJournalsTimeColumnIsMeasuredInTheFontInUse) {
  const QFont normal = QApplication::font();
  QFont large = normal;
  large.setPixelSize(26);
  QApplication::setFont(large);
  FoldersPage largePage;
  QApplication::setFont(normal);
  AddJournalRow(largePage.Journal(), EncodeDate(2026, 12, 8) + EncodeTime(11, 40, 5),
                kJournalCreate, "", "ПРОБА");
  QTableView* journal = largePage.SGFoldersOperations;
  EXPECT_GT(journal->columnWidth(0), page.SGFoldersOperations->columnWidth(0));
  EXPECT_LE(TextWidth(journal, 0), journal->columnWidth(0));
}

// The main window with folder 1 "ВОДА" pending in `state`, and a link
// whose reads are served from memory.
struct MainWindowWithFolder {
  explicit MainWindowWithFolder(FolderState state) {
    setenv("ORTI415_HOME", home.Path().c_str(), 1);
    form.State().programFolder = home.Path();  // where the backups go
    form.SetDialogs(&dialogs);
    form.SetLink(&link);
    link.ServeReadsFromMemory();
    model.identity.notepadAddress = kNotepad;
    model.folderCount = 4;
    SetFolderName(model.folders[1], "ВОДА");
    EmptyAllSlots(model.folders[1]);  // its slots as a free block holds them
    model.folders[1].state = state;
    model.folders[1].pending = 1;
    model.folders[1].readInFull = true;
  }
  bool appReady = (FoldersApp(), true);
  TempDir home;
  TForm1 form;
  ScriptedDialogs dialogs;
  ScriptedExchanger link;
  NotepadModel& model = form.Model();
};

TEST(MainWindowFolders, LeavingAPageWithPendingChangesOffersToWriteThem) {
  MainWindowWithFolder w(FolderState::kCreatePending);
  w.dialogs.Expect(DialogAnswer::kYes);  // pending question
  w.dialogs.Expect(DialogAnswer::kYes);  // write question
  w.link.Accept();
  w.link.Accept();
  w.form.SBTools->click();

  ASSERT_EQ(w.dialogs.Calls().size(), 2u);
  EXPECT_EQ(w.dialogs.Calls()[0].caption, "Синхронизация");
  EXPECT_EQ(w.dialogs.Calls()[1].caption, "Обновление данных");
  EXPECT_EQ(w.link.Writes().size(), 2u);
  EXPECT_FALSE(AnyFolderPending(w.model));
  EXPECT_EQ(w.form.PageControl1->currentIndex(), kPageSettings);
}

TEST(MainWindowFolders, ClosingWithAFolderWhoseWritingFailedAsksFirst) {
  MainWindowWithFolder w(FolderState::kRewritePending);
  w.model.folders[1].writeFailed = true;
  w.form.show();

  w.dialogs.Expect(DialogAnswer::kCancel);
  w.form.MQuit->trigger();
  EXPECT_TRUE(w.form.isVisible());
  ASSERT_EQ(w.dialogs.Calls().size(), 1u);
  EXPECT_NE(w.dialogs.Calls()[0].text.find("ВОДА (№ 1)"), std::string::npos);
  EXPECT_EQ(w.dialogs.Calls()[0].buttons, DialogButtons::kYesNoCancel);

  w.dialogs.Expect(DialogAnswer::kNo);
  w.form.close();
  EXPECT_FALSE(w.form.isVisible());
  EXPECT_TRUE(w.link.requests.empty());
}

}  // namespace
}  // namespace orti::test
