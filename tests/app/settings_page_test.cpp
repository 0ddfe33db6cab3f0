#include "app/settings_page.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTimer>
#include <functional>

#include "app/main_window.h"
#include "app/registration_window.h"
#include "app/silent_line.h"
#include "platform/cp1251.h"
#include "support/recording_log.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_app.h"

namespace orti {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class SettingsPageTest : public ::testing::Test {
 protected:
  SettingsPageTest() {
    page.SetDialogs([this]() -> Dialogs& { return dialogs; });
  }
  void AddOperator(const char* surname, const char* firstName, const char* patronymic) {
    page.ELName->setText(surname);
    page.EFName->setText(firstName);
    page.EMName->setText(patronymic);
    page.BtnAddUser->click();
  }
  QString Cell(int row, int col) {
    return page.SGUsers->model()->index(row, col).data().toString();
  }

  QApplication& app = test::App();  // before any widget
  ConsoleState state;
  OperatorTable operators;
  test::ScriptedDialogs dialogs;
  SettingsPage page{state, operators};
};

// The controls' texts are checked in window_texts_test.cpp.
TEST_F(SettingsPageTest, ControlsStartInTheirStates) {
  EXPECT_TRUE(page.RBAutodetect->isChecked());
  EXPECT_FALSE(page.RBFixed->isEnabled());
  for (QLineEdit* e : {page.EPort, page.EDevice}) {
    EXPECT_EQ(e->text(), "1");
    EXPECT_FALSE(e->isEnabled());
  }
  EXPECT_FALSE(page.LPort->isEnabled());
  EXPECT_TRUE(page.GroupBox2->isHidden());
  EXPECT_EQ(page.ColumnsPlace->parentWidget(), page.GroupBox4);
  EXPECT_EQ(page.SGUsers->model()->headerData(0, Qt::Horizontal).toString(), "Фамилия");
  EXPECT_EQ(page.SGUsers->model()->rowCount(), 1);
  EXPECT_TRUE(page.BtnDelUser->isEnabled()) << "enabled at start even with no operators";
}

TEST_F(SettingsPageTest, StartChoicesMarkTheSettingsChangedButConnectionDoesNot) {
  page.RBFixedClick();
  EXPECT_TRUE(page.EPort->isEnabled());
  page.RBAutodetect->click();
  EXPECT_FALSE(page.EPort->isEnabled());
  page.ENewFolder->setText("Другая");
  EXPECT_FALSE(state.settings.settingsChanged);
  struct {
    std::function<void()> act;
    const char* what;
  } changes[] = {{[&] { page.RBByFolders->click(); }, "RBByFolders"},
                 {[&] { page.RBByDateTime->click(); }, "RBByDateTime"},
                 {[&] { page.SelectStartPage(StartPage::kSettings); }, "RBOptions by the program"},
                 {[&] { page.CBStartStyle->click(); }, "CBStartStyle"},
                 {[&] { page.CBStartStyle->setChecked(false); }, "CBStartStyle by the program"},
                 {[&] { page.CBFastRead->click(); }, "CBFastRead"}};
  for (auto& change : changes) {
    state.settings.settingsChanged = false;
    change.act();
    EXPECT_TRUE(state.settings.settingsChanged) << change.what;
  }
  SettingsPageValues values = page.Values();
  EXPECT_EQ(values.startPage, StartPage::kSettings);
  EXPECT_FALSE(values.fixedConnection);
  EXPECT_TRUE(values.fastRead);
  EXPECT_EQ(values.newFolderName, "Другая");
}

TEST_F(SettingsPageTest, AddAndDeleteOperatorsWithTheButtons) {
  AddOperator("Сидоров", "Сидор", "Сидорович");
  AddOperator("Андреев", "Андрей", "Андреевич");
  EXPECT_EQ(page.ELName->text(), "");
  EXPECT_EQ(page.EMName->text(), "");
  EXPECT_TRUE(state.settings.settingsChanged);
  ASSERT_EQ(page.SGUsers->model()->rowCount(), 2);
  EXPECT_EQ(Cell(1, 0), "Андреев");  // at the end until the list is rebuilt

  page.SGUsers->selectRow(0);
  page.BtnDelUser->click();
  ASSERT_EQ(page.SGUsers->model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "Андреев");
  EXPECT_TRUE(page.BtnDelUser->isEnabled());
  page.SGUsers->selectRow(0);
  page.BtnDelUser->click();
  EXPECT_FALSE(page.BtnDelUser->isEnabled());
  EXPECT_EQ(Cell(0, 0), "");
  EXPECT_TRUE(state.session.operators.empty());
  AddOperator("Борисов", "Борис", "Борисович");
  EXPECT_TRUE(page.BtnDelUser->isEnabled());
  EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(SettingsPageTest, RefusedNamesLeaveTheEditsAndTheList) {
  AddOperator("Сидоров", "", "Сидорович");
  AddOperator("-Сидоров", "Сидор", "Сидорович");
  ASSERT_EQ(dialogs.Calls().size(), 2u);
  EXPECT_EQ(dialogs.Calls()[1].text, "Заполните поля правильно");
  EXPECT_EQ(page.ELName->text(), "-Сидоров");
  EXPECT_TRUE(state.session.operators.empty());
  EXPECT_FALSE(state.settings.settingsChanged);
}

TEST_F(SettingsPageTest, EnterMovesFromFieldToFieldAndStopsOnAdd) {
  page.show();
  page.ELName->setFocus();
  page.ELName->setText("Сидоров");
  for (QWidget* next : {static_cast<QWidget*>(page.EFName), static_cast<QWidget*>(page.EMName),
                        static_cast<QWidget*>(page.BtnAddUser)}) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(page.focusWidget(), &enter);
    EXPECT_EQ(page.focusWidget(), next);
  }
  EXPECT_TRUE(state.session.operators.empty()) << "Enter does not press Добавить";
  EXPECT_TRUE(dialogs.Calls().empty());
}

// The main window with the settings file in a fresh program folder.
// Two instruments of one model: the lab names the second, and the archive's
// rows of it show that name from then on.
TEST_F(SettingsPageTest, ALabNameGivenToOneInstrumentIsKeptAndShownForItsMeasurements) {
  test::TempDir dir;
  test::RecordingLog log;
  ArchiveKeeper keeper(dir.File("a.sqlite"), log, [this]() -> Dialogs& { return dialogs; });
  Measurement m;
  m.raw.assign(kRecordSize, 0x11);
  m.raw[0] = kModePh;
  m.folderIndex = m.slot = 0;
  m.folderName = "P0";
  for (uint8_t n : {1, 2}) {
    keeper.Store()->AddReading({{n, 0, 0}, "ОРТИ-415 1", "Петров", "ПК-1", "", {m}}, 46000.5);
  }
  page.SetArchive(&keeper);
  page.LoadInstruments();
  const QAbstractItemModel* table = page.SGInstruments->model();
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->index(1, 1).data().toString(), "020000");

