#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "app/about_box.h"
#include "app/hidden_window.h"
#include "app/log_page.h"
#include "app/main_window.h"
#include "app/silent_line.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_app.h"

namespace orti {
namespace {

using test::App;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    setenv("ORTI415_HOME", home.Path().c_str(), 1);
  }
  test::TempDir home;
};

// The texts of the controls are checked in window_texts_test.cpp.
TEST_F(MainWindowTest, HasSizeSpeedBarAndPages) {
  TForm1 form;
  EXPECT_EQ(form.size(), QSize(909, 672));
  for (const char* name : {"SBByFolders", "SBByDate", "SBFoldersManagement", "SBTools", "SBArchive",
                           "SBRefreshData", "SBQuit"}) {
    auto* b = form.findChild<QToolButton*>(name);
    ASSERT_NE(b, nullptr) << name;
    EXPECT_TRUE(b->autoRaise()) << name;
  }
  EXPECT_TRUE(form.SpeedGroup->exclusive());
  EXPECT_EQ(form.SpeedGroup->buttons().size(), 5);
  EXPECT_FALSE(form.SBRefreshData->isCheckable());

  EXPECT_FALSE(form.MConnect->isEnabled());
  EXPECT_EQ(form.PageControl1->count(), 6);
  EXPECT_EQ(form.Timer1->interval(), 2000);
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_FALSE(form.Form6->isVisible());
}

TEST_F(MainWindowTest, StartUpWithoutOperatorsOpensTheSettingsPage) {
  TForm1 form;
  test::ScriptedDialogs dialogs;
  form.SetDialogs(&dialogs);
  test::OnSilentLine(form);
  ASSERT_EQ(form.FormShow({}), StartupResult::kRun);
  // Nothing answers on the line: the console goes offline and says so.
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].caption, "Ошибка при подключении");
  EXPECT_TRUE(form.State().link.offline);
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageSettings);
  EXPECT_TRUE(form.SBTools->isChecked());
  EXPECT_EQ(form.State().settingsPath, home.File("orti415.ini"));
  EXPECT_FALSE(form.State().settings.settingsChanged);
}

TEST_F(MainWindowTest, SpeedButtonsAndMenuSwitchPages) {
  TForm1 form;
  form.show();
  form.SBByFolders->click();
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageByFolders);
  form.MByDateTime->trigger();
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageByDate);
  EXPECT_TRUE(form.SBByDate->isChecked());
  EXPECT_FALSE(form.SBByFolders->isChecked());
  form.MFoldersManag->trigger();
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageFolders);
  EXPECT_TRUE(form.SBFoldersManagement->isChecked());
  form.SBTools->click();
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageSettings);
  form.MQuit->trigger();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindowTest, TimerSetsTheTimeoutFlagAndStops) {
  TForm1 form;
  form.Timer1->start();
  form.Timer1Timer();
  EXPECT_TRUE(form.State().link.timeout);
  EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(MainWindowTest, LogPageShowsClearsAndSavesTheLog) {
  TForm1 form;
  test::ScriptedDialogs dialogs;
  form.SetDialogs(&dialogs);
  test::OnSilentLine(form);
  form.FormShow({});
  EXPECT_EQ(dialogs.Forget("Ошибка при подключении"), 1u);
  form.Log().Clear();
  form.Log().AddLogLine("  первая");
  form.Log().AddLogLine("вторая");
  auto* memo = form.findChild<QPlainTextEdit*>("MemoLog");
  ASSERT_NE(memo, nullptr);
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->toPlainText(), "первая\nвторая");
  form.findChild<QPushButton*>("BtnSaveLog")->click();
  EXPECT_EQ(test::ReadBytes(home.File("orti-415.txt")),
            "\xEF\xE5\xF0\xE2\xE0\xFF\r\n\xE2\xF2\xEE\xF0\xE0\xFF\r\n");
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  form.findChild<QPushButton*>("BtnClearLog")->click();
  EXPECT_TRUE(memo->toPlainText().isEmpty());
  EXPECT_TRUE(form.Log().Lines().empty());
  auto* hidden = form.findChild<QPushButton*>("BitBtn7");
  EXPECT_FALSE(hidden->isEnabled());
}

TEST(AboutBox, LinksBlinkOncePerSecond) {
  App();
  TAboutBox box;
  EXPECT_EQ(box.windowTitle(), "О программе");
  EXPECT_EQ(box.ProductName->text(), "pH-метр \"ОРТИ-415\"");
  EXPECT_EQ(box.Version->text(), "Версия 1.0 (RC1)");
  EXPECT_EQ(box.Timer1->interval(), 1000);
  box.show();
  EXPECT_TRUE(box.Timer1->isActive());
  EXPECT_EQ(box.Phase(), 0);
  box.Timer1Timer();
  EXPECT_TRUE(box.SBMailTo->font().underline());
  EXPECT_EQ(box.Phase(), 1);
  box.Timer1Timer();
  EXPECT_FALSE(box.SBWeb->font().underline());
  EXPECT_TRUE(box.SBWeb->font().bold());
  EXPECT_TRUE(box.SBWeb->font().italic());
  box.OKButton->click();
  EXPECT_FALSE(box.Timer1->isActive());
}

}  // namespace
}  // namespace orti
