// Every window's named controls and the texts the operator reads on them,
// in one table: a control renamed, lost or captioned differently shows up as
// one failing row.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>

#include "app/about_box.h"
#include "app/connection_window.h"
#include "app/folders_page.h"
#include "app/main_window.h"
#include "app/reading_progress_window.h"
#include "app/registration_window.h"
#include "app/settings_page.h"
#include "app/write_progress_window.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_app.h"

namespace orti {
namespace {

struct NamedText {
  const QObject* window;
  const char* name;      // the object's name; the window itself when it is the window's
  const char* property;  // "text", "title", "toolTip", "shortcut"...; "" checks the name only
  const char* text;
};

const QObject* Find(const QObject* window, const char* name) {
  if (window->objectName() == name) return window;
  const QList<QObject*> found = window->findChildren<QObject*>(name);
  return found.size() == 1 ? found.front() : nullptr;  // a name used twice is a fault too
}

TEST(WindowTexts, EveryNamedControlCarriesItsText) {
  test::App();
  test::TempDir home;
  setenv("ORTI415_HOME", home.Path().c_str(), 1);
  TForm1 form;
  OperatorTable operators;
  ConsoleState state;
  test::ScriptedDialogs dialogs;
  TForm2 registration(operators, state, dialogs);
  bool abortFlag = false;
  TForm3 connection(abortFlag);
  TForm4 writing;
  TForm5 reading;
  TAboutBox about;
  const QObject* settings = form.TabSheet6;
  const QObject* folders = form.TabSheet1;

  const NamedText rows[] = {
      {&form, "TForm1", "windowTitle", "Orti-415"},
      {&form, "SBByFolders", "toolTip", "Вид - по папкам"},
      {&form, "SBByDate", "toolTip", "Вид - по дате/времени"},
      {&form, "SBFoldersManagement", "toolTip", "Управление папками"},
      {&form, "SBTools", "toolTip", "Настройки"},
      {&form, "SBArchive", "toolTip", "Архив"},
      {&form, "SBRefreshData", "toolTip", "Прочитать данные из блокнота"},
      {&form, "SBQuit", "toolTip", "Выход"},
      {&form, "MRefresh", "text", "Обновить"},
      {&form, "MQuit", "text", "Выход"},
      {&form, "MByFolders", "text", "По папкам"},
      {&form, "MByDateTime", "text", "По датам"},
      {&form, "MFoldersManag", "text", "Управление папками"},
      {&form, "MOptions", "text", "Настройки"},
      // The popup items' keys, shown in the menus; they act on the grid with the focus.
      {&form, "PMBFSelAll", "shortcut", "Ctrl+A"},
      {&form, "PMBFUnselAll", "shortcut", "Esc"},
      {&form, "PMBFToFile", "shortcut", "Ctrl+S"},
      {&form, "PMBFDelete", "shortcut", "Ctrl+P"},
      {&form, "PMBFRemove", "shortcut", "Del"},
      {&form, "PMBFUnRemove", "shortcut", "Ins"},
      {&form, "PMBDTSave2File", "shortcut", "Ctrl+S"},
      {&form, "StringGrid1", "", ""},
      {&form, "StringGrid2", "", ""},
      {&form, "ToolBar1", "", ""},
      {&form, "Timer1", "", ""},
      {&form, "MemoLog", "", ""},
      {&form, "BtnClearLog", "text", "Очистить протокол"},
      {&form, "BtnSaveLog", "text", "Сохранить протокол"},
      {settings, "TabSheet6", "", ""},
      {settings, "GroupBox1", "title", "Стартовая страница"},
      {settings, "RBByFolders", "text", "По папкам"},
      {settings, "RBByDateTime", "text", "По датам"},
      {settings, "RBOptions", "text", "Настройки"},
      {settings, "CBStartStyle", "text", "Раскрывать во весь экран"},
      {settings, "GroupBox3", "title", "Параметры подключения"},
      {settings, "LDevice", "text", "Устройство №"},
      {settings, "GroupBox2", "title", "Новая папка"},
      {settings, "GroupBox4", "title", " Отображение данных блокнота "},
      {settings, "GroupBox6", "title", "Список работников"},
      {settings, "BtnSaveOptions", "text", "Сохранить настройки"},
      {folders, "TabSheet1", "", ""},
      {folders, "Label2", "text", "Имя папки (не более 16 символов)"},
      {folders, "BtnClearFolders", "text", "Очистить все папки"},
      {folders, "LWarn", "text", "После изменения данных необходимо произвести запись в прибор."},
      {&registration, "TForm2", "windowTitle", "Регистрация"},
      {&registration, "Label1", "text", "Пожалуйста, зарегистрируйтесь перед началом работы"},
      {&registration, "BtnOK", "text", "OK"},
      {&registration, "BtnCancel", "text", "Отмена"},
      {&connection, "TForm3", "", ""},
      {&connection, "BitBtn1", "text", "Прервать"},
      {&writing, "TForm4", "", ""},
      {&writing, "Label1", "text", "Запись данных"},
      {&reading, "TForm5", "", ""},
      {&reading, "Label1", "text", "Чтение данных"},
      {&reading, "Label3", "text", "Папки"},
      {&reading, "Panel1", "text", "Записи в папках"},
      {&reading, "Panel1", "frameShape", "NoFrame"},  // a label, not a raised panel
      {&about, "AboutBox", "", ""},
      {&about, "Label2", "text", "Консоль управления блокнотом"},
      {&about, "OKButton", "text", "OK"},
  };
  for (const NamedText& row : rows) {
    SCOPED_TRACE(row.name);
    const QObject* object = Find(row.window, row.name);
    if (object == nullptr) {
      ADD_FAILURE() << "no single object of that name";
      continue;
    }
    if (*row.property) {
      EXPECT_EQ(object->property(row.property).toString().toStdString(), row.text);
    }
  }

  QStringList menus;
  for (QAction* a : form.menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"Файл", "Данные", "О программе"}));
  EXPECT_EQ(form.PageControl2->tabText(0), "Настройки программы");
  EXPECT_EQ(form.PageControl2->tabText(1), "Протокол работы программы");
}

}  // namespace
}  // namespace orti