  page.SGInstruments->setCurrentIndex(table->index(1, 0));
  page.ELabName->setText("  pH-метр у окна ");
  page.BtnSetLabName->click();
  EXPECT_EQ(table->index(1, kLabNameColumn).data().toString(), "pH-метр у окна");
  EXPECT_EQ(table->index(0, kLabNameColumn).data().toString(), "");
  std::vector<std::string> shown;
  for (const Measurement& row : keeper.Store()->Query({})) shown.push_back(row.instrument);
  EXPECT_EQ(shown, (std::vector<std::string>{"ОРТИ-415 1", "pH-метр у окна"}));
  page.LoadInstruments();  // as kept in the archive
  EXPECT_EQ(table->index(1, kLabNameColumn).data().toString(), "pH-метр у окна");
  EXPECT_TRUE(dialogs.Calls().empty());
}

class SettingsFlowTest : public ::testing::Test {
 protected:
  SettingsFlowTest() {
    test::App();
    setenv("ORTI415_HOME", home.Path().c_str(), 1);
  }
  std::unique_ptr<TForm1> NewForm() {
    auto form = std::make_unique<TForm1>();
    form->SetDialogs(&dialogs);
    test::OnSilentLine(*form);
    return form;
  }
  // Starts the window; with nothing on the line it goes offline and says so.
  StartupResult Start(TForm1& form) {
    const StartupResult result = form.FormShow({});
    if (result == StartupResult::kRun) EXPECT_EQ(dialogs.Forget("Ошибка при подключении"), 1u);
    return result;
  }
  // Acts on the registration window as soon as it is shown.
  void WhenRegistering(std::function<void(TForm2&)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* form2 = qobject_cast<TForm2*>(w);
        if (form2 && form2->isVisible()) {
          timer->stop();
          timer->deleteLater();
          act(*form2);
          return;
        }
      }
    });
    timer->start(5);
  }
  std::string Ini() { return Cp1251ToUtf8(ReadBytes(home.File("orti415.ini"))); }

  test::TempDir home;
  test::ScriptedDialogs dialogs;
};

