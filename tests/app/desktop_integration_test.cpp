// What makes the console a Linux desktop program: command-line answers
// without windows, Qt's own texts in Russian, the save dialog's filter label,
// keyboard shortcuts through the menu's handlers, pictures at the screen's
// device pixel ratio.

#include <grp.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include "app/console_application.h"
#include "app/glyphs.h"
#include "app/icon_column_delegate.h"
#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "app/row_icons.h"
#include "support/device_group.h"
#include "support/fake_clock.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_serial_port.h"
#include "support/temp_dir.h"
#include "support/test_app.h"

namespace orti {
namespace {

using test::App;

TEST(ConsoleCommandLine, HelpAndVersionAreAnsweredOtherArgumentsAreNot) {
  EXPECT_EQ(CommandLineAnswer({"--version"}), "orti415 " ORTI415_VERSION_FOR_TESTS "\n");
  for (const char* help : {"--help", "-h"}) {
    const auto answer = CommandLineAnswer({help});
    ASSERT_TRUE(answer) << help;
    EXPECT_NE(answer->find("Usage: orti415 [/DEBUG]"), std::string::npos);
  }
  EXPECT_FALSE(CommandLineAnswer({}));
  EXPECT_FALSE(CommandLineAnswer({"/DEBUG"}));
  EXPECT_FALSE(CommandLineAnswer({"/debug", "--version"}));  // only the first argument counts
}

TEST(QtInRussian, TheSaveDialogSpeaksRussianAndShowsTheFilterLabelAsGiven) {
  QApplication& app = App();
  ASSERT_TRUE(InstallQtTranslations(app)) << "qtbase_ru (qt6-translations-l10n) missing";
  QWidget owner;
  QtDialogs dialogs(&owner);
  test::TempDir dir;
  QString fileNameLabel, firstFilter, acceptText;
  int filters = 0;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (auto* label = dialog->findChild<QLabel*>("fileNameLabel")) fileNameLabel = label->text();
    if (auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo")) {
      filters = combo->count();
      firstFilter = combo->itemText(0);
    }
    dialog->reject();
  });
  const auto chosen = dialogs.ChooseSaveFile(
      {"Экспорт данных", "Текстовые файлы (.csv)|*.csv|Текстовые файлы (.txt)|*.txt", "csv",
       dir.Path()});
  EXPECT_FALSE(chosen);
  EXPECT_TRUE(fileNameLabel.contains("Имя файла")) << fileNameLabel.toStdString();
  EXPECT_EQ(filters, 2);
  EXPECT_EQ(firstFilter, "Текстовые файлы (.csv)");
}

class DesktopWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    setenv("ORTI415_HOME", home.Path().c_str(), 1);
  }
  test::TempDir home;
};

// The items' texts are checked in window_texts_test.cpp.
TEST_F(DesktopWindowTest, MenuItemsCarryTheirShortcuts) {
  TForm1 form;
  const std::pair<QAction*, QKeySequence> expected[] = {
      {form.MRefresh, QKeySequence(Qt::Key_F5)},
      {form.MQuit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {form.MByFolders, QKeySequence(Qt::CTRL | Qt::Key_1)},
      {form.MByDateTime, QKeySequence(Qt::CTRL | Qt::Key_2)},
      {form.MFoldersManag, QKeySequence(Qt::CTRL | Qt::Key_3)},
      {form.MOptions, QKeySequence(Qt::CTRL | Qt::Key_4)}};
  for (const auto& [action, keys] : expected) {
    EXPECT_EQ(action->shortcut(), keys) << action->objectName().toStdString();
  }
}

TEST_F(DesktopWindowTest, KeysSwitchPagesAsTheMenuItemsDo) {
  TForm1 form;
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, Qt::Key_2, Qt::ControlModifier);
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageByDate);
  EXPECT_TRUE(form.SBByDate->isChecked());
  QTest::keyClick(&form, Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageFolders);
  EXPECT_TRUE(form.SBFoldersManagement->isChecked());
  QTest::keyClick(&form, Qt::Key_4, Qt::ControlModifier);
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageSettings);
  EXPECT_TRUE(form.SBTools->isChecked());
  QTest::keyClick(&form, Qt::Key_1, Qt::ControlModifier);
  EXPECT_EQ(form.PageControl1->currentIndex(), kPageByFolders);
  EXPECT_TRUE(form.SBByFolders->isChecked());
  QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(DesktopWindowTest, APortWeMayNotOpenNamesItsGroupOnceAsMessageAndLogLine) {
  // A device of a group of its own; as root the open itself is scripted.
  test::TempDir dir;
  const std::string device = dir.File("ttyUSB0");
  test::WriteBytes(device, "");
  const std::string group = test::GiveToAnotherGroup(device);
  if (group.empty()) GTEST_SKIP() << "no other group to give the device to";

  TForm1 form;
  test::ScriptedDialogs dialogs;
  form.SetDialogs(&dialogs);
  static test::FakeClock clock;
  auto port = std::make_unique<test::ScriptedSerialPort>();
  port->openError = EACCES;  // every port: all of them are tried
  port->devicePath = device;
  form.UseSerialLine(std::move(port), clock);
  form.FormShow({});

  const std::string named = "группе «" + group + "»";
  int messages = 0;
  for (const auto& call : dialogs.Calls()) messages += call.text.find(named) != std::string::npos;
  EXPECT_EQ(messages, 1);
  int lines = 0;
  for (const auto& line : form.Log().Lines()) lines += line.find(named) != std::string::npos;
  EXPECT_EQ(lines, 1);
}

TEST(HiDpiPictures, IconsAreDrawnAtTheDevicePixelRatio) {
  App();
  const QPixmap record = MakeRowIcon(RowIcon::kRecord, 2.0);
  EXPECT_EQ(record.size(), QSize(2 * kRowIconSize, 2 * kRowIconSize));
  EXPECT_EQ(record.devicePixelRatio(), 2.0);
  const QPixmap print = MakeRowIcon(RowIcon::kPrint, 1.5);
  EXPECT_EQ(print.size(), QSize(24, 24));

  RowIconSet icons;
  EXPECT_EQ(icons.Get(RowIcon::kDelete).size(), QSize(kRowIconSize, kRowIconSize));
  EXPECT_EQ(icons.Get(RowIcon::kDelete, 2.0).size(), QSize(40, 40));
  // Painted on a 2x surface, the icon column uses the 2x picture: its pixels
  // differ from the 1x picture merely enlarged.
  QImage surface(QSize(60, 40) * 2, QImage::Format_ARGB32);
  surface.setDevicePixelRatio(2.0);
  {
    QPainter painter(&surface);
    icons.Paint(&painter, QRect(0, 0, 30, 20), Qt::white, RowIcon::kRecord);
    painter.drawPixmap(30, 0, icons.Get(RowIcon::kRecord).scaled(40, 40));
  }
  const QImage sharp = surface.copy(QRect(10, 0, 40, 40));
  const QImage enlarged = surface.copy(QRect(60, 0, 40, 40));
  EXPECT_NE(sharp, enlarged);

  const QIcon glyph = MakeGlyph(Glyph::kSave, 16);
  for (const qreal ratio : {1.0, 2.0, 3.0}) {
    const QPixmap pixmap = glyph.pixmap(QSize(16, 16), ratio);
    EXPECT_EQ(pixmap.size(), QSize(16, 16) * ratio) << ratio;
  }
}

}  // namespace
}  // namespace orti
