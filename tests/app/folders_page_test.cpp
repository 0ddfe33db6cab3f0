#include "app/folders_page.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "app/tform1.h"
#include "app/write_progress.h"
#include "folders/folder_fixture.h"
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

class FoldersPageTest : public FolderFixture {
 protected:
  FoldersPageTest() {
    MakeFolder(0, "ОБЩАЯ", {0});
    MakeFolder(1, "ВОДА", {0, 1});
    page.SetSyncContext([this] {  // with the real TForm4
      return SyncContext{*model, state, dialogs, log, progressWindow, views, link};
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
  EXPECT_EQ(page.Label2->text(), "Имя папки (не более 16 символов)");
  EXPECT_EQ(page.BtnClearFolders->text(), "Очистить все папки");
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
  EXPECT_EQ(progressWindow.Window(), nullptr);  // created for the write, gone afterwards
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(MainWindowFolders, LeavingAPageWithPendingChangesOffersToWriteThem) {
  FoldersApp();
  TempDir home;
  setenv("ORTI415_HOME", home.Path().c_str(), 1);
  TForm1 form;
  ScriptedDialogs dialogs;
  ScriptedExchanger link;
  form.SetDialogs(&dialogs);
  form.SetLink(&link);
  NotepadModel& model = form.Model();
  model.identity.notepadAddress = kNotepad;
  model.folderCount = 4;
  SetFolderName(model.folders[1], "ВОДА");
  model.folders[1].state = FolderState::kCreatePending;
  model.folders[1].pending = 1;
  model.folders[1].readInFull = true;
  link.ServeReadsFromMemory();

  dialogs.Expect(DialogAnswer::kYes);  // pending question
  dialogs.Expect(DialogAnswer::kYes);  // write question
  link.Accept();
  link.Accept();
  form.SBTools->click();

  ASSERT_EQ(dialogs.Calls().size(), 2u);
  EXPECT_EQ(dialogs.Calls()[0].caption, "Синхронизация");
  EXPECT_EQ(dialogs.Calls()[1].caption, "Обновление данных");
  EXPECT_EQ(link.Writes().size(), 2u);
  EXPECT_FALSE(AnyFolderPending(model));
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageSettings);
}

TEST(MainWindowFolders, ClosingWithAFolderWhoseWritingFailedAsksFirst) {
  FoldersApp();
  TempDir home;
  setenv("ORTI415_HOME", home.Path().c_str(), 1);
  TForm1 form;
  ScriptedDialogs dialogs;
  ScriptedExchanger link;
  form.SetDialogs(&dialogs);
  form.SetLink(&link);
  NotepadModel& model = form.Model();
  model.identity.notepadAddress = kNotepad;
  model.folderCount = 4;
  SetFolderName(model.folders[1], "ВОДА");
  model.folders[1].state = FolderState::kRewritePending;
  model.folders[1].pending = 1;
  model.folders[1].writeFailed = true;
  form.show();

  dialogs.Expect(DialogAnswer::kCancel);
  form.MQuit->trigger();
  EXPECT_TRUE(form.isVisible());
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_NE(dialogs.Calls()[0].text.find("ВОДА (№ 1)"), std::string::npos);
  EXPECT_EQ(dialogs.Calls()[0].buttons, DialogButtons::kYesNoCancel);

  dialogs.Expect(DialogAnswer::kNo);
  form.close();
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(link.requests.empty());
}

}  // namespace
}  // namespace orti::test