TEST_F(SettingsFlowTest, FirstRunSavesTheOperatorWhoRegistersAtTheNextStart) {
  auto first = NewForm();
  ASSERT_EQ(Start(*first), StartupResult::kRun);
  EXPECT_EQ(first->PageControl1->currentIndex(), kPageSettings);
  SettingsPage* page = first->TabSheet6;
  EXPECT_TRUE(page->RBOptions->isChecked());
  EXPECT_EQ(page->ENewFolder->text(), "") << "no file: the field stays empty";
  page->ELName->setText("Иванов");
  page->EFName->setText("Иван");
  page->EMName->setText("Иванович");
  page->BtnAddUser->click();
  EXPECT_EQ(first->State().session.operatorFullName, "Иванов Иван Иванович")
      << "nobody was registered";
  EXPECT_EQ(first->State().session.operatorShortName, "Иванов И. И.");
  page->BtnSaveOptions->click();
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].text, "Настройки сохранены");
  EXPECT_EQ(first->PageControl1->currentIndex(), kPageSettings);
  EXPECT_EQ(
      ReadBytes(home.File("orti415.ini")),
      Utf8ToCp1251(
          "[Users]\r\nUsersCount=1\r\nUser0=Иванов_Иван_Иванович\r\n"
          "[Startpage]\r\nStartpage=3\r\nStartStyle=0\r\n"
          "[Connection]\r\nConnection=1\r\nFastRead=0\r\n[FolderName]\r\nNewFolderName=\r\n"));

  auto second = NewForm();
  QString shownRow;
  WhenRegistering([&](TForm2& form2) {
    shownRow = form2.SGUsers->model()->index(0, 0).data().toString();
    form2.BtnOK->click();
  });
  ASSERT_EQ(Start(*second), StartupResult::kRun);
  EXPECT_EQ(shownRow, "Иванов");
  EXPECT_EQ(second->State().session.registrationResult, 1);
  EXPECT_EQ(second->State().session.operatorFullName, "Иванов Иван Иванович");
  EXPECT_EQ(second->PageControl1->currentIndex(), kPageSettings);
  EXPECT_EQ(second->TabSheet6->ENewFolder->text(), "Новая папка");
  EXPECT_FALSE(second->State().settings.settingsChanged);
}

TEST_F(SettingsFlowTest, CancelledRegistrationEndsTheStart) {
  WriteBytes(home.File("orti415.ini"), "[Users]\r\nUsersCount=1\r\nUser0=A_B_C\r\n");
  auto form = NewForm();
  WhenRegistering([](TForm2& form2) { form2.BtnCancel->click(); });
  EXPECT_EQ(Start(*form), StartupResult::kQuit);
}

TEST_F(SettingsFlowTest, NewOperatorAtRegistrationIsListedButNotWritten) {
  const std::string ini = Utf8ToCp1251(
      "[Users]\r\nUsersCount=1\r\nUser0=Яковлев_Яков_Яковлевич\r\n"
      "[Startpage]\r\nStartpage=2\r\nStartStyle=1\r\n");
  WriteBytes(home.File("orti415.ini"), ini);
  auto form = NewForm();
  WhenRegistering([](TForm2& form2) {
    form2.NewCell(0)->setText("Андреев");
    form2.NewCell(1)->setText("Андрей");
    form2.NewCell(2)->setText("Андреевич");
    form2.BtnOK->click();
  });
  ASSERT_EQ(Start(*form), StartupResult::kRun);
  EXPECT_EQ(form->State().session.registrationResult, 0);
  EXPECT_EQ(form->PageControl1->currentIndex(), kPageSettings);
  auto* users = form->TabSheet6->SGUsers->model();
  ASSERT_EQ(users->rowCount(), 2);
  EXPECT_EQ(users->index(1, 0).data().toString(), "Андреев");
  EXPECT_FALSE(form->State().settings.settingsChanged);
  EXPECT_TRUE(form->TabSheet6->CBStartStyle->isChecked()) << "maximised start";
  EXPECT_TRUE(form->TabSheet6->RBByDateTime->isChecked());
  EXPECT_EQ(ReadBytes(home.File("orti415.ini")), ini);
  EXPECT_TRUE(dialogs.Calls().empty());
}

TEST_F(SettingsFlowTest, LeavingChangedSettingsAsksOnceAndYesSaves) {
  auto form = NewForm();
  Start(*form);
  form->TabSheet6->RBByFolders->click();
  dialogs.Expect(DialogAnswer::kYes);
  form->SBByDate->click();
  ASSERT_EQ(dialogs.Calls().size(), 2u) << "the question, then the saved message";
  EXPECT_EQ(dialogs.Calls()[0].caption, "Настройки");
  EXPECT_EQ(dialogs.Calls()[1].text, "Настройки сохранены");
  EXPECT_EQ(form->PageControl1->currentIndex(), kPageByDate)
      << "the command's page, not the start page";
  EXPECT_NE(Ini().find("Startpage=1\r\n"), std::string::npos);
  EXPECT_FALSE(form->State().settings.settingsChanged);

  form->TabSheet6->CBStartStyle->click();
  dialogs.Expect(DialogAnswer::kNo);
  form->SBFoldersManagement->click();
  EXPECT_EQ(dialogs.Calls().size(), 3u);
  form->SBByFolders->click();  // declined once: no more questions until the next change
  EXPECT_EQ(dialogs.Calls().size(), 3u);
  EXPECT_NE(Ini().find("StartStyle=0\r\n"), std::string::npos);
}

TEST_F(SettingsFlowTest, SavingWithByFoldersEndsOnThatView) {
  auto form = NewForm();
  Start(*form);
  form->TabSheet6->RBByFolders->click();
  form->TabSheet6->BtnSaveOptions->click();
  EXPECT_EQ(form->PageControl1->currentIndex(), kPageByFolders);
  EXPECT_TRUE(form->SBByFolders->isChecked());
}

TEST_F(SettingsFlowTest, FailedSaveReportsAndStaysOnThePage) {
  auto form = NewForm();
  Start(*form);
  ASSERT_EQ(mkdir(home.File("orti415.ini").c_str(), 0755), 0);
  form->TabSheet6->RBByFolders->click();
  form->TabSheet6->BtnSaveOptions->click();
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].icon, DialogIcon::kError);
  EXPECT_EQ(form->PageControl1->currentIndex(), kPageSettings);
}

TEST_F(SettingsFlowTest, ResizingTheWindowSharesTheGridBetweenTheColumns) {
  auto form = NewForm();
  Start(*form);
  form->show();
  form->resize(1200, 800);
  QApplication::processEvents();
  QTableView* grid = form->TabSheet6->SGUsers;
  const int third = grid->viewport()->width() / 3;
  EXPECT_GT(third, 99);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(grid->columnWidth(c), third) << c;
}

}  // namespace
}  // namespace orti
